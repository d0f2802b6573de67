#include "app/CommandLine.h"
#include "app/Dialog.h"
#include "ui/ResultText.h"
#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "platform/Handles.h"
#include "platform/ItemPath.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

// 2024-01-31 12:34:56 UTC and a day later, in whole seconds as pickers hold them.
constexpr FileTime kFirst = 133511804960000000ull;
constexpr FileTime kSecond = kFirst + TicksPerDay;

int TabCount(HWND sheet)
{
    HWND tabs = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
}

FileTimes TimesOf(const std::wstring& path)
{
    FileTimes times{};
    EXPECT_TRUE(ReadFileTimes(path.c_str(), times));
    return times;
}

// Sets a General row as the user would have left it and loads it into the controls.
void ChooseOnGeneralPage(CDialog& sheet, TimestampKind kind, TimestampOperation operation, FileTime value)
{
    CGeneralPage& page = sheet.GeneralPage();
    page.operation[kind] = operation;
    page.value[kind] = value;
    page.ExchangeData(false);
}

std::wstring ControlText(HWND page, int id)
{
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(page, id, text, 1024);
    return text;
}

// Makes a file the ordinary path could not name (a trailing blank, or beyond MAX_PATH).
void MakeExactFile(const std::wstring& path, FileTime write)
{
    FileHandle file(::CreateFileW(ItemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.valid()) << ::GetLastError();
    file.reset();
    ASSERT_TRUE(WriteFileTimes(path.c_str(), FileTimes{InvalidFileTime, write, write}));
}

// Clicks one of the sheet's buttons (IDOK, IDCANCEL, kApplyNowButton) as the user would.
void Press(HWND sheet, int button)
{
    ::SendMessageW(::GetDlgItem(sheet, button), BM_CLICK, 0, 0);
}

class SheetTest : public ::testing::Test {
protected:
    TempFolder folder;
    CMessageLoop loop;
    void SetUp() override { AppModule().AddMessageLoop(&loop); }
    void TearDown() override
    {
        PumpPendingMessages();
        AppModule().RemoveMessageLoop();
    }
};

TEST_F(SheetTest, FileGetsTheGeneralPageOnlyAndApplyWritesItsRecordAndShowsTheTimesRead)
{
    const std::wstring file = folder.MakeFile(L"a.txt");
    CDialog sheet(file);
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(TabCount(hwnd), 1); // no property system under Wine, so no Metadata page
    EXPECT_FALSE(sheet.GeneralPage().isFolder);
    EXPECT_EQ(sheet.GeneralPage().displayName, L"a.txt");
    EXPECT_EQ(sheet.GeneralPage().location, folder.Path());

    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    ChooseOnGeneralPage(sheet, LastAccess, OpSpecifiedDateTime, kSecond);
    sheet.GeneralPage().SetModified();
    Press(hwnd, kApplyNowButton);
    PumpPendingMessages();

    const FileTimes stored = TimesOf(file);
    EXPECT_EQ(stored[LastWrite], kFirst);
    EXPECT_EQ(stored[LastAccess], kSecond);
    EXPECT_EQ(sheet.GeneralPage().value[LastWrite], kFirst);
    EXPECT_EQ(sheet.GeneralPage().value[LastAccess], kSecond);
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_TRUE(sheet.GetActivePage());
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, kApplyNowButton)));
    ::DestroyWindow(hwnd);
}

TEST_F(SheetTest, FolderWhoseAdvancedPageWasNeverShownIsAppliedOnOkAndTheSheetEnds)
{
    const std::wstring target = folder.MakeFolder(L"data");
    CDialog sheet(target);
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(TabCount(hwnd), 2);
    EXPECT_TRUE(sheet.PageWindow(1)); // created with the sheet, although never shown
    EXPECT_EQ(sheet.GetActivePage(), sheet.GeneralPage().m_hWnd);
    EXPECT_EQ(sheet.AdvancedPage().location, target);
    EXPECT_EQ(sheet.GeneralPage().location, folder.Path());

    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    Press(hwnd, IDOK);
    const std::optional<int> quit = PumpPendingMessages();

    EXPECT_EQ(TimesOf(target)[LastWrite], kFirst);
    EXPECT_FALSE(::IsWindow(hwnd));
    ASSERT_TRUE(quit.has_value());
    EXPECT_EQ(*quit, 1);
}

TEST_F(SheetTest, MissingFileIsCreatedOnOkWithItsTimes)
{
    const std::wstring file = folder.Child(L"new.log");
    CDialog sheet(file);
    EXPECT_EQ(sheet.GeneralPage().displayName, L"new.log");
    EXPECT_FALSE(sheet.GeneralPage().typeName.empty());
    // Unreadable times: every row starts at the moment the sheet was built.
    EXPECT_EQ(sheet.GeneralPage().value[Creation], sheet.GeneralPage().value[LastWrite]);
    EXPECT_EQ(sheet.GeneralPage().value[Creation] % TicksPerSecond, 0u);

    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kSecond);
    Press(hwnd, IDOK);
    const std::optional<int> quit = PumpPendingMessages();

    ASSERT_EQ(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(TimesOf(file)[LastWrite], kSecond);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_TRUE(quit.has_value());
}

