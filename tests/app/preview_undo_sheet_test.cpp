#include "app/Dialog.h"
#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "pages/PreviewText.h"
#include "platform/ItemPath.h"
#include "res/resource.h"
#include "ui/ResultText.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

// 2024-01-31 12:34:56 UTC and a day later, in whole seconds as pickers hold them.
constexpr FileTime kFirst = 133511804960000000ull;
constexpr FileTime kSecond = kFirst + TicksPerDay;
// Times the items start from, with ticks below a second, which a restore must keep.
constexpr FileTime kOld = kFirst - 300 * TicksPerDay + 1234567;

struct PreviewTexts {
    const wchar_t* threeItems;
    const wchar_t* oneItem;
    const wchar_t* stopped;
    const wchar_t* undoThree;
    const wchar_t* undoOne;
};

const Expected<PreviewTexts> Texts[] = {
    {L"en",
     {L"3 items will change (2 files, 1 folder); 1 stays as it is",
      L"1 item will change (1 file, 0 folders); 1 stays as it is", L"The preview was stopped.",
      L"Restore the times of the 3 items that the last apply changed?",
      L"Restore the times of the 1 item that the last apply changed?"}},
    {L"ja",
     {L"3 個の項目が変更されます(ファイル 2 個、フォルダー 1 個)。1 個はそのままです",
      L"1 個の項目が変更されます(ファイル 1 個、フォルダー 0 個)。1 個はそのままです", L"プレビューは中止されました。",
      L"前回の適用で変更した 3 個の項目のタイムスタンプを元に戻しますか?",
      L"前回の適用で変更した 1 個の項目のタイムスタンプを元に戻しますか?"}},
};

// Stands in for the progress window: comes up at once and says whether the user cancelled.
class StandInDisplay : public ProgressDisplay {
public:
    bool cancel = false;
    int starts = 0;

    bool Start(HWND, const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&) override
    {
        ++starts;
        return true;
    }
    void Update(const std::wstring&, const std::wstring&) override {}
    bool Cancelled() override { return cancel; }
    void Stop() override {}
};

// Sets a row of a page as the user would have left it and marks the sheet changed.
template <class Page> void Choose(Page& page, TimestampKind kind, TimestampOperation operation, FileTime value = kFirst)
{
    page.operation[kind] = operation;
    page.value[kind] = value;
    page.ExchangeRows(false);
    page.SetModified();
}

std::wstring ListText(HWND list, int row, PreviewColumn column)
{
    wchar_t text[512] = {};
    ListView_GetItemText(list, row, static_cast<int>(column), text, 512);
    return text;
}

int RowOf(HWND list, const std::wstring& name)
{
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        if (ListText(list, row, PreviewColumn::Name) == name)
            return row;
    }
    return -1;
}

bool UndoEnabled(SheetDriver& sheet)
{
    return ::IsWindowEnabled(::GetDlgItem(sheet.GeneralWindow(), IDC_UNDO)) != FALSE;
}

// The last-write and last-access times (Wine keeps no creation time of its own).
std::pair<FileTime, FileTime> WriteAndAccess(const std::wstring& path)
{
    const FileTimes times = TimesOf(path);
    return {times[LastWrite], times[LastAccess]};
}

class PreviewUndoSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        texts = ForRunLanguage(Texts);
        ASSERT_TRUE(texts);
    }

    // data\a.txt and data\b.txt, which get the chosen write time, data\same.txt, which has it
    // already, and data itself, whose write time becomes that of its latest entry.
    void MakeTree()
    {
        data = folder.MakeFolder(L"data");
        a = folder.MakeFile(L"data\\a.txt");
        b = folder.MakeFile(L"data\\b.txt");
        same = folder.MakeFile(L"data\\same.txt");
        SetTimes(a, kOld, kOld, kOld);
        SetTimes(b, kOld, kOld + 1, kOld + 2);
        SetTimes(same, kFirst, kOld, kFirst);
        SetTimes(data, kOld, kOld, kOld);
    }

    void ChooseLatestEntryOverChosenFiles(SheetDriver& sheet)
    {
        Choose(sheet.General(), LastWrite, OpLatestEntry);
        Choose(sheet.Advanced(), LastWrite, OpSpecifiedDateTime);
    }

    TempFolder folder;
    const PreviewTexts* texts = nullptr;
    std::wstring data, a, b, same;
};

