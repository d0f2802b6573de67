#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

StartRequest Decide(const wchar_t* tail, const std::wstring& currentDirectory = L"C:\\work")
{
    return DecideStartAction(tail, currentDirectory);
}

TEST(DecideStartAction, WithoutArgumentEditsTheCurrentDirectoryAsRead)
{
    for (const wchar_t* directory : {L"C:\\work", L"C:\\", L"C:\\work\\"}) {
        for (const wchar_t* tail : {L"", L"  ", L"\"\""}) {
            const StartRequest request = Decide(tail, directory);
            EXPECT_EQ(request.action, StartAction::Edit);
            EXPECT_EQ(request.targetPath, directory);
        }
    }
}

TEST(DecideStartAction, RecognisesTheSwitchesInAnyCaseButOnlyAsTheWholeTail)
{
    EXPECT_EQ(Decide(L"/RegServer").action, StartAction::Register);
    EXPECT_EQ(Decide(L"/regserver").action, StartAction::Register);
    EXPECT_EQ(Decide(L"/REGSERVER").action, StartAction::Register);
    EXPECT_EQ(Decide(L"/UnregServer").action, StartAction::Unregister);
    EXPECT_EQ(Decide(L"/unREGserver").action, StartAction::Unregister);
    for (const wchar_t* tail : {L"-Embedding", L"/Embedding", L"-EMBEDDING", L"/embedding"})
        EXPECT_EQ(Decide(tail).action, StartAction::ServeVerb) << tail;

    // Anything more in the tail makes it a path, even though the first argument is the switch.
    for (const wchar_t* tail :
         {L"/RegServer ", L"/RegServer x", L"\"/RegServer\"", L"-Embedding x", L"Embedding", L"--Embedding"}) {
        const StartRequest request = Decide(tail);
        EXPECT_EQ(request.action, StartAction::Edit) << tail;
        EXPECT_TRUE(request.targetPath.find(L"RegServer") != std::wstring::npos ||
                    request.targetPath.find(L"Embedding") != std::wstring::npos)
            << tail;
    }
}

TEST(DecideStartAction, TakesTheFirstArgumentAsWrittenAndResolvesIt)
{
    const struct {
        const wchar_t* tail;
        const wchar_t* target;
    } cases[] = {
        {L"sub\\file.txt", L"C:\\work\\sub\\file.txt"},
        {L"..\\other\\.\\file.txt second", L"C:\\other\\file.txt"},
        {L"sub\\", L"C:\\work\\sub"},
        {L"C:\\dir\\", L"C:\\dir"},
        // The verb quotes its path: a root's closing quote follows a backslash, which the C
        // runtime would read as an escaped quote ("C:\"" -> C:").
        {L"\"C:\\\"", L"C:\\"},
        {L"\"C:\\\" more", L"C:\\"},
        {L"\"\\\\server\\share\\\"", L"\\\\server\\share\\"},
        {L"  \"D:\\data\\a b.txt\"  x", L"D:\\data\\a b.txt"},
        {L"D:\\da\"ta\\a \"b.txt", L"D:\\data\\a b.txt"},
        {L"\"x \"", L"C:\\work\\x "},
        {L"\t\"C:\\dir\\x.\"", L"C:\\dir\\x."},
    };
    for (const auto& c : cases) {
        const StartRequest request = Decide(c.tail);
        EXPECT_EQ(request.action, StartAction::Edit) << c.tail;
        EXPECT_EQ(request.targetPath, c.target) << c.tail;
    }
}

TEST(DecideStartAction, ALongPathIsKeptWholeAndAnAbsoluteOneStandsAlone)
{
    // Nothing is cut to fit a buffer, and a long absolute target is never put under the
    // current directory.
    const std::wstring longName(300, L'n');
    const std::wstring relative = longName + L"\\" + longName + L"\\more.txt";
    EXPECT_EQ(Decide(relative.c_str()).targetPath, L"C:\\work\\" + relative);
    const std::wstring absolute = L"D:\\" + relative;
    EXPECT_EQ(Decide((L"\"" + absolute + L"\"").c_str()).targetPath, absolute);
    const std::wstring share = L"\\\\server\\share\\" + relative;
    EXPECT_EQ(Decide(share.c_str()).targetPath, share);
}

} // namespace
