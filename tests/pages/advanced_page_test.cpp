#include "pages/AdvancedPage.h"
#include "tests/pages/PagesTestSupport.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

namespace {

constexpr int kCombos[] = {IDC_CREATED_OPERATION, IDC_ACCESSED_OPERATION, IDC_MODIFIED_OPERATION};

// The "same as" entries of the operation boxes in the interface's language.
struct SameAsTexts {
    const wchar_t* modification;
    const wchar_t* creation;
};

const Expected<SameAsTexts> kSameAsTexts[] = {
    {L"en", {L"Set the same as the modification time", L"Set the same as the creation time"}},
    {L"ja", {L"更新日時と同じにする", L"作成日時と同じにする"}},
};

void SetPatterns(HWND page, const wchar_t* text)
{
    ::SendDlgItemMessageW(page, IDC_NAME_PATTERNS, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

class AdvancedPageTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(boxes.Boxes().empty()) << "unexpected message box"; }

    TempFolder temp;
    MessageBoxCapture boxes;
};

TEST_F(AdvancedPageTest, PageShowsTheFolderTenOperationsAndStoresPatternsWhenLeft)
{
    const std::wstring folder = temp.MakeFolder(L"Data");
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    HWND page = open.AdvancedWindow();
    ASSERT_TRUE(page);
    for (int id : kCombos) {
        EXPECT_EQ(OperationCount(page, id), 10) << id;
        // Its rows reach files: the date taken comes last.
        EXPECT_EQ(::SendDlgItemMessageW(page, id, CB_GETITEMDATA, 9, 0), OpDateTaken) << id;
        EXPECT_EQ(SelectedOperation(page, id), OpDontChange) << id;
    }
    if (const SameAsTexts* texts = ForRunLanguage(kSameAsTexts)) {
        EXPECT_EQ(OperationText(page, IDC_CREATED_OPERATION, 6), texts->modification);
        EXPECT_EQ(OperationText(page, IDC_MODIFIED_OPERATION, 6), texts->creation);
        EXPECT_EQ(OperationText(page, IDC_ACCESSED_OPERATION, 7), texts->modification);
    }
    // The folder itself here; the General page names the folder that holds it.
    EXPECT_EQ(ControlText(::GetDlgItem(page, IDC_LOCATION)), folder);
    EXPECT_EQ(ControlText(::GetDlgItem(open.GeneralWindow(), IDC_LOCATION)), temp.Path());
    EXPECT_EQ(ControlText(::GetDlgItem(page, IDC_NAME_PATTERNS)), L"");
    EXPECT_EQ(reinterpret_cast<HICON>(::SendDlgItemMessageW(page, IDC_ITEM_ICON, STM_GETICON, 0, 0)),
              open.Advanced().icon);
    // Filling the pattern field at start counts as a change, as the edit control reports it.
    EXPECT_TRUE(open.ApplyEnabled());

    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(open.GeneralWindow()), 0);
    ASSERT_FALSE(open.ApplyEnabled());
    open.ShowPage(1);
    SetPatterns(page, L"*.txt; photo??.jpg");
    EXPECT_TRUE(open.ApplyEnabled());
    EXPECT_TRUE(open.Advanced().namePatterns.empty());
    open.ShowPage(0);
    EXPECT_EQ(open.Advanced().namePatterns, L"*.txt; photo??.jpg");

    // A bad picker value keeps the user here; the pattern text is stored all the same.
    open.ShowPage(1);
    SetPatterns(page, L"*.doc");
    SelectOperation(page, IDC_ACCESSED_OPERATION, OpSpecifiedTimeOfDay); // a disabled picker takes no focus
    HWND picker = ::GetDlgItem(page, IDC_ACCESSED_VALUE);
    MakePickerUnreadable(picker);
    open.ShowPage(0);
    EXPECT_EQ(open.CurrentPage(), page);
    EXPECT_EQ(::GetFocus(), picker);
    EXPECT_EQ(open.Advanced().namePatterns, L"*.doc");
    MakePickerReadable(picker);
    open.ShowPage(0);
    EXPECT_EQ(open.CurrentPage(), open.GeneralWindow());
}

