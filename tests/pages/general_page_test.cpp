#include "pages/GeneralPage.h"
#include "ui/PageControls.h"
#include "tests/pages/PagesTestSupport.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

namespace {

constexpr int kCombos[] = {IDC_CREATED_OPERATION, IDC_ACCESSED_OPERATION, IDC_MODIFIED_OPERATION};
constexpr int kPickers[] = {IDC_CREATED_VALUE, IDC_ACCESSED_VALUE, IDC_MODIFIED_VALUE};

// Entries of the operation boxes in the interface's language.
struct OperationTexts {
    const wchar_t* dontChange;
    const wchar_t* sameAsAccess;
    const wchar_t* sameAsModification;
    const wchar_t* sameAsEarliest;
    const wchar_t* sameAsLatest;
    const wchar_t* dateTaken;
};

const Expected<OperationTexts> kOperationTexts[] = {
    {L"en",
     {L"Don't change", L"Set the same as the access time", L"Set the same as the modification time",
      L"Set the same as the earliest file/subfolder", L"Set the same as the latest file/subfolder",
      L"Set the same as the date taken"}},
    {L"ja",
     {L"変更しない", L"アクセス日時と同じにする", L"更新日時と同じにする", L"フォルダー内の最も古い日時にする",
      L"フォルダー内の最も新しい日時にする", L"撮影日時と同じにする"}},
};

class GeneralPageTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(boxes.Boxes().empty()) << "unexpected message box"; }

    TempFolder temp;
    MessageBoxCapture boxes;
    // Old times with parts below the second, which the pickers do not show.
    const FileTime oldWrite = UtcTime(2021, 6, 15, 10, 20, 30, 456) + 7;
    const FileTime oldAccess = UtcTime(2022, 11, 20, 22, 45, 50, 123) + 3;
};

TEST_F(GeneralPageTest, FileSheetShowsTheItemAndTenOperationsPerRow)
{
    const std::wstring file = temp.MakeFile(L"a.txt");
    SetTimes(file, oldWrite, oldAccess, oldWrite);
    const FileTimes times = TimesOf(file);
    SheetDriver open(file);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    ASSERT_TRUE(page);

    for (int k = 0; k < TimestampKindCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(OperationCount(page, kCombos[k]), 10);
        // The date taken comes last, after the shift, and carries its code.
        EXPECT_EQ(::SendDlgItemMessageW(page, kCombos[k], CB_GETITEMDATA, 9, 0), OpDateTaken);
        EXPECT_EQ(SelectedOperation(page, kCombos[k]), 0);
        EXPECT_FALSE(PickerEnabled(page, kPickers[k]));
        EXPECT_EQ(PickerValue(page, kPickers[k]), WholeSeconds(times[k]));
    }
    if (const OperationTexts* texts = ForRunLanguage(kOperationTexts)) {
        EXPECT_EQ(OperationText(page, IDC_CREATED_OPERATION, 0), texts->dontChange);
        EXPECT_EQ(OperationText(page, IDC_CREATED_OPERATION, 7), texts->sameAsAccess);
        EXPECT_EQ(OperationText(page, IDC_MODIFIED_OPERATION, 7), texts->sameAsAccess);
        EXPECT_EQ(OperationText(page, IDC_ACCESSED_OPERATION, 7), texts->sameAsModification);
        EXPECT_EQ(OperationText(page, IDC_MODIFIED_OPERATION, 9), texts->dateTaken);
    }
    for (int id : {IDC_RECURSIVE, IDC_EXCLUDE_SYSTEM, IDC_EXCLUDE_HIDDEN})
        EXPECT_FALSE(Visible(page, id)) << id;

    EXPECT_EQ(ControlText(::GetDlgItem(page, IDC_DISPLAY_NAME)), L"a.txt");
    EXPECT_EQ(ControlText(::GetDlgItem(page, IDC_LOCATION)), temp.Path());
    EXPECT_EQ(ControlText(::GetDlgItem(page, IDC_TYPE_NAME)), open.General().typeName);
    EXPECT_FALSE(open.General().typeName.empty());
    EXPECT_TRUE(open.General().icon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendDlgItemMessageW(page, IDC_ITEM_ICON, STM_GETICON, 0, 0)),
              open.General().icon);
    EXPECT_FALSE(open.ApplyEnabled());

    // The sheet has no owner: it stands in the middle of the work area.
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    RECT sheet{};
    ::GetWindowRect(open.Window(), &sheet);
    const LONG width = sheet.right - sheet.left;
    const LONG height = sheet.bottom - sheet.top;
    EXPECT_EQ(sheet.left, (work.left + work.right) / 2 - width / 2);
    EXPECT_EQ(sheet.top, (work.top + work.bottom) / 2 - height / 2);
}

