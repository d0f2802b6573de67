#include "pages/AdvancedPage.h"
#include "pages/GeneralPage.h"
#include "ui/SpanBox.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
    int combo;
    int picker;
    int box;
};

constexpr Row kRows[TimestampKindCount] = {
    {IDC_CREATED_OPERATION, IDC_CREATED_VALUE, IDC_CREATED_SPAN},
    {IDC_ACCESSED_OPERATION, IDC_ACCESSED_VALUE, IDC_ACCESSED_SPAN},
    {IDC_MODIFIED_OPERATION, IDC_MODIFIED_VALUE, IDC_MODIFIED_SPAN},
};

const Expected<const wchar_t*> kShiftTexts[] = {
    {L"en", L"Shift by the specified time span"},
    {L"ja", L"指定した時間だけずらす"},
};

const Expected<SpanLanguage> kSpanLanguages[] = {
    {L"en", SpanLanguage::English},
    {L"ja", SpanLanguage::Japanese},
};

bool Enabled(HWND page, int id)
{
    return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE;
}

// The text the user types, as the edit control reports it.
void TypeSpan(HWND page, int boxId, const wchar_t* text)
{
    HWND box = ::GetDlgItem(page, boxId);
    ::SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    ::SetWindowTextW(box, text);
}

// The canonical form the box shows for typed text once it is left.
std::wstring Canonical(const wchar_t* typed)
{
    const std::optional<TimeSpan> span = ParseTimeSpan(typed);
    EXPECT_TRUE(span.has_value()) << "the test's span does not read";
    return span ? FormatTimeSpan(*span, UserSpanLanguage()) : std::wstring();
}

// Entry `index` of every row: the code the page stores once it is chosen, and the entry's text
// unless the rows' texts differ (empty).
void ExpectEntryStores(SheetDriver& open, HWND page, HandlingRecord& record, int index, TimestampOperation code,
                       const std::wstring& text)
{
    SCOPED_TRACE(testing::Message() << "entry " << index);
    for (const Row& row : kRows) {
        SelectOperation(page, row.combo, index);
        if (!text.empty()) {
            EXPECT_EQ(OperationText(page, row.combo, index), text);
        }
    }
    open.ShowPage(page == open.GeneralWindow() ? 1 : 0);
    ASSERT_NE(open.CurrentPage(), page);
    for (int k = 0; k < TimestampKindCount; ++k)
        EXPECT_EQ(record.operation[k], code) << k;
    open.ShowPage(page == open.GeneralWindow() ? 0 : 1);
    ASSERT_EQ(open.CurrentPage(), page);
}

class SpanBoxTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(boxes.Boxes().empty()) << "unexpected message box"; }

    TempFolder temp;
    MessageBoxCapture boxes;
};

using GeneralPageSpanTest = SpanBoxTest;
using AdvancedPageSpanTest = SpanBoxTest;