// root: a.txt, b.log, .late.log (hidden, newest), sub: c.txt, d.log, deeper: e.txt
class FolderWalkTest : public AdvancedPageTest {
protected:
    void SetUp() override
    {
        root = temp.MakeFolder(L"root");
        sub = root + L"\\sub";
        deeper = sub + L"\\deeper";
        ASSERT_TRUE(::CreateDirectoryW(sub.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW(deeper.c_str(), nullptr));
        for (const std::wstring* file : {&aTxt, &bLog, &lateLog, &cTxt, &dLog, &eTxt}) {
            HANDLE h =
                ::CreateFileW(file->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE) << file->c_str();
            ::CloseHandle(h);
        }
        ASSERT_TRUE(::GetFileAttributesW(lateLog.c_str()) & FILE_ATTRIBUTE_HIDDEN); // a dot name, under Wine
        SetTimes(aTxt, oldTime, oldTime, oldTime);
        SetTimes(bLog, oldTime, oldTime, logTime);
        SetTimes(lateLog, oldTime, oldTime, hiddenTime);
        SetTimes(cTxt, oldTime, oldTime, oldTime);
        SetTimes(dLog, oldTime, oldTime, subLogTime);
        SetTimes(eTxt, oldTime, oldTime, oldTime);
        for (const std::wstring* folder : {&deeper, &sub, &root})
            SetTimes(*folder, oldTime, oldTime, oldTime);
    }

    // On the Advanced page: Modified "Set the specified date and time" for *.txt.
    void ChooseTextFiles(SheetDriver& open)
    {
        open.ShowPage(1);
        HWND page = open.AdvancedWindow();
        ASSERT_EQ(open.CurrentPage(), page);
        SetPatterns(page, L"*.txt");
        SelectOperation(page, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
        EXPECT_TRUE(PickerEnabled(page, IDC_MODIFIED_VALUE));
        ::SendDlgItemMessageW(page, IDC_MODIFIED_VALUE, WM_SETTEXT, 0,
                              reinterpret_cast<LPARAM>(L"2015-01-01T00:00:00Z"));
    }

    std::wstring root, sub, deeper;
    std::wstring aTxt = temp.Child(L"root\\a.txt");
    std::wstring bLog = temp.Child(L"root\\b.log");
    std::wstring lateLog = temp.Child(L"root\\.late.log");
    std::wstring cTxt = temp.Child(L"root\\sub\\c.txt");
    std::wstring dLog = temp.Child(L"root\\sub\\d.log");
    std::wstring eTxt = temp.Child(L"root\\sub\\deeper\\e.txt");

    const FileTime oldTime = UtcTime(2010, 3, 3, 3, 3, 3, 300);
    const FileTime picked = UtcTime(2015, 1, 1);
    const FileTime logTime = UtcTime(2016, 6, 6, 6, 6, 6);
    const FileTime subLogTime = UtcTime(2017, 7, 7, 7, 7, 7);
    const FileTime hiddenTime = UtcTime(2025, 1, 1, 1, 1, 1);
};

TEST_F(FolderWalkTest, RecursiveLatestTimeAndTextFilesThroughBothPages)
{
    SheetDriver open(root);
    ASSERT_TRUE(open.Create());
    HWND general = open.GeneralWindow();
    SelectOperation(general, IDC_MODIFIED_OPERATION, OpLatestEntry);
    Click(general, IDC_RECURSIVE);
    ChooseTextFiles(open);

    open.PressApply();
    EXPECT_FALSE(open.ApplyEnabled());

    // The matching files, at every depth, take the picked time; the others keep theirs.
    EXPECT_EQ(TimesOf(aTxt)[LastWrite], picked);
    EXPECT_EQ(TimesOf(cTxt)[LastWrite], picked);
    EXPECT_EQ(TimesOf(eTxt)[LastWrite], picked);
    EXPECT_EQ(TimesOf(bLog)[LastWrite], logTime);
    EXPECT_EQ(TimesOf(dLog)[LastWrite], subLogTime);
    EXPECT_EQ(TimesOf(lateLog)[LastWrite], hiddenTime);
    // Each folder takes the latest of its entries after they changed; the hidden file is left out.
    EXPECT_EQ(TimesOf(deeper)[LastWrite], picked);
    EXPECT_EQ(TimesOf(sub)[LastWrite], subLogTime);
    EXPECT_EQ(TimesOf(root)[LastWrite], subLogTime);

    // The General page shows the folder's new time; the Advanced page keeps what the user set.
    EXPECT_EQ(PickerValue(general, IDC_MODIFIED_VALUE), subLogTime);
    EXPECT_EQ(SelectedOperation(general, IDC_MODIFIED_OPERATION), OpLatestEntry);
    HWND advanced = open.AdvancedWindow();
    EXPECT_EQ(PickerValue(advanced, IDC_MODIFIED_VALUE), picked);
    EXPECT_EQ(SelectedOperation(advanced, IDC_MODIFIED_OPERATION), OpSpecifiedDateTime);
    EXPECT_EQ(open.Advanced().namePatterns, L"*.txt");

    // With hidden items included, the hidden file's newer time reaches the folder.
    open.ShowPage(0);
    Click(general, IDC_EXCLUDE_HIDDEN);
    EXPECT_TRUE(open.ApplyEnabled());
    open.PressOk();
    EXPECT_EQ(TimesOf(root)[LastWrite], hiddenTime);
    EXPECT_EQ(TimesOf(sub)[LastWrite], subLogTime);
    EXPECT_FALSE(open.IsOpen()); // OK closed the sheet
}

TEST_F(FolderWalkTest, WithoutRecursionSubfoldersAreNeitherEnteredNorChanged)
{
    SheetDriver open(root);
    ASSERT_TRUE(open.Create());
    HWND general = open.GeneralWindow();
    SelectOperation(general, IDC_MODIFIED_OPERATION, OpEarliestEntry);
    ChooseTextFiles(open);
    open.PressApply();

    EXPECT_EQ(TimesOf(aTxt)[LastWrite], picked);
    EXPECT_EQ(TimesOf(cTxt)[LastWrite], oldTime);
    EXPECT_EQ(TimesOf(eTxt)[LastWrite], oldTime);
    EXPECT_EQ(TimesOf(sub)[LastWrite], oldTime);
    // The earliest among a.txt (just changed), b.log and the subfolder as listed.
    EXPECT_EQ(TimesOf(root)[LastWrite], oldTime);
    EXPECT_EQ(PickerValue(general, IDC_MODIFIED_VALUE), oldTime - oldTime % TicksPerSecond);

    // An empty pattern text selects every file that is not hidden.
    open.ShowPage(1);
    SetPatterns(open.AdvancedWindow(), L"");
    open.PressApply();
    EXPECT_EQ(TimesOf(bLog)[LastWrite], picked);
    EXPECT_EQ(TimesOf(lateLog)[LastWrite], hiddenTime);
    EXPECT_EQ(TimesOf(dLog)[LastWrite], subLogTime);
}

} // namespace
