#include "platform/ItemPath.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

TEST(ItemPath, ExtendedFormKeepsTheNameAsWrittenAndReachesShares)
{
    EXPECT_EQ(ExtendedLengthPath(L"C:\\dir\\x "), L"\\\\?\\C:\\dir\\x ");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\dir\\x."), L"\\\\?\\C:\\dir\\x.");
    EXPECT_EQ(ExtendedLengthPath(L"C:/dir/x"), L"\\\\?\\C:\\dir\\x");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\x "), L"\\\\?\\UNC\\server\\share\\x ");
    // A bare drive is its root: "\\?\C:" would be the volume itself.
    EXPECT_EQ(ExtendedLengthPath(L"C:"), L"\\\\?\\C:\\");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\"), L"\\\\?\\C:\\");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\C:\\x"), L"\\\\?\\C:\\x");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\.\\pipe\\x"), L"\\\\.\\pipe\\x");
    EXPECT_EQ(ExtendedLengthPath(L"relative"), L"relative");
    // What an ordinary path folds is folded, names stay as written.
    EXPECT_EQ(ExtendedLengthPath(L"C:\\\\dir\\.\\sub\\..\\x .\\"), L"\\\\?\\C:\\dir\\x .");
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\\\a\\..\\x"), L"\\\\?\\UNC\\server\\share\\x");

    EXPECT_EQ(OrdinaryPath(L"\\\\?\\C:\\dir\\x "), L"C:\\dir\\x ");
    EXPECT_EQ(OrdinaryPath(L"\\\\?\\UNC\\server\\share\\x"), L"\\\\server\\share\\x");
    EXPECT_EQ(OrdinaryPath(L"C:\\x"), L"C:\\x");
    EXPECT_EQ(OrdinaryPath(ExtendedLengthPath(L"\\\\server\\share")), L"\\\\server\\share\\");
}