TEST_F(GeneralPageSpanTest, EveryRowOffersTheShiftAndAFileLacksOnlyTheFolderEntries)
{
    std::wstring shift;
    if (const wchar_t* const* text = ForRunLanguage(kShiftTexts))
        shift = *text;

    const std::wstring folder = temp.MakeFolder(L"walk");
    SheetDriver folderSheet(folder);
    ASSERT_TRUE(folderSheet.Create());
    HWND page = folderSheet.GeneralWindow();
    for (const Row& row : kRows)
        EXPECT_EQ(OperationCount(page, row.combo), 11) << row.combo;
    ExpectEntryStores(folderSheet, page, folderSheet.General(), 10, OpShiftBySpan, shift);
    ExpectEntryStores(folderSheet, page, folderSheet.General(), 9, OpLatestEntry,
                      OperationText(page, IDC_CREATED_OPERATION, 9));
    ExpectEntryStores(folderSheet, page, folderSheet.General(), 7, OpSameAsSecondOther, L"");

    const std::wstring file = temp.MakeFile(L"one.txt");
    SheetDriver fileSheet(file);
    ASSERT_TRUE(fileSheet.Create());
    page = fileSheet.GeneralWindow();
    // The folder entries give way to the date taken, which follows the shift.
    for (const Row& row : kRows)
        EXPECT_EQ(OperationCount(page, row.combo), 10) << row.combo;
    // Without a second page to go to, the record takes the rows when asked.
    for (const Row& row : kRows)
        SelectOperation(page, row.combo, 9);
    ASSERT_TRUE(fileSheet.General().ExchangeData(true));
    for (int k = 0; k < TimestampKindCount; ++k)
        EXPECT_EQ(fileSheet.General().operation[k], OpDateTaken) << k;
    for (const Row& row : kRows)
        SelectOperation(page, row.combo, 8);
    ASSERT_TRUE(fileSheet.General().ExchangeData(true));
    for (int k = 0; k < TimestampKindCount; ++k) {
        EXPECT_EQ(fileSheet.General().operation[k], OpShiftBySpan) << k;
        EXPECT_EQ(OperationText(page, kRows[k].combo, 8), shift);
    }
    for (const Row& row : kRows)
        SelectOperation(page, row.combo, 7);
    ASSERT_TRUE(fileSheet.General().ExchangeData(true));
    EXPECT_EQ(fileSheet.General().operation[LastWrite], OpSameAsSecondOther);

    // And back: the record's codes choose their entries.
    for (TimestampOperation& operation : fileSheet.General().operation)
        operation = OpShiftBySpan;
    EXPECT_TRUE(fileSheet.General().ExchangeData(false));
    for (const Row& row : kRows)
        EXPECT_EQ(SelectedOperation(page, row.combo), 8);
    for (TimestampOperation& operation : folderSheet.General().operation)
        operation = OpShiftBySpan;
    EXPECT_TRUE(folderSheet.General().ExchangeData(false));
    for (const Row& row : kRows)
        EXPECT_EQ(SelectedOperation(folderSheet.GeneralWindow(), row.combo), 10);
}

TEST_F(AdvancedPageSpanTest, EveryRowOffersTheShiftAndTheDateTakenWithoutTheFolderEntries)
{
    std::wstring shift;
    if (const wchar_t* const* text = ForRunLanguage(kShiftTexts))
        shift = *text;
    const std::wstring folder = temp.MakeFolder(L"files");
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    open.ShowPage(1);
    HWND page = open.AdvancedWindow();
    ASSERT_EQ(open.CurrentPage(), page);
    // The rows reach the walk's files: the date taken follows the shift.
    for (const Row& row : kRows)
        EXPECT_EQ(OperationCount(page, row.combo), 10) << row.combo;
    ExpectEntryStores(open, page, open.Advanced(), 9, OpDateTaken, L"");
    ExpectEntryStores(open, page, open.Advanced(), 8, OpShiftBySpan, shift);
    ExpectEntryStores(open, page, open.Advanced(), 6, OpSameAsFirstOther, L"");

    for (TimestampOperation& operation : open.Advanced().operation)
        operation = OpShiftBySpan;
    EXPECT_TRUE(open.Advanced().ExchangeRows(false));
    for (const Row& row : kRows)
        EXPECT_EQ(SelectedOperation(page, row.combo), 8);
}