// Expected new times of the Modified and Accessed rows (the two times Wine stores).
struct OperationCase {
    TimestampOperation operation;
    FileTime lastWrite;
    FileTime lastAccess;
};

TEST_F(GeneralPageTest, EveryOperationChosenOnTheControlsIsAppliedToTheFile)
{
    const FileTime pickedWrite = UtcTime(2024, 1, 31, 12, 34, 56);
    const FileTime pickedAccess = UtcTime(2019, 8, 1, 6, 7, 8);
    const FileTime pickedCreation = UtcTime(2018, 2, 3, 4, 5, 6);
    // A picker reading of 08:00:15 local on another day gives the old days that time of day.
    const FileTime timeOfDay = LocalTime(2000, 5, 5, 8, 0, 15);
    SYSTEMTIME writeDay = LocalCalendar(oldWrite);
    SYSTEMTIME accessDay = LocalCalendar(oldAccess);

    const OperationCase cases[] = {
        {OpDontChange, oldWrite, oldAccess},
        {OpSpecifiedDateTime, pickedWrite, pickedAccess},
        {OpSpecifiedTimeOfDay, LocalTime(writeDay.wYear, writeDay.wMonth, writeDay.wDay, 8, 0, 15),
         LocalTime(accessDay.wYear, accessDay.wMonth, accessDay.wDay, 8, 0, 15)},
        {OpCurrentDateTime, 0, 0}, // checked against the moment of the apply
        {OpMidnight, LocalTime(writeDay.wYear, writeDay.wMonth, writeDay.wDay, 0, 0, 0),
         LocalTime(accessDay.wYear, accessDay.wMonth, accessDay.wDay, 0, 0, 0)},
        {OpSecondToZero, oldWrite - oldWrite % TicksPerMinute, oldAccess - oldAccess % TicksPerMinute},
        // Same as the creation time, whose row sets a date of its own.
        {OpSameAsFirstOther, pickedCreation, pickedCreation},
        // Modified takes the access time and Accessed the modification time: they swap.
        {OpSameAsSecondOther, oldAccess, oldWrite},
    };

    for (const OperationCase& c : cases) {
        SCOPED_TRACE(c.operation);
        const std::wstring file = temp.MakeFile((L"op" + std::to_wstring(c.operation) + L".txt").c_str());
        SetTimes(file, oldWrite, oldAccess, oldWrite);
        SheetDriver open(file);
        ASSERT_TRUE(open.Create());
        HWND page = open.GeneralWindow();
        ASSERT_TRUE(page);

        SelectOperation(page, IDC_MODIFIED_OPERATION, c.operation);
        SelectOperation(page, IDC_ACCESSED_OPERATION, c.operation);
        const bool readsPicker = c.operation == OpSpecifiedDateTime || c.operation == OpSpecifiedTimeOfDay;
        EXPECT_EQ(PickerEnabled(page, IDC_MODIFIED_VALUE), readsPicker);
        EXPECT_EQ(PickerEnabled(page, IDC_ACCESSED_VALUE), readsPicker);
        EXPECT_EQ(open.ApplyEnabled(), true);
        if (c.operation == OpSpecifiedDateTime) {
            EditPicker(page, IDC_MODIFIED_VALUE, pickedWrite);
            EditPicker(page, IDC_ACCESSED_VALUE, pickedAccess);
        } else if (c.operation == OpSpecifiedTimeOfDay) {
            EditPicker(page, IDC_MODIFIED_VALUE, timeOfDay);
            EditPicker(page, IDC_ACCESSED_VALUE, timeOfDay);
        } else if (c.operation == OpSameAsFirstOther) {
            SelectOperation(page, IDC_CREATED_OPERATION, OpSpecifiedDateTime);
            EditPicker(page, IDC_CREATED_VALUE, pickedCreation);
        }
        // Choosing enables Apply; the record takes the choice only when the page is left.
        EXPECT_EQ(open.General().operation[LastWrite], OpDontChange);

        const FileTime before = CurrentFileTime();
        open.PressApply();
        const FileTime after = CurrentFileTime();

        const FileTimes stored = TimesOf(file);
        if (c.operation == OpCurrentDateTime) {
            EXPECT_GE(stored[LastWrite], before);
            EXPECT_LE(stored[LastWrite], after);
            EXPECT_EQ(stored[LastWrite] % TicksPerSecond, 0u);
            EXPECT_EQ(stored[LastAccess], stored[LastWrite]); // one time for the whole apply
        } else {
            EXPECT_EQ(stored[LastWrite], c.lastWrite);
            EXPECT_EQ(stored[LastAccess], c.lastAccess);
        }
        EXPECT_EQ(open.General().operation[LastWrite], c.operation);
        EXPECT_EQ(open.General().operation[LastAccess], c.operation);

        // Afterwards: the times read back, in whole seconds; the choices stay; Apply is off.
        EXPECT_FALSE(open.ApplyEnabled());
        EXPECT_EQ(PickerValue(page, IDC_MODIFIED_VALUE), WholeSeconds(stored[LastWrite]));
        EXPECT_EQ(PickerValue(page, IDC_ACCESSED_VALUE), WholeSeconds(stored[LastAccess]));
        EXPECT_EQ(SelectedOperation(page, IDC_MODIFIED_OPERATION), c.operation);
        EXPECT_EQ(PickerEnabled(page, IDC_MODIFIED_VALUE), readsPicker);
    }
}

