#include "app/CommandLine.h"

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

StartRequest Decide(const wchar_t* tail, std::vector<const wchar_t*> arguments,
                    const std::wstring& currentDirectory = L"C:\\work")
{
    arguments.insert(arguments.begin(), L"chronset64.exe");
    return DecideStartAction(tail, static_cast<int>(arguments.size()), arguments.data(), currentDirectory);
}

TEST(DecideStartAction, WithoutArgumentEditsTheCurrentDirectoryAsRead)
{
    for (const wchar_t* directory : {L"C:\\work", L"C:\\", L"C:\\work\\"}) {
        const StartRequest request = Decide(L"", {}, directory);
        EXPECT_EQ(request.action, StartAction::Edit);
        EXPECT_EQ(request.targetPath, directory);
    }
}

TEST(DecideStartAction, RecognisesTheSwitchesInAnyCaseButOnlyAsTheWholeTail)
{
    EXPECT_EQ(Decide(L"/RegServer", {L"/RegServer"}).action, StartAction::Register);
    EXPECT_EQ(Decide(L"/regserver", {L"/regserver"}).action, StartAction::Register);
    EXPECT_EQ(Decide(L"/REGSERVER", {L"/REGSERVER"}).action, StartAction::Register);
    EXPECT_EQ(Decide(L"/UnregServer", {L"/UnregServer"}).action, StartAction::Unregister);
    EXPECT_EQ(Decide(L"/unREGserver", {L"/unREGserver"}).action, StartAction::Unregister);

    // Anything more in the tail makes it a path, even though the first argument is the switch.
    for (const wchar_t* tail : {L"/RegServer ", L"/RegServer x", L"\"/RegServer\""}) {
        const StartRequest request = Decide(tail, {L"/RegServer"});
        EXPECT_EQ(request.action, StartAction::Edit) << tail;
        EXPECT_NE(request.targetPath.find(L"RegServer"), std::wstring::npos) << tail;
    }
}

TEST(DecideStartAction, ResolvesTheFirstArgumentAgainstTheCurrentDirectory)
{
    const struct {
        const wchar_t* argument;
        const wchar_t* target;
    } cases[] = {
        {L"sub\\file.txt", L"C:\\work\\sub\\file.txt"},
        {L"..\\other\\.\\file.txt", L"C:\\other\\file.txt"},
        {L"sub\\", L"C:\\work\\sub"},
        {L"C:\\dir\\", L"C:\\dir"},
        {L"C:\\", L"C:\\"},
        {L"D:\\data\\a b.txt", L"D:\\data\\a b.txt"},
    };
    for (const auto& c : cases) {
        const StartRequest request = Decide(L"ignored tail", {c.argument, L"second"});
        EXPECT_EQ(request.action, StartAction::Edit) << c.argument;
        EXPECT_EQ(request.targetPath, c.target) << c.argument;
    }
}

std::wstring TempDirectory()
{
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetTempPathW(MAX_PATH, path);
    std::wstring directory(path, length);
    if (!directory.empty() && directory.back() == L'\\')
        directory.pop_back();
    return directory;
}

TEST(DecideStartAction, AnOverLongPathNeverNamesAnotherItem)
{
    // A folder with a file whose name is exactly what a cut-down combination would give.
    const std::wstring folder = TempDirectory() + L"\\cmdline-" + std::to_wstring(::GetCurrentProcessId());
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring longName(MAX_PATH - 2 - folder.size() - 1, L'n');
    const std::wstring existing = folder + L"\\" + longName;
    ASSERT_LT(existing.size(), static_cast<std::size_t>(MAX_PATH));
    {
        FileHandle file(::CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file.valid());
    }

    const std::wstring argument = longName + L"nnnnnnnnnn\\more.txt";
    const StartRequest request = Decide(L"tail", {argument.c_str()}, folder);
    EXPECT_EQ(request.action, StartAction::Edit);
    EXPECT_LT(request.targetPath.size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_NE(request.targetPath, existing);
    EXPECT_EQ(request.targetPath.rfind(folder, 0), 0u) << "the user still sees where the path pointed";

    EXPECT_EQ(::GetFileAttributesW(request.targetPath.c_str()), INVALID_FILE_ATTRIBUTES);
    FileHandle opened(::CreateFileW(request.targetPath.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    EXPECT_FALSE(opened.valid());
    FileHandle created(::CreateFileW(request.targetPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EXPECT_FALSE(created.valid());
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileW((request.targetPath + L"\\*").c_str(), &found));
    EXPECT_FALSE(search.valid());

    // The folder holds only the file made above, untouched.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(existing.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    int entries = 0;
    FindHandle listing(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    ASSERT_TRUE(listing.valid());
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            ++entries;
    } while (::FindNextFileW(listing.get(), &found));
    listing.reset();
    EXPECT_EQ(entries, 1);

    ::DeleteFileW(existing.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

}
