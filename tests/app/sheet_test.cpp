#include "app/CommandLine.h"
#include "app/Dialog.h"
#include "ui/ResultText.h"
#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "platform/Handles.h"
#include "platform/ItemPath.h"
#include "tests/metadata/FakePropertySystem.h"
#include "tests/metadata/StandardDocument.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

// 2024-01-31 12:34:56 UTC and a day later, in whole seconds as pickers hold them.
constexpr FileTime kFirst = 133511804960000000ull;
constexpr FileTime kSecond = kFirst + TicksPerDay;

// Sets a General row as the user would have left it and loads it into the controls.
void ChooseOnGeneralPage(SheetDriver& sheet, TimestampKind kind, TimestampOperation operation, FileTime value)
{
    CGeneralPage& page = sheet.General();
    page.operation[kind] = operation;
    page.value[kind] = value;
    page.ExchangeData(false);
}

// Makes a file the ordinary path could not name (a trailing blank, or beyond MAX_PATH).
void MakeExactFile(const std::wstring& path, FileTime write)
{
    FileHandle file(::CreateFileW(ItemPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.valid()) << ::GetLastError();
    file.reset();
    ASSERT_TRUE(WriteFileTimes(path.c_str(), FileTimes{InvalidFileTime, write, write}));
}

void MakeExactFolder(const std::wstring& path)
{
    ASSERT_TRUE(::CreateDirectoryW(ItemPath(path).c_str(), nullptr)) << ::GetLastError();
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(ItemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class SheetTest : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(SheetTest, FileGetsTheGeneralPageOnlyAndApplyWritesItsRecordAndShowsTheTimesRead)
{
    const std::wstring file = folder.MakeFile(L"a.txt");
    SheetDriver sheet(file);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.TabCount(), 1); // no property system under Wine, so no Metadata page
    EXPECT_FALSE(sheet.General().isFolder);
    EXPECT_EQ(sheet.General().displayName, L"a.txt");
    EXPECT_EQ(sheet.General().location, folder.Path());

    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    ChooseOnGeneralPage(sheet, LastAccess, OpSpecifiedDateTime, kSecond);
    sheet.General().SetModified();
    sheet.PressApply();

    const FileTimes stored = TimesOf(file);
    EXPECT_EQ(stored[LastWrite], kFirst);
    EXPECT_EQ(stored[LastAccess], kSecond);
    EXPECT_EQ(sheet.General().value[LastWrite], kFirst);
    EXPECT_EQ(sheet.General().value[LastAccess], kSecond);
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_TRUE(sheet.CurrentPage());
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(SheetTest, FolderWhoseAdvancedPageWasNeverShownIsAppliedOnOkAndTheSheetEnds)
{
    const std::wstring target = folder.MakeFolder(L"data");
    SheetDriver sheet(target);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.TabCount(), 3);   // General, Advanced, Preview
    EXPECT_TRUE(sheet.PageWindow(1)); // created with the sheet, although never shown
    EXPECT_TRUE(sheet.PageWindow(2));
    EXPECT_EQ(sheet.CurrentPage(), sheet.General().m_hWnd);
    EXPECT_EQ(sheet.Advanced().location, target);
    EXPECT_EQ(sheet.General().location, folder.Path());

    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    sheet.PressOk();
    const std::optional<int> quit = sheet.QuitCode();

    EXPECT_EQ(TimesOf(target)[LastWrite], kFirst);
    EXPECT_FALSE(sheet.IsOpen());
    ASSERT_TRUE(quit.has_value());
    EXPECT_EQ(*quit, 1);
}

TEST_F(SheetTest, MissingFileIsCreatedOnOkWithItsTimes)
{
    const std::wstring file = folder.Child(L"new.log");
    SheetDriver sheet(file);
    // Unreadable times: every row starts at the moment the sheet was built.
    EXPECT_EQ(sheet.General().value[Creation], sheet.General().value[LastWrite]);
    EXPECT_EQ(sheet.General().value[Creation] % TicksPerSecond, 0u);

    ASSERT_TRUE(sheet.Create());
    // The header, read while the sheet was made, from the name alone.
    EXPECT_EQ(sheet.General().displayName, L"new.log");
    EXPECT_FALSE(sheet.General().typeName.empty());
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kSecond);
    sheet.PressOk();
    const std::optional<int> quit = sheet.QuitCode();

    ASSERT_EQ(::GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(TimesOf(file)[LastWrite], kSecond);
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_TRUE(quit.has_value());
}

TEST_F(SheetTest, CloseFromTheSystemMenuEndsTheSheetWithoutSaving)
{
    const std::wstring file = folder.MakeFile(L"b.txt");
    const FileTimes before = TimesOf(file);
    SheetDriver sheet(file);
    ASSERT_TRUE(sheet.Create());
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    sheet.CloseFromSystemMenu();
    const std::optional<int> quit = sheet.QuitCode();
    EXPECT_FALSE(sheet.IsOpen());
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

    SheetDriver sheet(locked);
    ASSERT_TRUE(sheet.Create());
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    {
        MessageBoxCapture boxes;
        sheet.PressOk();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].caption, L"Nebbi's Timestamp Editor");
        EXPECT_EQ(boxes.Boxes()[0].text, ResultText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)));
    }
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_TRUE(sheet.CurrentPage());
    EXPECT_EQ(TimesOf(locked)[LastWrite], before[LastWrite]);
}

