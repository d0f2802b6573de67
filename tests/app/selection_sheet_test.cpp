#include "app/Dialog.h"
#include "engine/FileTimeAccess.h"
#include "engine/TimestampOperations.h"
#include "ui/ResultText.h"
#include "res/resource.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <cstdint>
#include <cstdlib>

#include <string>
#include <vector>

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

// 2024-01-31 12:34:56 UTC and a day later, in whole seconds as pickers hold them.
constexpr FileTime kFirst = 133511804960000000ull;
constexpr FileTime kSecond = kFirst + TicksPerDay;

struct HeaderTexts {
    const wchar_t* twoFilesOneFolder;
    const wchar_t* twoFiles;
    const wchar_t* multipleTypes;
    const wchar_t* allInPrefix;
    const wchar_t* variousFolders;
};

const Expected<HeaderTexts> Headers[] = {
    {L"en", {L"2 files, 1 folder", L"2 files", L"Multiple types", L"All in ", L"Various folders"}},
    {L"ja", {L"ファイル 2 個、フォルダー 1 個", L"ファイル 2 個", L"複数の種類", L"すべて ", L"複数のフォルダー"}},
};

std::wstring ShellTypeOf(const wchar_t* name)
{
    SHFILEINFOW info{};
    ::SHGetFileInfoW(name, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
    return info.szTypeName;
}

void WriteTimes(const std::wstring& path, FileTime access, FileTime write)
{
    ASSERT_TRUE(WriteFileTimes(path.c_str(), FileTimes{InvalidFileTime, access, write}));
}

void Choose(SheetDriver& sheet, TimestampKind kind, TimestampOperation operation, FileTime value = kFirst)
{
    CGeneralPage& page = sheet.General();
    page.operation[kind] = operation;
    page.value[kind] = value;
    page.ExchangeData(false);
    page.SetModified();
}

class SelectionSheetTest : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(SelectionSheetTest, HeaderDescribesTheSelectionAndTheFolderPartsAppearWithAFolder)
{
    const HeaderTexts* texts = ForRunLanguage(Headers);
    ASSERT_TRUE(texts);
    const std::wstring a = folder.MakeFile(L"a.txt");
    const std::wstring b = folder.MakeFile(L"b.log");
    const std::wstring photos = folder.MakeFolder(L"Photos");
    WriteTimes(a, kSecond, kFirst);

    SheetDriver sheet(std::vector<std::wstring>{a, b, photos});
    ASSERT_TRUE(sheet.Create());
    HWND general = sheet.GeneralWindow();
    EXPECT_EQ(ControlText(general, IDC_DISPLAY_NAME), texts->twoFilesOneFolder);
    EXPECT_EQ(ControlText(general, IDC_TYPE_NAME), texts->multipleTypes);
    EXPECT_EQ(ControlText(general, IDC_LOCATION),
              texts->allInPrefix + folder.Path() + (RunLanguage() == L"ja" ? L" 内" : L""));
    EXPECT_TRUE(::SendDlgItemMessageW(general, IDC_ITEM_ICON, STM_GETICON, 0, 0));
    // A folder among the items: the Advanced page for the files inside it, the folder
    // operations and the walk's options; a selection has no Metadata page, but a Preview.
    EXPECT_EQ(sheet.TabCount(), 3);
    EXPECT_EQ(sheet.Advanced().location, photos);
    // Files among the items too: the folder operations and the date taken.
    EXPECT_EQ(::SendDlgItemMessageW(general, IDC_MODIFIED_OPERATION, CB_GETCOUNT, 0, 0), 12);
    EXPECT_EQ(::SendDlgItemMessageW(general, IDC_MODIFIED_OPERATION, CB_GETITEMDATA, 11, 0), OpDateTaken);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(general, IDC_RECURSIVE)));
    // The rows start at the first item's times.
    EXPECT_EQ(sheet.General().value[LastWrite], kFirst);
    EXPECT_EQ(sheet.General().value[LastAccess], kSecond);
    sheet.PressCancel();
}