TEST_F(SheetTest, CloseFromTheSystemMenuEndsTheSheetWithoutSaving)
{
    const std::wstring file = folder.MakeFile(L"b.txt");
    const FileTimes before = TimesOf(file);
    CDialog sheet(file);
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    ::SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    const std::optional<int> quit = PumpPendingMessages();
    EXPECT_FALSE(::IsWindow(hwnd));
    ASSERT_TRUE(quit.has_value());
    EXPECT_EQ(*quit, 0);
    EXPECT_EQ(TimesOf(file)[LastWrite], before[LastWrite]);
}

TEST_F(SheetTest, FailedWriteShowsOneErrorBoxAndKeepsTheSheetOpen)
{
    const char* lockedFolder = std::getenv("CHRONSET_LOCKED_FOLDER");
    if (!lockedFolder)
        GTEST_SKIP() << "CHRONSET_LOCKED_FOLDER names the folder of an immutable file";
    std::wstring locked;
    for (const char* p = lockedFolder; *p; ++p)
        locked.push_back(static_cast<wchar_t>(*p));
    locked += L"\\locked.txt";
    const FileTimes before = TimesOf(locked);

    CDialog sheet(locked);
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    {
        MessageBoxCapture boxes;
        Press(hwnd, IDOK);
        PumpPendingMessages();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].caption, L"Nebbi's Timestamp Editor");
        EXPECT_EQ(boxes.Boxes()[0].text, ResultText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)));
    }
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_TRUE(sheet.GetActivePage());
    EXPECT_EQ(TimesOf(locked)[LastWrite], before[LastWrite]);
    ::DestroyWindow(hwnd);
}

TEST_F(SheetTest, FileWithATrailingBlankIsTheItemShownAndWritten)
{
    const std::wstring plain = folder.Child(L"x");
    const std::wstring blank = folder.Child(L"x ");
    MakeExactFile(plain, kSecond);
    MakeExactFile(blank, kSecond);
    CDialog sheet(blank);
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(ControlText(sheet.GeneralPage().m_hWnd, IDC_DISPLAY_NAME), L"x ");
    EXPECT_EQ(ControlText(sheet.GeneralPage().m_hWnd, IDC_LOCATION), folder.Path());
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    Press(hwnd, IDOK);
    PumpPendingMessages();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(TimesOf(blank)[LastWrite], kFirst);
    EXPECT_EQ(TimesOf(plain)[LastWrite], kSecond);
}

TEST_F(SheetTest, FileFarBeyondMaxPathIsShownAndWritten)
{
    std::wstring deep = folder.Path();
    for (wchar_t part : {L'p', L'q', L'r', L's'}) {
        deep += L"\\" + std::wstring(110, part);
        ASSERT_TRUE(::CreateDirectoryW(ItemPath(deep).c_str(), nullptr));
    }
    const std::wstring file = deep + L"\\deep.txt";
    ASSERT_GT(file.size(), 450u);
    MakeExactFile(file, kSecond);
    {
        CDialog sheet(file);
        HWND hwnd = sheet.Create();
        ASSERT_TRUE(hwnd);
        EXPECT_FALSE(sheet.GeneralPage().isFolder);
        EXPECT_EQ(sheet.GeneralPage().displayName, L"deep.txt");
        EXPECT_EQ(ControlText(sheet.GeneralPage().m_hWnd, IDC_LOCATION), deep);
        EXPECT_EQ(sheet.GeneralPage().value[LastWrite], kSecond);
        ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
        Press(hwnd, IDOK);
        PumpPendingMessages();
        EXPECT_FALSE(::IsWindow(hwnd));
    }
    EXPECT_EQ(TimesOf(file)[LastWrite], kFirst);
}

TEST_F(SheetTest, QuotedDriveRootFromTheVerbOpensTheRootFolder)
{
    // What the verb's "%1" gives for a drive root. Nothing is applied: the sheet is only shown.
    const StartRequest request = DecideStartAction(L"\"C:\\\"", folder.Path());
    ASSERT_EQ(request.targetPath, L"C:\\");
    CDialog sheet(request.targetPath);
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(sheet.GeneralPage().isFolder);
    EXPECT_EQ(TabCount(hwnd), 2);
    EXPECT_EQ(sheet.AdvancedPage().location, L"C:\\");
    EXPECT_EQ(ControlText(sheet.GeneralPage().m_hWnd, IDC_LOCATION), L"C:\\");
    Press(hwnd, IDCANCEL);
    PumpPendingMessages();
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(SheetTest, FolderOperationsOnATargetThatBecameAFileLeaveItsTimes)
{
    // Built for a folder, applied to a file of the same name: the entry operations have no
    // entries to take from and leave their kinds, never the search's starting value.
    const std::wstring target = folder.MakeFolder(L"changing");
    CDialog sheet(target);
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    ASSERT_TRUE(::RemoveDirectoryW(target.c_str()));
    MakeExactFile(target, kSecond);
    ChooseOnGeneralPage(sheet, LastWrite, OpLatestEntry, 0);
    ChooseOnGeneralPage(sheet, LastAccess, OpSpecifiedDateTime, kFirst);
    Press(hwnd, IDOK);
    PumpPendingMessages();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(TimesOf(target)[LastWrite], kSecond);
    EXPECT_EQ(TimesOf(target)[LastAccess], kFirst);
}

} // namespace
