#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
            EXPECT_EQ(request.targetPaths, std::vector<std::wstring>{directory});
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
        ASSERT_FALSE(request.targetPaths.empty()) << tail;
        EXPECT_TRUE(request.targetPaths[0].find(L"RegServer") != std::wstring::npos ||
                    request.targetPaths[0].find(L"Embedding") != std::wstring::npos)
            << tail;
    }
}

TEST(DecideStartAction, TakesEveryArgumentAsWrittenAndResolvesIt)
{
    const struct {
        const wchar_t* tail;
        const wchar_t* target;
    } cases[] = {
        {L"sub\\file.txt", L"C:\\work\\sub\\file.txt"},
        {L"..\\other\\.\\file.txt", L"C:\\other\\file.txt"},
        {L"sub\\", L"C:\\work\\sub"},
        {L"C:\\dir\\", L"C:\\dir"},
        // The verb quotes its path: a root's closing quote follows a backslash, which the C
        // runtime would read as an escaped quote ("C:\"" -> C:").
        {L"\"C:\\\"", L"C:\\"},
        {L"\"\\\\server\\share\\\"", L"\\\\server\\share\\"},
        {L"  \"D:\\data\\a b.txt\"  ", L"D:\\data\\a b.txt"},
        {L"D:\\da\"ta\\a \"b.txt", L"D:\\data\\a b.txt"},
        {L"\"x \"", L"C:\\work\\x "},
        {L"\t\"C:\\dir\\x.\"", L"C:\\dir\\x."},
    };
    for (const auto& c : cases) {
        const StartRequest request = Decide(c.tail);
        EXPECT_EQ(request.action, StartAction::Edit) << c.tail;
        EXPECT_EQ(request.targetPaths, std::vector<std::wstring>{c.target}) << c.tail;
    }
}

TEST(DecideStartAction, SeveralArgumentsAreSeveralTargetsInTheirOrder)
{
    // Files and folders, quoted and not, relative and absolute, a name ending in a blank, a
    // quoted root, and the same file twice (the apply writes it once).
    const StartRequest request =
        Decide(L"a.txt \"b c.txt\"  Photos\\ \"x \" \"D:\\\" ..\\up.txt \"\" a.txt\tD:\\last");
    EXPECT_EQ(request.action, StartAction::Edit);
    EXPECT_EQ(request.targetPaths,
              (std::vector<std::wstring>{L"C:\\work\\a.txt", L"C:\\work\\b c.txt", L"C:\\work\\Photos",
                                         L"C:\\work\\x ", L"D:\\", L"C:\\up.txt", L"C:\\work\\a.txt",
                                         L"D:\\last"}));
}

TEST(DecideStartAction, ALongPathIsKeptWholeAndAnAbsoluteOneStandsAlone)
{
    // Nothing is cut to fit a buffer, and a long absolute target is never put under the
    // current directory.
    const std::wstring longName(300, L'n');
    const std::wstring relative = longName + L"\\" + longName + L"\\more.txt";
    EXPECT_EQ(Decide(relative.c_str()).targetPaths[0], L"C:\\work\\" + relative);
    const std::wstring absolute = L"D:\\" + relative;
    EXPECT_EQ(Decide((L"\"" + absolute + L"\"").c_str()).targetPaths[0], absolute);
    const std::wstring share = L"\\\\server\\share\\" + relative;
    EXPECT_EQ(Decide(share.c_str()).targetPaths[0], share);
}

} // namespace