TEST_F(GeneralPageSpanTest, ChoosingTheShiftPutsTheSpanBoxInThePickersPlace)
{
    const std::wstring file = temp.MakeFile(L"swap.txt");
    SheetDriver open(file);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
    ASSERT_FALSE(open.ApplyEnabled());
    for (const Row& row : kRows) {
        EXPECT_FALSE(Visible(page, row.box));
        EXPECT_FALSE(Enabled(page, row.box));
        EXPECT_TRUE(Visible(page, row.picker));
    }
    RECT pickerPlace{};
    RECT boxPlace{};
    ::GetWindowRect(::GetDlgItem(page, IDC_MODIFIED_VALUE), &pickerPlace);
    ::GetWindowRect(::GetDlgItem(page, IDC_MODIFIED_SPAN), &boxPlace);
    EXPECT_TRUE(::EqualRect(&pickerPlace, &boxPlace));

    HWND combo = ::GetDlgItem(page, IDC_MODIFIED_OPERATION);
    HWND box = ::GetDlgItem(page, IDC_MODIFIED_SPAN);
    HWND picker = ::GetDlgItem(page, IDC_MODIFIED_VALUE);
    SelectOperation(page, IDC_MODIFIED_OPERATION, 8);
    EXPECT_TRUE(Visible(page, IDC_MODIFIED_SPAN));
    EXPECT_TRUE(Enabled(page, IDC_MODIFIED_SPAN));
    EXPECT_FALSE(Visible(page, IDC_MODIFIED_VALUE));
    EXPECT_EQ(::GetNextDlgTabItem(page, combo, FALSE), box);
    EXPECT_EQ(::GetNextDlgTabItem(page, box, TRUE), combo);
    EXPECT_TRUE(open.ApplyEnabled());
    // The other rows keep their pickers.
    EXPECT_TRUE(Visible(page, IDC_CREATED_VALUE));
    EXPECT_FALSE(Visible(page, IDC_CREATED_SPAN));

    SelectOperation(page, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
    EXPECT_FALSE(Visible(page, IDC_MODIFIED_SPAN));
    EXPECT_FALSE(Enabled(page, IDC_MODIFIED_SPAN));
    EXPECT_TRUE(Visible(page, IDC_MODIFIED_VALUE));
    EXPECT_TRUE(Enabled(page, IDC_MODIFIED_VALUE));
    EXPECT_EQ(::GetNextDlgTabItem(page, combo, FALSE), picker);

    SelectOperation(page, IDC_MODIFIED_OPERATION, 8);
    SelectOperation(page, IDC_MODIFIED_OPERATION, OpMidnight);
    EXPECT_FALSE(Visible(page, IDC_MODIFIED_SPAN));
    EXPECT_TRUE(Visible(page, IDC_MODIFIED_VALUE));
    EXPECT_FALSE(Enabled(page, IDC_MODIFIED_VALUE));
}

TEST_F(GeneralPageSpanTest, ATypedSpanIsShownInTheUsersFormAndSurvivesLeavingThePage)
{
    if (const SpanLanguage* language = ForRunLanguage(kSpanLanguages)) {
        EXPECT_EQ(UserSpanLanguage(), *language);
    }
    const std::wstring folder = temp.MakeFolder(L"keep");
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    // The record's span fills the box at the start, which is no change of the user's.
    EXPECT_EQ(ControlText(page, IDC_ACCESSED_SPAN), FormatTimeSpan(TimeSpan{}, UserSpanLanguage()));
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(open.AdvancedWindow()), 0);
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);

    SelectOperation(page, IDC_ACCESSED_OPERATION, 10);
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
    ASSERT_FALSE(open.ApplyEnabled());
    TypeSpan(page, IDC_ACCESSED_SPAN, L"90 min");
    EXPECT_TRUE(open.ApplyEnabled());
    EXPECT_EQ(ControlText(page, IDC_ACCESSED_SPAN), L"90 min");
    ::SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(page, IDC_MODIFIED_OPERATION)), TRUE);
    EXPECT_EQ(ControlText(page, IDC_ACCESSED_SPAN), Canonical(L"90 min"));
    EXPECT_TRUE(open.General().span[LastAccess].IsZero()); // stored when the page is left

    open.ShowPage(1);
    ASSERT_EQ(open.CurrentPage(), open.AdvancedWindow());
    EXPECT_EQ(open.General().operation[LastAccess], OpShiftBySpan);
    EXPECT_EQ(open.General().span[LastAccess], ParseTimeSpan(L"90 min"));
    open.ShowPage(0);
    ASSERT_EQ(open.CurrentPage(), page);
    EXPECT_EQ(SelectedOperation(page, IDC_ACCESSED_OPERATION), 10);
    EXPECT_TRUE(Visible(page, IDC_ACCESSED_SPAN));
    EXPECT_EQ(ControlText(page, IDC_ACCESSED_SPAN), Canonical(L"90 min"));

    // A span typed but not stored is kept when a button fills every row.
    TypeSpan(page, IDC_ACCESSED_SPAN, L"-2:15");
    Click(page, IDC_CURRENT_DATE_TIME);
    EXPECT_EQ(open.General().span[LastAccess], ParseTimeSpan(L"-2:15"));
    EXPECT_EQ(ControlText(page, IDC_ACCESSED_SPAN), Canonical(L"-2:15"));
    EXPECT_FALSE(Visible(page, IDC_ACCESSED_SPAN));

    // The record's span, filled in again, shows in the canonical form.
    open.General().operation[Creation] = OpShiftBySpan;
    open.General().span[Creation] = *ParseTimeSpan(L"3 h");
    EXPECT_TRUE(open.General().ExchangeData(false));
    EXPECT_EQ(ControlText(page, IDC_CREATED_SPAN), Canonical(L"3 h"));
    EXPECT_TRUE(Visible(page, IDC_CREATED_SPAN));
    EXPECT_FALSE(Visible(page, IDC_CREATED_VALUE));
}