TEST_F(PreviewUndoSheetTest, PreviewPageComesLastForAFolderAndASelectionButNotForOneFile)
{
    const std::wstring file = folder.MakeFile(L"one.txt");
    const std::wstring other = folder.MakeFile(L"two.txt");
    const std::wstring dir = folder.MakeFolder(L"dir");
    const wchar_t* title = RunLanguage() == L"ja" ? L"プレビュー" : L"Preview";
    {
        SheetDriver sheet(dir);
        ASSERT_TRUE(sheet.Create());
        ASSERT_EQ(sheet.TabCount(), 3);
        EXPECT_EQ(sheet.TabText(2), title);
        EXPECT_EQ(sheet.PageWindow(2), sheet.Sheet().PreviewPage().m_hWnd);
        sheet.PressCancel();
    }
    {
        SheetDriver sheet(std::vector<std::wstring>{file, other});
        ASSERT_TRUE(sheet.Create());
        ASSERT_EQ(sheet.TabCount(), 2);
        EXPECT_EQ(sheet.TabText(1), title);
        sheet.PressCancel();
    }
    {
        SheetDriver sheet(file);
        ASSERT_TRUE(sheet.Create());
        EXPECT_EQ(sheet.TabCount(), 1);
        EXPECT_FALSE(sheet.Sheet().PreviewPage().m_hWnd);
        sheet.PressCancel();
    }
}

TEST_F(PreviewUndoSheetTest, FolderPreviewWritesNothingAndListsExactlyWhatOkThenWrites)
{
    MakeTree();
    const std::vector<std::wstring> items{data, a, b, same};
    std::vector<FileTimes> before;
    for (const std::wstring& item : items)
        before.push_back(TimesOf(item));

    SheetDriver sheet(data);
    ASSERT_TRUE(sheet.Create());
    ChooseLatestEntryOverChosenFiles(sheet);
    sheet.ShowPage(2);
    HWND page = sheet.Sheet().PreviewPage().m_hWnd;
    ASSERT_EQ(sheet.CurrentPage(), page);

    // Listing a folder moves its access time on Linux; the rest stays to the tick.
    for (std::size_t i = 0; i < items.size(); ++i) {
        FileTimes now = TimesOf(items[i]);
        if (items[i] == data)
            now[LastAccess] = before[i][LastAccess];
        EXPECT_EQ(now, before[i]) << "written by the preview: " << testing::PrintToString(items[i]);
    }

    EXPECT_EQ(ControlText(page, IDC_PREVIEW_SUMMARY), texts->threeItems);
    HWND list = ::GetDlgItem(page, IDC_PREVIEW_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 3);
    EXPECT_EQ(RowOf(list, L"same.txt"), -1);
    const int rowA = RowOf(list, L"a.txt");
    const int rowData = RowOf(list, L"data");
    ASSERT_GE(rowA, 0);
    ASSERT_GE(rowData, 0);
    EXPECT_EQ(ListText(list, rowA, PreviewColumn::Folder), data);
    EXPECT_EQ(ListText(list, rowA, PreviewColumn::Modified), LocalTimeText(kOld) + L" → " + LocalTimeText(kFirst));
    EXPECT_EQ(ListText(list, rowA, PreviewColumn::Accessed), LocalTimeText(kOld));
    // The folder's latest entry is one of the files' new times, known without writing them.
    EXPECT_EQ(ListText(list, rowData, PreviewColumn::Modified), LocalTimeText(kOld) + L" → " + LocalTimeText(kFirst));
    EXPECT_EQ(ListText(list, rowData, PreviewColumn::Folder), folder.Path());

    const std::vector<PlannedChange> planned = sheet.Sheet().PreviewPage().Result().changes;
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
    std::vector<std::wstring> changed;
    for (const PlannedChange& change : planned) {
        changed.push_back(change.path);
        EXPECT_EQ(TimesOf(change.path)[LastWrite], change.planned[LastWrite]) << testing::PrintToString(change.path);
        if (!change.folder) {
            EXPECT_EQ(TimesOf(change.path)[LastAccess], change.planned[LastAccess]);
        }
    }
    std::sort(changed.begin(), changed.end());
    EXPECT_EQ(changed, (std::vector<std::wstring>{data, a, b}));
    EXPECT_EQ(TimesOf(same), before[3]);
}