TEST_F(SelectionSheetTest, FilesOfOneTypeInVariousFoldersShowTheTypeAndNoFolderParts)
{
    const HeaderTexts* texts = ForRunLanguage(Headers);
    ASSERT_TRUE(texts);
    const std::wstring a = folder.MakeFile(L"a.txt");
    const std::wstring b = folder.MakeFile(L"sub\\B.TXT");
    SheetDriver sheet(std::vector<std::wstring>{a, b});
    ASSERT_TRUE(sheet.Create());
    HWND general = sheet.GeneralWindow();
    EXPECT_EQ(ControlText(general, IDC_DISPLAY_NAME), texts->twoFiles);
    EXPECT_EQ(ControlText(general, IDC_TYPE_NAME), ShellTypeOf(L"x.txt"));
    EXPECT_EQ(ControlText(general, IDC_LOCATION), texts->variousFolders);
    EXPECT_EQ(sheet.TabCount(), 2); // General and Preview
    // No folder operations; the date taken, since the rows reach files.
    EXPECT_EQ(::SendDlgItemMessageW(general, IDC_MODIFIED_OPERATION, CB_GETCOUNT, 0, 0), 10);
    EXPECT_EQ(::SendDlgItemMessageW(general, IDC_MODIFIED_OPERATION, CB_GETITEMDATA, 9, 0), OpDateTaken);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(general, IDC_RECURSIVE)));
    sheet.PressCancel();
}

TEST_F(SelectionSheetTest, OkWritesEveryItemAndNothingElseAndShowsTheFirstItemsTimes)
{
    const std::wstring a = folder.MakeFile(L"a.txt");
    const std::wstring b = folder.MakeFile(L"b c.txt");
    const std::wstring photos = folder.MakeFolder(L"Photos");
    const std::wstring inside = folder.MakeFile(L"Photos\\in.jpg");
    const std::wstring other = folder.MakeFile(L"other.txt");
    for (const std::wstring& path : {a, b, photos, inside, other})
        WriteTimes(path, kSecond, kSecond);

    SheetDriver sheet(std::vector<std::wstring>{a, b, photos, a});
    ASSERT_TRUE(sheet.Create());
    Choose(sheet, LastWrite, OpSpecifiedDateTime);
    sheet.PressApply();
    EXPECT_TRUE(sheet.IsOpen());
    for (const std::wstring& path : {a, b, photos})
        EXPECT_EQ(TimesOf(path)[LastWrite], kFirst) << path;
    // The Advanced page chose nothing for the files inside the folder.
    EXPECT_EQ(TimesOf(inside)[LastWrite], kSecond);
    EXPECT_EQ(TimesOf(other)[LastWrite], kSecond);
    EXPECT_EQ(sheet.General().value[LastWrite], kFirst);
    EXPECT_FALSE(sheet.ApplyEnabled());
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
}

TEST_F(SelectionSheetTest, OkAfterApplyDoesNotRunTheOperationsASecondTime)
{
    // Modified and Accessed swapped: a second run would swap them back.
    const std::wstring file = folder.MakeFile(L"swap.txt");
    WriteTimes(file, kSecond, kFirst);
    SheetDriver sheet(file);
    ASSERT_TRUE(sheet.Create());
    Choose(sheet, LastWrite, OpSameAsSecondOther);  // the access time
    Choose(sheet, LastAccess, OpSameAsSecondOther); // the modification time
    sheet.PressApply();
    FileTimes times = TimesOf(file);
    EXPECT_EQ(times[LastWrite], kSecond);
    EXPECT_EQ(times[LastAccess], kFirst);

    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(sheet.QuitCode(), 1);
    times = TimesOf(file);
    EXPECT_EQ(times[LastWrite], kSecond);
    EXPECT_EQ(times[LastAccess], kFirst);
}

TEST_F(SelectionSheetTest, AChangeAfterApplyIsAppliedByOk)
{
    const std::wstring file = folder.MakeFile(L"again.txt");
    SheetDriver sheet(file);
    ASSERT_TRUE(sheet.Create());
    Choose(sheet, LastWrite, OpSpecifiedDateTime, kFirst);
    sheet.PressApply();
    Choose(sheet, LastWrite, OpSpecifiedDateTime, kSecond);
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(TimesOf(file)[LastWrite], kSecond);
}

TEST_F(SelectionSheetTest, AFolderGoneAtApplyIsReportedMissingAndNeverMadeAFile)
{
    const std::wstring gone = folder.MakeFolder(L"gone");
    SheetDriver sheet(gone);
    ASSERT_TRUE(sheet.Create());
    ASSERT_TRUE(::RemoveDirectoryW(gone.c_str()));
    Choose(sheet, LastWrite, OpSpecifiedDateTime);
    {
        MessageBoxCapture boxes;
        sheet.PressOk();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, ResultText(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) + L"\n" + gone);
    }
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_EQ(::GetFileAttributesW(gone.c_str()), INVALID_FILE_ATTRIBUTES);
    sheet.PressCancel();
}