TEST_F(GeneralPageSpanTest, TextThatNamesNoSpanKeepsTheUserOnThePage)
{
    const std::wstring folder = temp.MakeFolder(L"bad");
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    HWND box = ::GetDlgItem(page, IDC_MODIFIED_SPAN);
    SelectOperation(page, IDC_MODIFIED_OPERATION, 10);
    TypeSpan(page, IDC_MODIFIED_SPAN, L"a while");
    // Leaving the box keeps the text as typed: the user sees what to correct.
    ::SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(page, IDC_CREATED_OPERATION)), TRUE);
    EXPECT_EQ(ControlText(page, IDC_MODIFIED_SPAN), L"a while");

    open.ShowPage(1);
    EXPECT_EQ(open.CurrentPage(), page);
    EXPECT_EQ(::GetFocus(), box);
    EXPECT_EQ(open.General().operation[LastWrite], OpShiftBySpan);
    open.PressApply();
    EXPECT_EQ(open.CurrentPage(), page);
    EXPECT_TRUE(open.ApplyEnabled()); // nothing was applied

    // The same text does not count while the row does something else.
    SelectOperation(page, IDC_MODIFIED_OPERATION, OpMidnight);
    open.ShowPage(1);
    EXPECT_EQ(open.CurrentPage(), open.AdvancedWindow());
    open.ShowPage(0);
    SelectOperation(page, IDC_MODIFIED_OPERATION, 10);
    TypeSpan(page, IDC_MODIFIED_SPAN, L"1:30");
    open.ShowPage(1);
    EXPECT_EQ(open.CurrentPage(), open.AdvancedWindow());
    EXPECT_EQ(open.General().span[LastWrite], ParseTimeSpan(L"1:30"));
}

TEST_F(AdvancedPageSpanTest, TheSpanBoxWorksOnTheAdvancedPageAsOnTheGeneralPage)
{
    const std::wstring folder = temp.MakeFolder(L"inside");
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    open.ShowPage(1);
    HWND page = open.AdvancedWindow();
    ASSERT_EQ(open.CurrentPage(), page);
    SelectOperation(page, IDC_CREATED_OPERATION, 8);
    EXPECT_TRUE(Visible(page, IDC_CREATED_SPAN));
    EXPECT_FALSE(Visible(page, IDC_CREATED_VALUE));
    EXPECT_EQ(::GetNextDlgTabItem(page, ::GetDlgItem(page, IDC_CREATED_OPERATION), FALSE),
              ::GetDlgItem(page, IDC_CREATED_SPAN));
    TypeSpan(page, IDC_CREATED_SPAN, L"later");
    open.ShowPage(0);
    EXPECT_EQ(open.CurrentPage(), page);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, IDC_CREATED_SPAN));
    TypeSpan(page, IDC_CREATED_SPAN, L"2 h");
    open.ShowPage(0);
    EXPECT_EQ(open.CurrentPage(), open.GeneralWindow());
    EXPECT_EQ(open.Advanced().operation[Creation], OpShiftBySpan);
    EXPECT_EQ(open.Advanced().span[Creation], ParseTimeSpan(L"2 h"));
    EXPECT_TRUE(open.General().span[Creation].IsZero());
}

} // namespace