// A folder, a file beside it and a file inside it, selected together: the walk of the folder
// leaves the selected file to its own turn, with the selection's operations.
TEST_F(PreviewUndoSheetTest, SelectionPreviewListsExactlyWhatOkThenWrites)
{
    MakeTree();
    const std::wstring loose = folder.MakeFile(L"loose.txt");
    SetTimes(loose, kOld, kOld, kOld);
    const std::vector<std::wstring> all{data, a, b, same, loose};
    std::vector<FileTimes> before;
    for (const std::wstring& item : all)
        before.push_back(TimesOf(item));

    SheetDriver sheet(std::vector<std::wstring>{data, loose, a});
    ASSERT_TRUE(sheet.Create());
    Choose(sheet.General(), LastWrite, OpSpecifiedDateTime, kSecond);
    Choose(sheet.Advanced(), LastWrite, OpSpecifiedDateTime, kFirst);
    HWND page = sheet.Sheet().PreviewPage().m_hWnd;
    sheet.ShowPage(sheet.PageIndex(page));
    ASSERT_EQ(sheet.CurrentPage(), page);
    HWND list = ::GetDlgItem(page, IDC_PREVIEW_LIST);
    EXPECT_EQ(ListView_GetItemCount(list), 4);
    EXPECT_EQ(RowOf(list, L"same.txt"), -1);
    ASSERT_GE(RowOf(list, L"a.txt"), 0);
    EXPECT_EQ(ListText(list, RowOf(list, L"a.txt"), PreviewColumn::Modified),
              LocalTimeText(kOld) + L" → " + LocalTimeText(kSecond));

    const std::vector<PlannedChange> planned = sheet.Sheet().PreviewPage().Result().changes;
    sheet.PressOk();
    EXPECT_FALSE(sheet.IsOpen());
    std::vector<std::wstring> listed;
    for (const PlannedChange& change : planned) {
        listed.push_back(change.path);
        EXPECT_EQ(TimesOf(change.path)[LastWrite], change.planned[LastWrite]) << testing::PrintToString(change.path);
        if (!change.folder) {
            EXPECT_EQ(TimesOf(change.path)[LastAccess], change.planned[LastAccess]);
        }
    }
    std::vector<std::wstring> written;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (TimesOf(all[i])[LastWrite] != before[i][LastWrite])
            written.push_back(all[i]);
    }
    std::sort(listed.begin(), listed.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(listed, written);
    EXPECT_EQ(listed, (std::vector<std::wstring>{data, a, b, loose}));
    EXPECT_EQ(TimesOf(a)[LastWrite], kSecond);
}