TEST_F(SheetTest, FileWithATrailingBlankIsTheItemShownAndWritten)
{
    const std::wstring plain = folder.Child(L"x");
    const std::wstring blank = folder.Child(L"x ");
    MakeExactFile(plain, kSecond);
    MakeExactFile(blank, kSecond);
    SheetDriver sheet(blank);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(ControlText(sheet.GeneralWindow(), IDC_DISPLAY_NAME), L"x ");
    EXPECT_EQ(ControlText(sheet.GeneralWindow(), IDC_LOCATION), folder.Path());
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(TimesOf(blank)[LastWrite], kFirst);
    EXPECT_EQ(TimesOf(plain)[LastWrite], kSecond);
}

TEST_F(SheetTest, FileInAFolderEndingInAPeriodOrBlankIsShownAndWrittenAsItselfWithoutMetadata)
{
    // Read the ordinary way, "Acme Inc.\plan.docx" is "Acme Inc\plan.docx": another file, whose
    // properties a Metadata page would show and edit. The store here answers for the path as it
    // is handed over, as the shell would with the other file's properties.
    for (const std::wstring name : {L"Acme Inc.", L"Acme Inc "}) {
        SCOPED_TRACE(testing::Message() << "folder \"" << std::string(name.begin(), name.end()) << "\"");
        TempFolder scratch;
        const std::wstring named = scratch.Child(name);
        const std::wstring sibling = scratch.MakeFolder(L"Acme Inc") + L"\\plan.docx";
        MakeExactFolder(named);
        const std::wstring file = named + L"\\plan.docx";
        MakeExactFile(file, kFirst);
        MakeExactFile(sibling, kSecond);
        FakePropertySystem properties(file);
        AddStandardDocument(properties);
        {
            SheetDriver sheet(file, properties);
            ASSERT_TRUE(sheet.Create());
            EXPECT_EQ(sheet.TabCount(), 1);
            EXPECT_EQ(properties.Calls(FakeStep::CreateItem), 0);
            EXPECT_EQ(properties.readOnlyOpens + properties.readWriteOpens, 0);
            EXPECT_EQ(ControlText(sheet.GeneralWindow(), IDC_DISPLAY_NAME), L"plan.docx");
            EXPECT_EQ(ControlText(sheet.GeneralWindow(), IDC_LOCATION), named);
            EXPECT_EQ(sheet.General().value[LastWrite], kFirst);
            ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kSecond + TicksPerDay);
            sheet.PressOk();
            EXPECT_FALSE(sheet.IsOpen());
        }
        EXPECT_EQ(TimesOf(file)[LastWrite], kSecond + TicksPerDay);
        EXPECT_EQ(TimesOf(sibling)[LastWrite], kSecond);
    }
}

TEST_F(SheetTest, ApplyInsideAFolderEndingInAPeriodMakesNoFolderBesideIt)
{
    // Before a file is written the shell makes its folder ready, creating it when it is missing
    // (Wine without asking). Read the ordinary way, "Acme Inc.\sub" is the missing "Acme Inc\sub".
    const std::wstring named = folder.Child(L"Acme Inc.");
    MakeExactFolder(named);
    MakeExactFolder(named + L"\\sub");
    const std::wstring file = named + L"\\sub\\plan.docx";
    MakeExactFile(file, kSecond);
    SheetDriver sheet(file);
    ASSERT_TRUE(sheet.Create());
    ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(TimesOf(file)[LastWrite], kFirst);
    EXPECT_FALSE(Exists(folder.Child(L"Acme Inc")));
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
        SheetDriver sheet(file);
        ASSERT_TRUE(sheet.Create());
        EXPECT_FALSE(sheet.General().isFolder);
        EXPECT_EQ(sheet.General().displayName, L"deep.txt");
        EXPECT_EQ(ControlText(sheet.GeneralWindow(), IDC_LOCATION), deep);
        EXPECT_EQ(sheet.General().value[LastWrite], kSecond);
        ChooseOnGeneralPage(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
        sheet.PressOk();
        EXPECT_FALSE(sheet.IsOpen());
    }
    EXPECT_EQ(TimesOf(file)[LastWrite], kFirst);
}

TEST_F(SheetTest, QuotedDriveRootFromTheVerbOpensTheRootFolder)
{
    // What the verb's "%1" gives for a drive root. Nothing is applied: the sheet is only shown.
    const StartRequest request = DecideStartAction(L"\"C:\\\"", folder.Path());
    ASSERT_EQ(request.targetPaths, std::vector<std::wstring>{L"C:\\"});
    SheetDriver sheet(request.targetPaths[0]);
    ASSERT_TRUE(sheet.Create());
    EXPECT_TRUE(sheet.General().isFolder);
    EXPECT_EQ(sheet.TabCount(), 3);
    EXPECT_EQ(sheet.Advanced().location, L"C:\\");
    EXPECT_EQ(ControlText(sheet.GeneralWindow(), IDC_LOCATION), L"C:\\");
    sheet.PressCancel();
    EXPECT_FALSE(sheet.IsOpen());
}

TEST_F(SheetTest, FolderOperationsOnATargetThatBecameAFileLeaveItsTimes)
{
    // Built for a folder, applied to a file of the same name: the entry operations have no
    // entries to take from and leave their kinds, never the search's starting value.
    const std::wstring target = folder.MakeFolder(L"changing");
    SheetDriver sheet(target);
    ASSERT_TRUE(sheet.Create());
    ASSERT_TRUE(::RemoveDirectoryW(target.c_str()));
    MakeExactFile(target, kSecond);
    ChooseOnGeneralPage(sheet, LastWrite, OpLatestEntry, 0);
    ChooseOnGeneralPage(sheet, LastAccess, OpSpecifiedDateTime, kFirst);
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(TimesOf(target)[LastWrite], kSecond);
    EXPECT_EQ(TimesOf(target)[LastAccess], kFirst);
}

} // namespace