TEST_F(GeneralPageTest, TypedTimestampsInEveryAcceptedFormReachTheFile)
{
    const std::wstring file = temp.MakeFile(L"typed.txt");
    SheetDriver open(file);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    SelectOperation(page, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
    SelectOperation(page, IDC_ACCESSED_OPERATION, OpSpecifiedDateTime);
    SelectOperation(page, IDC_CREATED_OPERATION, OpSpecifiedDateTime);

    // ISO 8601, set as the picker's text.
    ::SendDlgItemMessageW(page, IDC_MODIFIED_VALUE, WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(L"2024-01-31T12:34:56+01:00"));
    EXPECT_EQ(PickerValue(page, IDC_MODIFIED_VALUE), UtcTime(2024, 1, 31, 11, 34, 56));
    // The locale's own form, typed by the user: a local time.
    TypeIntoPicker(page, IDC_ACCESSED_VALUE, L"2023/07/04 05:06:07");
    EXPECT_EQ(PickerValue(page, IDC_ACCESSED_VALUE), LocalTime(2023, 7, 4, 5, 6, 7));
    // An HTTP date.
    TypeIntoPicker(page, IDC_CREATED_VALUE, L"Tue, 15 Nov 1994 08:12:31 GMT");
    EXPECT_EQ(PickerValue(page, IDC_CREATED_VALUE), UtcTime(1994, 11, 15, 8, 12, 31));
    // Text nobody reads leaves the picker as it was.
    TypeIntoPicker(page, IDC_CREATED_VALUE, L"yesterday-ish");
    EXPECT_EQ(PickerValue(page, IDC_CREATED_VALUE), UtcTime(1994, 11, 15, 8, 12, 31));

    open.PressApply();
    const FileTimes stored = TimesOf(file);
    EXPECT_EQ(stored[LastWrite], UtcTime(2024, 1, 31, 11, 34, 56));
    EXPECT_EQ(stored[LastAccess], LocalTime(2023, 7, 4, 5, 6, 7));
    EXPECT_EQ(open.General().operation[Creation], OpSpecifiedDateTime);
}

TEST_F(GeneralPageTest, ARowWritesTheExactValueItWasGivenUntilThePickerChanges)
{
    // 01:30 on the day New York's clock goes back, once in summer time and once in winter
    // time, each with ticks below the second that no picker shows. Elsewhere these are plain
    // times with ticks.
    const FileTime summer = UtcTime(2024, 11, 3, 5, 30, 0, 250) + 1234;
    const FileTime winter = UtcTime(2024, 11, 3, 6, 30, 0, 750) + 5678;
    if (RunZone() == L"America/New_York") {
        const SYSTEMTIME first = LocalCalendar(summer);
        const SYSTEMTIME second = LocalCalendar(winter);
        ASSERT_EQ(first.wHour, 1);
        ASSERT_EQ(second.wHour, 1);
        ASSERT_EQ(first.wMinute, second.wMinute);
    }

    // The item's own times, chosen as "the specified date and time" and written unchanged.
    const std::wstring own = temp.MakeFile(L"own.txt");
    SetTimes(own, winter, summer, winter);
    {
        SheetDriver open(own);
        ASSERT_TRUE(open.Create());
        HWND page = open.GeneralWindow();
        SelectOperation(page, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
        SelectOperation(page, IDC_ACCESSED_OPERATION, OpSpecifiedDateTime);
        open.PressOk();
        EXPECT_FALSE(open.IsOpen());
    }
    FileTimes stored = TimesOf(own);
    EXPECT_EQ(stored[LastWrite], winter);
    EXPECT_EQ(stored[LastAccess], summer);

    // A typed date with its offset; and a picker the user changes, which writes its reading.
    const std::wstring typed = temp.MakeFile(L"typed.txt");
    SetTimes(typed, oldWrite, oldAccess, oldWrite);
    {
        SheetDriver open(typed);
        ASSERT_TRUE(open.Create());
        HWND page = open.GeneralWindow();
        SelectOperation(page, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
        SelectOperation(page, IDC_ACCESSED_OPERATION, OpSpecifiedDateTime);
        ::SendDlgItemMessageW(page, IDC_MODIFIED_VALUE, WM_SETTEXT, 0,
                              reinterpret_cast<LPARAM>(L"2024-11-03T01:30:00-05:00"));
        EditPicker(page, IDC_ACCESSED_VALUE, UtcTime(2024, 11, 3, 12, 0, 0));
        open.PressOk();
    }
    stored = TimesOf(typed);
    EXPECT_EQ(stored[LastWrite], UtcTime(2024, 11, 3, 6, 30, 0));
    EXPECT_EQ(stored[LastAccess], UtcTime(2024, 11, 3, 12, 0, 0));
}

TEST_F(GeneralPageTest, ChoosingDontChangeAgainDisablesThePickerAndKeepsItsValue)
{
    const std::wstring file = temp.MakeFile(L"d.txt");
    SheetDriver open(file);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    SelectOperation(page, IDC_ACCESSED_OPERATION, OpSpecifiedTimeOfDay);
    EXPECT_TRUE(PickerEnabled(page, IDC_ACCESSED_VALUE));
    EXPECT_FALSE(PickerEnabled(page, IDC_MODIFIED_VALUE));
    EditPicker(page, IDC_ACCESSED_VALUE, UtcTime(2015, 5, 5, 5, 5, 5));
    SelectOperation(page, IDC_ACCESSED_OPERATION, OpDontChange);
    EXPECT_FALSE(PickerEnabled(page, IDC_ACCESSED_VALUE));
    EXPECT_EQ(PickerValue(page, IDC_ACCESSED_VALUE), UtcTime(2015, 5, 5, 5, 5, 5));
    EXPECT_TRUE(open.ApplyEnabled());
}

TEST_F(GeneralPageTest, FolderSheetOffersElevenOperationsAndTheWalkOptions)
{
    const std::wstring folder = temp.MakeFolder(L"data");
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    // A folder has no date taken: its rows end with the shift.
    for (int id : kCombos) {
        EXPECT_EQ(OperationCount(page, id), 11) << id;
        EXPECT_EQ(::SendDlgItemMessageW(page, id, CB_GETITEMDATA, 10, 0), OpShiftBySpan) << id;
    }
    if (const OperationTexts* texts = ForRunLanguage(kOperationTexts)) {
        EXPECT_EQ(OperationText(page, IDC_MODIFIED_OPERATION, 8), texts->sameAsEarliest);
        EXPECT_EQ(OperationText(page, IDC_MODIFIED_OPERATION, 9), texts->sameAsLatest);
    }
    EXPECT_TRUE(Visible(page, IDC_RECURSIVE));
    EXPECT_TRUE(Visible(page, IDC_EXCLUDE_HIDDEN));
    EXPECT_FALSE(Visible(page, IDC_EXCLUDE_SYSTEM));
    EXPECT_FALSE(Checked(page, IDC_RECURSIVE));
    EXPECT_TRUE(Checked(page, IDC_EXCLUDE_HIDDEN));
    EXPECT_FALSE(Checked(page, IDC_EXCLUDE_SYSTEM));
    EXPECT_EQ(ControlText(::GetDlgItem(page, IDC_LOCATION)), temp.Path());

    // A click on an option enables Apply; the member follows when the page is left.
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(open.AdvancedWindow()), 0);
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
    ASSERT_FALSE(open.ApplyEnabled());
    Click(page, IDC_RECURSIVE);
    EXPECT_TRUE(Checked(page, IDC_RECURSIVE));
    EXPECT_TRUE(open.ApplyEnabled());
    EXPECT_FALSE(open.General().recursive);
    Click(page, IDC_EXCLUDE_HIDDEN);
    open.ShowPage(1);
    EXPECT_EQ(open.CurrentPage(), open.AdvancedWindow());
    EXPECT_TRUE(open.General().recursive);
    EXPECT_FALSE(open.General().excludeHidden);
    EXPECT_FALSE(open.General().excludeSystem);

    // The hidden option is exchanged like the others.
    open.General().excludeSystem = true;
    open.General().ExchangeData(false);
    EXPECT_TRUE(Checked(page, IDC_EXCLUDE_SYSTEM));
}

TEST_F(GeneralPageTest, UnreadablePickerKeepsTheUserOnThePageAndStopsTheApply)
{
    const std::wstring folder = temp.MakeFolder(L"stay");
    SetTimes(folder, oldWrite, oldAccess, oldWrite);
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    SelectOperation(page, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
    SelectOperation(page, IDC_CREATED_OPERATION, OpMidnight);
    EditPicker(page, IDC_ACCESSED_VALUE, UtcTime(2012, 12, 12, 12, 12, 12));
    Click(page, IDC_RECURSIVE);

    // Wine's picker holds no date that fails to convert, so the control is made to report
    // that it has no readable value, as Windows' picker can for a date before 1601 UTC.
    HWND picker = ::GetDlgItem(page, IDC_MODIFIED_VALUE);
    MakePickerUnreadable(picker);
    open.ShowPage(1);
    EXPECT_EQ(open.CurrentPage(), page);
    EXPECT_EQ(::GetFocus(), picker);
    // What came before the bad value was stored.
    EXPECT_TRUE(open.General().recursive);
    EXPECT_EQ(open.General().operation[Creation], OpMidnight);
    EXPECT_EQ(open.General().operation[LastWrite], OpSpecifiedDateTime);
    EXPECT_EQ(open.General().value[LastAccess], UtcTime(2012, 12, 12, 12, 12, 12));

    open.PressApply();
    EXPECT_EQ(TimesOf(folder)[LastWrite], oldWrite);
    EXPECT_TRUE(open.ApplyEnabled());
    EXPECT_EQ(open.CurrentPage(), page);

    MakePickerReadable(picker);
    open.ShowPage(1);
    EXPECT_EQ(open.CurrentPage(), open.AdvancedWindow());
}

TEST_F(GeneralPageTest, TimeNoPickerCanShowLeavesItsRowUnchangedAndEveryOtherRowLoads)
{
    const std::wstring file = temp.MakeFile(L"early.txt");
    SetTimes(file, oldWrite, oldAccess, oldWrite);
    SheetDriver open(file);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    for (int id : kCombos)
        SelectOperation(page, id, OpSpecifiedTimeOfDay);
    ::SetFocus(::GetDlgItem(page, IDC_MODIFIED_VALUE));

    // Before the pickers' first day, and west of UTC before 1601 in local time.
    const FileTime early = UtcTime(1601, 1, 1, 0, 0, 30);
    const FileTime created = UtcTime(2010, 10, 10, 10, 10, 10);
    const FileTime modified = UtcTime(2011, 11, 11, 11, 11, 11);
    const FileTime values[] = {created, early, modified};
    for (int k = 0; k < TimestampKindCount; ++k) {
        open.General().operation[k] = OpSpecifiedDateTime;
        open.General().value[k] = values[k];
    }
    EXPECT_FALSE(open.General().ExchangeData(false));

    for (int k : {Creation, LastWrite}) {
        SCOPED_TRACE(k);
        EXPECT_EQ(SelectedOperation(page, kCombos[k]), OpSpecifiedDateTime);
        EXPECT_TRUE(PickerEnabled(page, kPickers[k]));
        EXPECT_EQ(PickerValue(page, kPickers[k]), values[k]);
    }
    EXPECT_EQ(SelectedOperation(page, IDC_ACCESSED_OPERATION), OpDontChange);
    EXPECT_EQ(open.General().operation[LastAccess], OpDontChange);
    EXPECT_FALSE(PickerEnabled(page, IDC_ACCESSED_VALUE));
    // A disabled picker cannot hold the focus: the row's operation box has it.
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, IDC_ACCESSED_OPERATION));

    // The picker's old value never reaches the file.
    open.PressApply();
    const FileTimes stored = TimesOf(file);
    EXPECT_EQ(stored[LastAccess], oldAccess);
    EXPECT_EQ(stored[LastWrite], modified);
}

TEST_F(GeneralPageTest, ReloadAfterApplyGivesARowItsPickerCannotShowDontChange)
{
    const std::wstring file = temp.MakeFile(L"reload.txt");
    SetTimes(file, oldWrite, oldAccess, oldWrite);
    SheetDriver open(file);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    SelectOperation(page, IDC_ACCESSED_OPERATION, OpSecondToZero);
    SelectOperation(page, IDC_MODIFIED_OPERATION, OpMidnight);
    HWND accessed = ::GetDlgItem(page, IDC_ACCESSED_VALUE);
    MakePickerRefuseValues(accessed);
    open.PressApply();
    MakePickerTakeValues(accessed);

    const FileTimes stored = TimesOf(file);
    const SYSTEMTIME day = LocalCalendar(oldWrite);
    ASSERT_EQ(stored[LastWrite], LocalTime(day.wYear, day.wMonth, day.wDay, 0, 0, 0));
    ASSERT_EQ(stored[LastAccess], oldAccess - oldAccess % TicksPerMinute);
    EXPECT_EQ(PickerValue(page, IDC_MODIFIED_VALUE), stored[LastWrite]);
    EXPECT_EQ(SelectedOperation(page, IDC_MODIFIED_OPERATION), OpMidnight);
    EXPECT_EQ(SelectedOperation(page, IDC_ACCESSED_OPERATION), OpDontChange);
    EXPECT_EQ(open.General().operation[LastAccess], OpDontChange);
    EXPECT_FALSE(PickerEnabled(page, IDC_ACCESSED_VALUE));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, IDC_ACCESSED_OPERATION));
}