TEST_F(PreviewUndoSheetTest, SelectionPreviewCountsOneItemInTheSingularAndFollowsTheChoices)
{
    const std::wstring changes = folder.MakeFile(L"changes.txt");
    const std::wstring stays = folder.MakeFile(L"stays.txt");
    SetTimes(changes, kOld, kOld, kOld);
    SetTimes(stays, kOld, kFirst, kOld);
    SheetDriver sheet(std::vector<std::wstring>{changes, stays});
    ASSERT_TRUE(sheet.Create());
    Choose(sheet.General(), LastAccess, OpSpecifiedDateTime);
    sheet.ShowPage(1);
    HWND page = sheet.Sheet().PreviewPage().m_hWnd;
    EXPECT_EQ(ControlText(page, IDC_PREVIEW_SUMMARY), texts->oneItem);
    HWND list = ::GetDlgItem(page, IDC_PREVIEW_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    EXPECT_EQ(ListText(list, 0, PreviewColumn::Name), L"changes.txt");

    // Other choices: worked out again when the page is shown next, not before.
    sheet.ShowPage(0);
    Choose(sheet.General(), LastAccess, OpSpecifiedDateTime, kSecond);
    EXPECT_EQ(ListView_GetItemCount(list), 1);
    sheet.ShowPage(1);
    EXPECT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_EQ(WriteAndAccess(stays), std::make_pair(kOld, kFirst));

    // Applied from the Preview page: the page shows what is left to change, which is nothing.
    sheet.PressApply();
    EXPECT_EQ(sheet.CurrentPage(), page);
    EXPECT_EQ(WriteAndAccess(stays), std::make_pair(kOld, kSecond));
    EXPECT_EQ(ListView_GetItemCount(list), 0);
    EXPECT_EQ(sheet.Sheet().PreviewPage().Result().unchanged, 2u);
    sheet.PressCancel();
}

TEST_F(PreviewUndoSheetTest, StoppedPreviewSaysSoAndIsWorkedOutAgainWhenShownNext)
{
    MakeTree();
    StandInDisplay display;
    display.cancel = true;
    SheetDriver sheet(data);
    sheet.Sheet().UseProgressDisplay(display, 0);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(display.starts, 0); // making the pages works nothing out
    ChooseLatestEntryOverChosenFiles(sheet);
    sheet.ShowPage(2);
    HWND page = sheet.Sheet().PreviewPage().m_hWnd;
    EXPECT_EQ(display.starts, 1);
    EXPECT_EQ(ControlText(page, IDC_PREVIEW_SUMMARY), texts->stopped);
    EXPECT_EQ(ListView_GetItemCount(::GetDlgItem(page, IDC_PREVIEW_LIST)), 0);

    display.cancel = false;
    sheet.ShowPage(0);
    sheet.ShowPage(2);
    EXPECT_EQ(display.starts, 2);
    EXPECT_EQ(ControlText(page, IDC_PREVIEW_SUMMARY), texts->threeItems);
    // Shown again with nothing changed: not worked out again.
    sheet.ShowPage(0);
    sheet.ShowPage(2);
    EXPECT_EQ(display.starts, 2);
    sheet.PressCancel();
    EXPECT_EQ(WriteAndAccess(a), std::make_pair(kOld, kOld));
}

TEST_F(PreviewUndoSheetTest, AnItemThePreviewCannotOpenIsListedLastWithTheReasonTheApplyWouldStopAt)
{
    const char* lockedFolder = std::getenv("CHRONSET_LOCKED_FOLDER");
    if (!lockedFolder)
        GTEST_SKIP() << "CHRONSET_LOCKED_FOLDER names the folder of an immutable file";
    const std::wstring locked = std::wstring(lockedFolder, lockedFolder + std::strlen(lockedFolder)) + L"\\locked.txt";
    const std::wstring file = folder.MakeFile(L"first.txt");
    SetTimes(file, kOld, kOld, kOld);
    const FileTimes lockedBefore = TimesOf(locked);
    SheetDriver sheet(std::vector<std::wstring>{file, locked});
    ASSERT_TRUE(sheet.Create());
    Choose(sheet.General(), LastWrite, OpSpecifiedDateTime);
    sheet.ShowPage(1);
    HWND list = ::GetDlgItem(sheet.Sheet().PreviewPage().m_hWnd, IDC_PREVIEW_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    EXPECT_EQ(ListText(list, 0, PreviewColumn::Name), L"first.txt");
    EXPECT_EQ(ListText(list, 1, PreviewColumn::Name), L"locked.txt");
    const std::wstring reason = ListText(list, 1, PreviewColumn::Created);
    EXPECT_NE(reason.find(ResultText(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED))), std::wstring::npos)
        << testing::PrintToString(reason);
    EXPECT_EQ(WriteAndAccess(file), std::make_pair(kOld, kOld));
    EXPECT_EQ(TimesOf(locked), lockedBefore);
    sheet.PressCancel();
}

TEST_F(PreviewUndoSheetTest, CancelledUndoStopsAndKeepsTheRecordSoThatUndoFinishesLater)
{
    MakeTree();
    StandInDisplay display;
    SheetDriver sheet(data);
    sheet.Sheet().UseProgressDisplay(display, 0);
    ASSERT_TRUE(sheet.Create());
    ChooseLatestEntryOverChosenFiles(sheet);
    sheet.PressApply();
    ASSERT_EQ(TimesOf(data)[LastWrite], kFirst);
    display.cancel = true;
    {
        MessageBoxCapture boxes(IDYES);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        EXPECT_EQ(boxes.Boxes().size(), 1u); // the question; a stop is not reported
    }
    EXPECT_EQ(WriteAndAccess(a).first, kFirst);
    EXPECT_EQ(TimesOf(data)[LastWrite], kFirst);
    EXPECT_TRUE(UndoEnabled(sheet));

    display.cancel = false;
    {
        MessageBoxCapture boxes(IDYES);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    EXPECT_EQ(WriteAndAccess(a), std::make_pair(kOld, kOld));
    EXPECT_EQ(WriteAndAccess(b), std::make_pair(kOld + 2, kOld + 1));
    EXPECT_EQ(TimesOf(data)[LastWrite], kOld);
    EXPECT_FALSE(UndoEnabled(sheet));
    sheet.PressCancel();
}

TEST_F(PreviewUndoSheetTest, UndoAsksThenRestoresEveryItemToTheTickAndLeavesAloneOneChangedSince)
{
    MakeTree();
    SheetDriver sheet(data);
    ASSERT_TRUE(sheet.Create());
    EXPECT_FALSE(UndoEnabled(sheet));
    ChooseLatestEntryOverChosenFiles(sheet);
    sheet.PressApply();
    ASSERT_EQ(WriteAndAccess(a), std::make_pair(kFirst, kOld));
    EXPECT_TRUE(UndoEnabled(sheet));
    // a.txt, b.txt and data; same.txt needed no write.
    ASSERT_EQ(sheet.Sheet().LastApplyRecord().Size(), 3u);

    // Another program writes b.txt after the apply.
    SetTimes(b, kSecond, kSecond, kSecond + 7);
    {
        MessageBoxCapture boxes(IDNO);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, texts->undoThree);
        EXPECT_EQ(boxes.Boxes()[0].buttons, (std::vector<int>{IDYES, IDNO}));
    }
    EXPECT_EQ(WriteAndAccess(a), std::make_pair(kFirst, kOld));
    EXPECT_TRUE(UndoEnabled(sheet));
    {
        MessageBoxCapture boxes(IDYES);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        ASSERT_EQ(boxes.Boxes().size(), 2u);
        // The end names how many were left alone and the first of them.
        EXPECT_NE(boxes.Boxes()[1].text.find(b), std::wstring::npos);
        EXPECT_EQ(boxes.Boxes()[1].text.rfind(L"1 ", 0), 0u);
    }
    EXPECT_EQ(WriteAndAccess(a), std::make_pair(kOld, kOld));
    EXPECT_EQ(WriteAndAccess(same), std::make_pair(kFirst, kOld));
    EXPECT_EQ(TimesOf(data)[LastWrite], kOld);
    EXPECT_EQ(WriteAndAccess(b), std::make_pair(kSecond + 7, kSecond));
    EXPECT_FALSE(UndoEnabled(sheet));
    EXPECT_TRUE(sheet.Sheet().LastApplyRecord().Empty());
    // The General page shows the target's times as read.
    EXPECT_EQ(sheet.General().value[LastWrite], kOld);
    EXPECT_EQ(PickerValue(sheet.GeneralWindow(), IDC_MODIFIED_VALUE), kOld - kOld % TicksPerSecond);
    sheet.PressCancel();
}

// Applied from the Preview page, which then lists the folder again to show what is left:
// reading a folder moves its access time (Linux does so on the first listing after a write),
// which is no write by another program and must not keep the folder from being put back.
TEST_F(PreviewUndoSheetTest, UndoAfterAnApplyFromThePreviewPagePutsTheFolderBackToo)
{
    MakeTree();
    const FileTimes dataBefore = TimesOf(data);
    SheetDriver sheet(data);
    ASSERT_TRUE(sheet.Create());
    ChooseLatestEntryOverChosenFiles(sheet);
    sheet.ShowPage(2);
    sheet.PressApply();
    ASSERT_EQ(TimesOf(data)[LastWrite], kFirst);
    EXPECT_EQ(ListView_GetItemCount(::GetDlgItem(sheet.Sheet().PreviewPage().m_hWnd, IDC_PREVIEW_LIST)), 0);
    sheet.ShowPage(0);
    {
        MessageBoxCapture boxes(IDYES);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        EXPECT_EQ(boxes.Boxes().size(), 1u); // the question; nothing was left alone
    }
    EXPECT_EQ(TimesOf(data)[LastWrite], dataBefore[LastWrite]);
    EXPECT_EQ(WriteAndAccess(a), std::make_pair(kOld, kOld));
    EXPECT_EQ(WriteAndAccess(b), std::make_pair(kOld + 2, kOld + 1));
    EXPECT_FALSE(UndoEnabled(sheet));
    sheet.PressCancel();
}

TEST_F(PreviewUndoSheetTest, UndoOfOneItemAsksInTheSingularAndAnApplyWritingNothingLeavesUndoOff)
{
    const std::wstring file = folder.MakeFile(L"one.txt");
    SetTimes(file, kOld, kOld, kOld);
    SheetDriver sheet(file);
    ASSERT_TRUE(sheet.Create());
    Choose(sheet.General(), LastWrite, OpSpecifiedDateTime);
    sheet.PressApply();
    ASSERT_TRUE(UndoEnabled(sheet));
    {
        MessageBoxCapture boxes(IDYES);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, texts->undoOne);
    }
    EXPECT_EQ(WriteAndAccess(file), std::make_pair(kOld, kOld));
    EXPECT_FALSE(UndoEnabled(sheet));

    // The undo showed the times read; the value chosen again is the one the file has now, so
    // nothing changes and there is nothing to undo.
    EXPECT_EQ(sheet.General().value[LastWrite], kOld);
    SetTimes(file, kFirst, kOld, kFirst);
    Choose(sheet.General(), LastWrite, OpSpecifiedDateTime);
    sheet.PressApply();
    EXPECT_FALSE(UndoEnabled(sheet));
    sheet.PressCancel();
}