TEST_F(SelectionSheetTest, AFailingItemStopsTheApplyAndIsNamedWhatWasWrittenStays)
{
    const char* locked = std::getenv("CHRONSET_LOCKED_FOLDER");
    if (!locked)
        GTEST_SKIP() << "needs the immutable file of the ctest fixture";
    std::wstring lockedFile;
    for (const char* p = locked; *p; ++p)
        lockedFile.push_back(static_cast<wchar_t>(*p));
    lockedFile += L"\\locked.txt";
    const std::wstring before = folder.MakeFile(L"before.txt");
    const std::wstring after = folder.MakeFile(L"after.txt");
    WriteTimes(before, kSecond, kSecond);
    WriteTimes(after, kSecond, kSecond);
    SheetDriver sheet(std::vector<std::wstring>{before, lockedFile, after});
    ASSERT_TRUE(sheet.Create());
    Choose(sheet, LastWrite, OpSpecifiedDateTime);
    {
        MessageBoxCapture boxes;
        sheet.PressOk();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, ResultText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)) + L"\n" + lockedFile);
    }
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_EQ(TimesOf(before)[LastWrite], kFirst);
    EXPECT_EQ(TimesOf(after)[LastWrite], kSecond);
    sheet.PressCancel();
}

TEST_F(SelectionSheetTest, AFolderLeadingBackAboveIsSkippedAndNamedWhenTheApplyEnds)
{
    const char* fixture = std::getenv("CHRONSET_LOCKED_FOLDER");
    if (!fixture)
        GTEST_SKIP() << "needs the link made by the ctest fixture";
    std::wstring loop;
    for (const char* p = fixture; *p; ++p)
        loop.push_back(static_cast<wchar_t>(*p));
    loop += L"\\loop";
    SheetDriver sheet(loop);
    ASSERT_TRUE(sheet.Create());
    sheet.General().recursive = true;
    Choose(sheet, LastWrite, OpSpecifiedDateTime);
    {
        MessageBoxCapture boxes;
        sheet.PressApply();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        const std::wstring& text = boxes.Boxes()[0].text;
        EXPECT_NE(text.find(loop + L"\\a\\up"), std::wstring::npos);
        EXPECT_NE(text.find(loop + (RunLanguage() == L"ja" ? L" に戻る" : L", a folder above it")), std::wstring::npos);
    }
    // The apply itself went through.
    EXPECT_EQ(TimesOf(loop)[LastWrite], kFirst);
    EXPECT_EQ(TimesOf(loop + L"\\a")[LastWrite], kFirst);
    sheet.PressCancel();
}

TEST_F(SelectionSheetTest, OkShiftsAFileAFolderWalkAndASelectionByExactlyTheSpan)
{
    // Times with ticks below a second, which the shift must keep.
    const FileTime fileTime = kFirst + 1234567;
    const FileTime folderTime = kSecond + 7654321;
    const FileTime insideTime = kFirst + 42;
    const std::wstring file = folder.MakeFile(L"a.txt");
    const std::wstring photos = folder.MakeFolder(L"Photos");
    const std::wstring inside = folder.MakeFile(L"Photos\\in.jpg");
    WriteTimes(file, kFirst, fileTime);
    WriteTimes(inside, kFirst, insideTime);
    WriteTimes(photos, kFirst, folderTime);
    const std::int64_t back = -static_cast<std::int64_t>(TicksPerDay + 150 * TicksPerMinute); // -1 day 2:30
    const std::int64_t ahead = static_cast<std::int64_t>(60 * TicksPerMinute);                // +1:00

    SheetDriver sheet(std::vector<std::wstring>{file, photos});
    ASSERT_TRUE(sheet.Create());
    CGeneralPage& general = sheet.General();
    general.recursive = true;
    general.operation[LastWrite] = OpShiftBySpan;
    general.span[LastWrite] = TimeSpan{0, back};
    general.ExchangeData(false);
    general.SetModified();
    CAdvancedPage& advanced = sheet.Advanced();
    advanced.operation[LastWrite] = OpShiftBySpan;
    advanced.span[LastWrite] = TimeSpan{0, ahead};
    advanced.ExchangeRows(false);
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());

    // The selected items by the General page's span, the file inside the folder by the
    // Advanced page's, each once, to the tick.
    EXPECT_EQ(TimesOf(file)[LastWrite], fileTime + back);
    EXPECT_EQ(TimesOf(photos)[LastWrite], folderTime + back);
    EXPECT_EQ(TimesOf(inside)[LastWrite], insideTime + ahead);
}

} // namespace