TEST_F(GeneralPageTest, CurrentDateAndTimeFillsOnlyItsOwnPage)
{
    const std::wstring folder = temp.MakeFolder(L"now");
    SetTimes(folder, oldWrite, oldAccess, oldWrite);
    SheetDriver open(folder);
    ASSERT_TRUE(open.Create());
    HWND general = open.GeneralWindow();
    HWND advanced = open.AdvancedWindow();
    FileTime advancedShown[TimestampKindCount];
    for (int k = 0; k < TimestampKindCount; ++k)
        advancedShown[k] = PickerValue(advanced, kPickers[k]);
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(advanced), 0);
    Click(general, IDC_RECURSIVE);
    ::SendMessageW(open.Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(general), 0);
    ASSERT_FALSE(open.ApplyEnabled());

    const FileTime before = CurrentFileTime();
    Click(general, IDC_CURRENT_DATE_TIME);
    const FileTime after = CurrentFileTime();

    const FileTime shown = PickerValue(general, IDC_CREATED_VALUE);
    EXPECT_GE(shown, before);
    EXPECT_LE(shown, after);
    for (int k = 0; k < TimestampKindCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(SelectedOperation(general, kCombos[k]), OpSpecifiedDateTime);
        EXPECT_TRUE(PickerEnabled(general, kPickers[k]));
        EXPECT_EQ(PickerValue(general, kPickers[k]), shown);
        EXPECT_EQ(open.General().operation[k], OpSpecifiedDateTime);
        EXPECT_EQ(open.General().value[k], shown);
        // The Advanced page keeps its rows.
        EXPECT_EQ(SelectedOperation(advanced, kCombos[k]), OpDontChange);
        EXPECT_FALSE(PickerEnabled(advanced, kPickers[k]));
        EXPECT_EQ(PickerValue(advanced, kPickers[k]), advancedShown[k]);
        EXPECT_EQ(open.Advanced().operation[k], OpDontChange);
    }
    EXPECT_TRUE(open.ApplyEnabled());
    EXPECT_TRUE(Checked(general, IDC_RECURSIVE)); // the options are left alone

    // And the other way round.
    open.ShowPage(1);
    ASSERT_EQ(open.CurrentPage(), advanced);
    open.General().value[Creation] = UtcTime(2001, 2, 3);
    Click(advanced, IDC_CURRENT_DATE_TIME);
    for (int k = 0; k < TimestampKindCount; ++k) {
        EXPECT_EQ(SelectedOperation(advanced, kCombos[k]), OpSpecifiedDateTime);
        EXPECT_TRUE(PickerEnabled(advanced, kPickers[k]));
    }
    EXPECT_EQ(open.General().value[Creation], UtcTime(2001, 2, 3));
}