TEST_F(PreviewUndoSheetTest, AnItemThatCannotBeWrittenStopsTheUndoWithItsNameAndUndoStaysOffered)
{
    const std::wstring first = folder.MakeFile(L"first.txt");
    const std::wstring gone = folder.MakeFile(L"gone.txt");
    const std::wstring last = folder.MakeFile(L"last.txt");
    for (const std::wstring& item : {first, gone, last})
        SetTimes(item, kOld, kOld, kOld);
    SheetDriver sheet(std::vector<std::wstring>{first, gone, last});
    ASSERT_TRUE(sheet.Create());
    Choose(sheet.General(), LastWrite, OpSpecifiedDateTime);
    sheet.PressApply();
    ASSERT_EQ(sheet.Sheet().LastApplyRecord().Size(), 3u);
    // The item cannot be opened to be written any more.
    ASSERT_TRUE(::DeleteFileW(ItemPath(gone).c_str()));
    {
        MessageBoxCapture boxes(IDYES);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        ASSERT_EQ(boxes.Boxes().size(), 2u);
        EXPECT_EQ(boxes.Boxes()[1].text, ResultText(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) + L"\n" + gone);
    }
    EXPECT_EQ(WriteAndAccess(first), std::make_pair(kOld, kOld));
    EXPECT_EQ(WriteAndAccess(last), std::make_pair(kFirst, kOld)); // after the stop, nothing more
    EXPECT_TRUE(UndoEnabled(sheet));
    sheet.PressCancel();
}

} // namespace