TEST(ItemPath, RootsParentsAndNames)
{
    EXPECT_EQ(PathRootLength(L"C:\\x"), 2u);
    EXPECT_EQ(PathRootLength(L"\\\\server\\share\\x"), 14u);
    EXPECT_EQ(PathRootLength(L"\\\\server"), 8u);
    EXPECT_EQ(PathRootLength(L"\\\\?\\C:\\x"), 6u);
    EXPECT_EQ(PathRootLength(L"\\\\?\\UNC\\server\\share\\x"), 20u);
    EXPECT_EQ(PathRootLength(L"x\\y"), 0u);

    EXPECT_EQ(ParentPath(L"C:\\dir\\x "), L"C:\\dir");
    EXPECT_EQ(ParentPath(L"C:\\x"), L"C:\\");
    EXPECT_EQ(ParentPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(ParentPath(L"C:\\dir\\sub\\"), L"C:\\dir");
    EXPECT_EQ(ParentPath(L"\\\\server\\share\\x"), L"\\\\server\\share\\");
    EXPECT_EQ(ParentPath(L"\\\\?\\C:\\x"), L"\\\\?\\C:\\");

    EXPECT_EQ(PathName(L"C:\\dir\\x "), L"x ");
    EXPECT_EQ(PathName(L"C:\\"), L"");
    EXPECT_EQ(PathName(L"\\\\server\\share"), L"");

    EXPECT_EQ(JoinPath(L"C:\\", L"x"), L"C:\\x");
    EXPECT_EQ(JoinPath(L"C:\\dir", L"x "), L"C:\\dir\\x ");
}

TEST(ItemPath, TargetsResolveAgainstTheFolderWithoutLosingTheirNames)
{
    const std::wstring folder = L"C:\\work\\dir";
    EXPECT_EQ(ResolveTargetPath(L"x ", folder), L"C:\\work\\dir\\x ");
    EXPECT_EQ(ResolveTargetPath(L"sub\\..\\x.", folder), L"C:\\work\\dir\\x.");
    EXPECT_EQ(ResolveTargetPath(L".\\a/b", folder), L"C:\\work\\dir\\a\\b");
    EXPECT_EQ(ResolveTargetPath(L"..\\..\\..\\x", folder), L"C:\\x");
    EXPECT_EQ(ResolveTargetPath(L"\\x", folder), L"C:\\x");
    EXPECT_EQ(ResolveTargetPath(L"C:x", folder), L"C:\\work\\dir\\x");
    EXPECT_EQ(ResolveTargetPath(L"D:x", folder), L"D:\\x");
    EXPECT_EQ(ResolveTargetPath(L"D:\\a\\\\b\\", folder), L"D:\\a\\b");
    EXPECT_EQ(ResolveTargetPath(L"C:\\", folder), L"C:\\");
    EXPECT_EQ(ResolveTargetPath(L"C:", L"D:\\x"), L"C:\\");
    EXPECT_EQ(ResolveTargetPath(L"\\\\server\\share\\a\\..\\b", folder), L"\\\\server\\share\\b");
    EXPECT_EQ(ResolveTargetPath(L"\\\\server\\share", folder), L"\\\\server\\share\\");
    EXPECT_EQ(ResolveTargetPath(L"\\\\?\\C:\\x ", folder), L"\\\\?\\C:\\x ");
    EXPECT_EQ(ResolveTargetPath(L"x", L"\\\\server\\share"), L"\\\\server\\share\\x");

    // No length is cut: a long relative name is joined in full.
    const std::wstring longName(400, L'n');
    EXPECT_EQ(ResolveTargetPath(longName, folder), folder + L"\\" + longName);
}

TEST(ItemPath, SystemFolderIsReachedPastTheRedirector)
{
    const std::wstring windows = L"C:\\Windows";
    EXPECT_EQ(WithoutSystemRedirection(L"C:\\Windows\\System32\\drivers\\x.sys", windows, true),
              L"C:\\Windows\\Sysnative\\drivers\\x.sys");
    EXPECT_EQ(WithoutSystemRedirection(L"c:\\windows\\system32", windows, true), L"c:\\windows\\Sysnative");
    EXPECT_EQ(WithoutSystemRedirection(L"\\\\?\\C:\\Windows\\System32\\x", L"C:\\Windows\\", true),
              L"\\\\?\\C:\\Windows\\Sysnative\\x");
    // Only that folder: names that merely begin alike, other folders, and 64-bit runs stay.
    EXPECT_EQ(WithoutSystemRedirection(L"C:\\Windows\\System32x\\y", windows, true), L"C:\\Windows\\System32x\\y");
    EXPECT_EQ(WithoutSystemRedirection(L"C:\\Windows\\SysWOW64\\y", windows, true), L"C:\\Windows\\SysWOW64\\y");
    EXPECT_EQ(WithoutSystemRedirection(L"D:\\Windows\\System32\\y", windows, true), L"D:\\Windows\\System32\\y");
    EXPECT_EQ(WithoutSystemRedirection(L"C:\\Windows\\System32\\y", windows, false), L"C:\\Windows\\System32\\y");
}

TEST(ItemPath, ItemPathIsTheExtendedFormOfTheSamePath)
{
    // Outside the system folder only the form changes, whether or not this run is under WOW64.
    EXPECT_EQ(ItemPath(L"Z:\\tmp\\x "), L"\\\\?\\Z:\\tmp\\x ");
    EXPECT_EQ(ItemPath(L"\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
}

TEST(ItemPath, ShellReadsExactlyOnlyPathsWhoseEveryNameKeepsAsWritten)
{
    struct Case {
        const wchar_t* path;
        bool exact;
    };
    const Case cases[] = {
        {L"C:\\Acme Inc\\plan.docx", true},
        {L"C:\\", true},
        {L"C:\\dir\\", true},
        {L"\\\\server\\share", true},
        {L"\\\\server\\share\\", true},
        {L"\\\\server\\share\\dir\\x.txt", true},
        {L"C:\\dir\\...x", true},
        // A trailing period or blank on any name, the last one or one on the way.
        {L"C:\\Acme Inc.\\plan.docx", false},
        {L"C:\\Acme Inc \\plan.docx", false},
        {L"C:\\a\\b\\c.\\d\\e.txt", false},
        {L"C:\\dir\\x ", false},
        {L"C:\\dir\\x.", false},
        {L"C:\\dir\\x.\\", false},
        {L"C:\\dir\\ ", false},
        {L"\\\\server.\\share\\x", false},
        {L"\\\\server\\share \\x", false},
        // Parts the shell folds: ".", "..", doubled backslashes, forward slashes.
        {L"C:\\dir\\.\\x", false},
        {L"C:\\dir\\..\\x", false},
        {L"C:\\dir\\...", false},
        {L"C:\\dir\\\\x", false},
        {L"C:\\\\", false},
        {L"C:/dir/x", false},
        // No drive or share root, or a form the shell does not read as written.
        {L"", false},
        {L"C:", false},
        {L"C:x", false},
        {L"dir\\x", false},
        {L"\\dir\\x", false},
        {L"\\\\server", false},
        {L"\\\\server\\", false},
        {L"\\\\?\\C:\\x", false},
        {L"\\\\?\\UNC\\server\\share\\x", false},
        {L"\\\\.\\pipe\\x", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShellReadsExactly(c.path), c.exact) << '"' << std::wstring(c.path) << '"';

    // Fewer than MAX_PATH characters.
    const std::wstring root = L"C:\\";
    EXPECT_TRUE(ShellReadsExactly(root + std::wstring(MAX_PATH - 1 - root.size(), L'n')));
    EXPECT_FALSE(ShellReadsExactly(root + std::wstring(MAX_PATH - root.size(), L'n')));
}