// Plain top-level windows placed by the sheet's centring rule.
TEST(CenterOnWorkAreaTest, CentresOnAVisibleOwnerAndKeepsInsideTheWorkArea)
{
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, work.left + 10, work.top + 20, 300,
                                   200, nullptr, nullptr, nullptr, nullptr);
    HWND window = ::CreateWindowExW(0, L"STATIC", L"owned", WS_POPUP, 0, 0, 100, 50, owner, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner && window);
    CenterOnWorkArea(window);
    RECT placed{};
    ::GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, work.left + 10 + 150 - 50);
    EXPECT_EQ(placed.top, work.top + 20 + 100 - 25);

    // An owner that is not visible does not count: the work area's middle is used.
    ::ShowWindow(owner, SW_HIDE);
    CenterOnWorkArea(window);
    ::GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, (work.left + work.right) / 2 - 50);
    EXPECT_EQ(placed.top, (work.top + work.bottom) / 2 - 25);

    // Larger than the work area: its top-left corner.
    ::SetWindowPos(window, nullptr, 0, 0, work.right - work.left + 400, work.bottom - work.top + 300,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOnWorkArea(window);
    ::GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, work.left);
    EXPECT_EQ(placed.top, work.top);
    ::DestroyWindow(window);
    ::DestroyWindow(owner);
}

} // namespace
