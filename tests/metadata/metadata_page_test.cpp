#include "engine/FileTime.h"
#include "metadata/PropertyKeys.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/metadata/MetadataPageSupport.h"
#include "tests/metadata/MetadataTestSupport.h"
#include "tests/support/RunExpectations.h"

#include <gtest/gtest.h>

namespace {

// The page's tab and the list's column titles in the interface's language.
struct PageTexts {
    const wchar_t* tab;
    const wchar_t* nameColumn;
    const wchar_t* valueColumn;
};

const Expected<PageTexts> kPageTexts[] = {
    {L"en", {L"Advanced", L"Property", L"Value"}},
    {L"ja", {L"詳細", L"プロパティ", L"値"}},
};

RECT ChildRect(HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT CellRect(HWND list, int row, int column)
{
    RECT rect{};
    ListView_GetSubItemRect(list, row, column, LVIR_BOUNDS, &rect);
    return rect;
}

bool Visible(HWND window)
{
    return ::IsWindowVisible(window) != FALSE;
}

void SetEditorText(HWND editor, const wchar_t* text)
{
    ::SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

class MetadataPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sheet.Create());
        sheet.ShowPage(1);
        ASSERT_TRUE(ListWindow(sheet));
    }

    // F2 on a selected row of the focused list.
    void BeginWithF2(int row)
    {
        SelectRow(sheet, row);
        ::SetFocus(ListWindow(sheet));
        sheet.PressKey(ListWindow(sheet), VK_F2);
    }

    void DoubleClick(int row, int column)
    {
        // The bounds of sub-item 0 are those of the whole row; its column is the label's.
        RECT cell = CellRect(ListWindow(sheet), row, column);
        if (column == 0)
            ListView_GetItemRect(ListWindow(sheet), row, &cell, LVIR_LABEL);
        const LPARAM point = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
        ::SendMessageW(ListWindow(sheet), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        sheet.Pump();
    }

    void ExpectIdle()
    {
        EXPECT_EQ(sheet.Metadata().List().EditRow(), -1);
        EXPECT_EQ(sheet.Metadata().List().EditColumn(), 0);
        EXPECT_FALSE(Visible(sheet.Metadata().List().DateEditor()));
        EXPECT_FALSE(Visible(sheet.Metadata().List().DurationEditor()));
        EXPECT_EQ(::GetFocus(), ListWindow(sheet));
    }

    StoredDocument document;
    SheetDriver sheet{document.File(), document.Store()};
};

TEST(MetadataSheetTest, FileWithOfferedPropertiesGetsTheMetadataPageAfterGeneral)
{
    StoredDocument document;
    SheetDriver sheet(document.File(), document.Store());
    ASSERT_TRUE(sheet.Create());
    const PageTexts* texts = ForRunLanguage(kPageTexts);
    ASSERT_TRUE(texts);
    ASSERT_EQ(sheet.TabCount(), 2);
    EXPECT_EQ(sheet.TabText(1), texts->tab);
    // Created with the sheet although its tab was never shown, so it takes part in Apply.
    EXPECT_TRUE(sheet.MetadataWindow());
    EXPECT_EQ(sheet.PageWindow(1), sheet.MetadataWindow());

    HWND list = ListWindow(sheet);
    ASSERT_EQ(list, ::GetDlgItem(sheet.MetadataWindow(), 1007));
    ASSERT_EQ(ListView_GetItemCount(list), 3);
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 0), L"Content created");
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 0), L"Total editing time");
    EXPECT_EQ(Cell(sheet, DateSavedRow, 0), L"Date last saved");
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(ContentCreatedValue()));
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 1), L"1:02:03");
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), PickerText(DateSavedValue()));
    for (int row = 0; row < 3; ++row) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ASSERT_TRUE(ListView_GetItem(list, &item));
        EXPECT_EQ(reinterpret_cast<const MetadataEntry*>(item.lParam), &Entry(sheet, row));
    }

    EXPECT_EQ(ColumnTitle(list, 0), texts->nameColumn);
    EXPECT_EQ(ColumnTitle(list, 1), texts->valueColumn);
    RECT client{};
    ::GetClientRect(list, &client);
    const int nameWidth = ListView_GetColumnWidth(list, 0);
    EXPECT_GE(nameWidth, ListView_GetStringWidth(list, L"Total editing time"));
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), client.right - 2 * ::GetSystemMetrics(SM_CXVSCROLL) - nameWidth);
    EXPECT_EQ(ListView_GetExtendedListViewStyle(list), static_cast<DWORD>(LVS_EX_FULLROWSELECT));

    // The editors wait hidden inside the list.
    EXPECT_EQ(::GetParent(sheet.Metadata().List().DateEditor()), list);
    EXPECT_EQ(::GetParent(sheet.Metadata().List().DurationEditor()), list);
    EXPECT_EQ(::GetDlgCtrlID(sheet.Metadata().List().DateEditor()), 1050);
    EXPECT_EQ(::GetDlgCtrlID(sheet.Metadata().List().DurationEditor()), 1060);
    EXPECT_FALSE(Visible(sheet.Metadata().List().DateEditor()));
    EXPECT_FALSE(Visible(sheet.Metadata().List().DurationEditor()));
}

void OnlyUnofferedProperties(FakePropertySystem& system)
{
    system.Add(TitleKey, VT_LPWSTR, L"System.Title", L"Title");
    system.Add(PKEY_DateModified, VT_FILETIME, L"System.DateModified", L"Date modified", FakeFileTimeValue(1));
    system.Add(SizeKey, VT_UI8, L"System.Size", L"Size", FakeDurationValue(4096));
}

void NoPropertySystem(FakePropertySystem& system)
{
    AddStandardDocument(system);
    system.Fail(FakeStep::OpenStore, E_NOTIMPL);
}

TEST(MetadataSheetTest, FileWithoutReadablePropertiesHasGeneralOnly)
{
    for (auto prepare : {OnlyUnofferedProperties, NoPropertySystem}) {
        StoredDocument document(prepare);
        SheetDriver sheet(document.File(), document.Store());
        ASSERT_TRUE(sheet.Create());
        EXPECT_EQ(sheet.TabCount(), 1);
        EXPECT_FALSE(sheet.MetadataWindow());
        EXPECT_EQ(document.Store().readWriteOpens, 0);
    }
}

TEST_F(MetadataPageTest, F2OpensTheDatePickerOverTheCellAndEnterStoresTheText)
{
    BeginWithF2(ContentCreatedRow);
    HWND picker = sheet.Metadata().List().DateEditor();
    ASSERT_EQ(sheet.Metadata().List().EditRow(), ContentCreatedRow);
    EXPECT_EQ(sheet.Metadata().List().EditColumn(), 1);
    EXPECT_TRUE(Visible(picker));
    EXPECT_EQ(::GetFocus(), picker);
    EXPECT_FALSE(Visible(sheet.Metadata().List().DurationEditor()));
    // Over the value cell, one pixel taller at either side.
    const RECT cell = CellRect(ListWindow(sheet), ContentCreatedRow, 1);
    const RECT editor = ChildRect(picker);
    EXPECT_EQ(editor.top, cell.top - 1);
    EXPECT_EQ(editor.bottom, cell.bottom + 1);
    EXPECT_LE(editor.left, cell.left + 8);
    EXPECT_GE(editor.right, cell.right - 8);
    EXPECT_EQ(WindowText(picker), Cell(sheet, ContentCreatedRow, 1)); // the picker took the row's value

    SetEditorText(picker, L"2024-02-29T08:15:00Z");
    sheet.PressKey(picker, VK_RETURN);
    ExpectIdle();
    const std::uint64_t typed = UtcTime(2024, 2, 29, 8, 15, 0);
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(typed));
    EXPECT_TRUE(Entry(sheet, ContentCreatedRow).modified);
    EXPECT_FALSE(Entry(sheet, DateSavedRow).modified);
    EXPECT_TRUE(sheet.ApplyEnabled());
    EXPECT_EQ(document.Store().FileValue(ContentCreatedKey), FakeFileTimeValue(ContentCreatedValue())); // pending

    sheet.PressApply();
    EXPECT_EQ(document.Store().FileValue(ContentCreatedKey), FakeFileTimeValue(typed));
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(typed));
    EXPECT_FALSE(Entry(sheet, ContentCreatedRow).modified);
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(MetadataPageTest, DoubleClickEditsOnlyTheValueColumn)
{
    DoubleClick(EditingTimeRow, 0);
    EXPECT_EQ(sheet.Metadata().List().EditRow(), -1);
    EXPECT_FALSE(Visible(sheet.Metadata().List().DurationEditor()));

    DoubleClick(EditingTimeRow, 1);
    HWND edit = sheet.Metadata().List().DurationEditor();
    ASSERT_EQ(sheet.Metadata().List().EditRow(), EditingTimeRow);
    EXPECT_TRUE(Visible(edit));
    EXPECT_EQ(::GetFocus(), edit);
    EXPECT_FALSE(Visible(sheet.Metadata().List().DateEditor()));
    EXPECT_EQ(WindowText(edit), L"1:02:03");

    // A duration is stored in the platform's display form.
    SetEditorText(edit, L" 2:30 ");
    sheet.PressKey(edit, VK_RETURN);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 1), L"2:30:00");
    EXPECT_TRUE(Entry(sheet, EditingTimeRow).modified);
    EXPECT_TRUE(sheet.ApplyEnabled());
    sheet.PressApply();
    EXPECT_EQ(document.Store().FileValue(TotalEditingTimeKey), FakeDurationValue(9000ull * 10'000'000ull));
}

TEST_F(MetadataPageTest, EscapeUnreadableTextAndTheSameTextChangeNothing)
{
    const std::wstring created = Cell(sheet, ContentCreatedRow, 1);
    const std::wstring saved = Cell(sheet, DateSavedRow, 1);

    BeginWithF2(DateSavedRow);
    SetEditorText(sheet.Metadata().List().DateEditor(), L"2001-01-01T00:00:00Z");
    sheet.PressKey(sheet.Metadata().List().DateEditor(), VK_ESCAPE);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), saved);

    // The picker keeps its value for text it cannot read, so the row keeps its own.
    BeginWithF2(ContentCreatedRow);
    SetEditorText(sheet.Metadata().List().DateEditor(), L"next Tuesday-ish");
    sheet.PressKey(sheet.Metadata().List().DateEditor(), VK_RETURN);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), created);

    // Confirmed unchanged.
    BeginWithF2(ContentCreatedRow);
    ASSERT_TRUE(Visible(sheet.Metadata().List().DateEditor()));
    sheet.PressKey(sheet.Metadata().List().DateEditor(), VK_RETURN);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), created);

    // A duration that does not parse (75 minutes) is dropped.
    BeginWithF2(EditingTimeRow);
    SetEditorText(sheet.Metadata().List().DurationEditor(), L"1:75");
    sheet.PressKey(sheet.Metadata().List().DurationEditor(), VK_RETURN);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 1), L"1:02:03");

    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(Entry(sheet, row).modified) << row;
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(MetadataPageTest, BlankTypedDateClearsTheRowAndOtherTextGoesToThePicker)
{
    BeginWithF2(DateSavedRow);
    HWND picker = sheet.Metadata().List().DateEditor();
    LRESULT result = -1;
    NMDATETIMESTRINGW answer = SendUserString(picker, L"2024-01-31T00:00:00Z", &result, sheet.MetadataWindow());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(answer.dwFlags, static_cast<DWORD>(GDT_VALID));
    SYSTEMTIME universal{};
    ASSERT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &answer.st, &universal));
    EXPECT_EQ(universal.wYear, 2024);
    EXPECT_EQ(universal.wDay, 31);
    EXPECT_EQ(universal.wHour, 0);
    EXPECT_EQ(sheet.Metadata().List().EditRow(), DateSavedRow); // the edit goes on

    answer = SendUserString(picker, L" \t\x3000 ", &result, sheet.MetadataWindow());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(answer.dwFlags, static_cast<DWORD>(GDT_NONE));
    sheet.Pump();
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), L"");
    EXPECT_TRUE(Entry(sheet, DateSavedRow).modified);
    EXPECT_TRUE(sheet.ApplyEnabled());

    sheet.PressApply();
    EXPECT_EQ(document.Store().FileValue(DateSavedKey), FakeValue{});
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), L"");
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(MetadataPageTest, EditEndsWhenTheFocusLeavesTheListScrollsOrAColumnIsResized)
{
    const std::uint64_t first = UtcTime(2020, 5, 5, 5, 5, 5);
    const std::uint64_t second = UtcTime(2021, 6, 6, 6, 6, 6);
    const std::uint64_t third = UtcTime(2022, 7, 7, 7, 7, 7);

    // A click elsewhere: the focus goes to the sheet's OK button.
    BeginWithF2(ContentCreatedRow);
    SetEditorText(sheet.Metadata().List().DateEditor(), L"2020-05-05T05:05:05Z");
    ::SetFocus(::GetDlgItem(sheet.Window(), IDOK));
    sheet.Pump();
    EXPECT_EQ(sheet.Metadata().List().EditRow(), -1);
    EXPECT_FALSE(Visible(sheet.Metadata().List().DateEditor()));
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(first));

    // Scrolling (Wine's list never reports it, so the notification is sent here).
    BeginWithF2(DateSavedRow);
    SetEditorText(sheet.Metadata().List().DateEditor(), L"2021-06-06T06:06:06Z");
    NMHDR scroll{ListWindow(sheet), 1007, static_cast<UINT>(LVN_BEGINSCROLL)};
    ::SendMessageW(sheet.MetadataWindow(), WM_NOTIFY, 1007, reinterpret_cast<LPARAM>(&scroll));
    sheet.Pump();
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), PickerText(second));

    // Dragging a column divider.
    BeginWithF2(ContentCreatedRow);
    SetEditorText(sheet.Metadata().List().DateEditor(), L"2022-07-07T07:07:07Z");
    HWND header = ListView_GetHeader(ListWindow(sheet));
    NMHEADERW track{};
    track.hdr = NMHDR{header, static_cast<UINT_PTR>(::GetDlgCtrlID(header)), static_cast<UINT>(HDN_BEGINTRACKW)};
    track.iItem = 0;
    ::SendMessageW(ListWindow(sheet), WM_NOTIFY, track.hdr.idFrom, reinterpret_cast<LPARAM>(&track));
    sheet.Pump();
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(third));

    // The same for the duration editor.
    BeginWithF2(EditingTimeRow);
    SetEditorText(sheet.Metadata().List().DurationEditor(), L"4:00");
    ::SendMessageW(sheet.MetadataWindow(), WM_NOTIFY, 1007, reinterpret_cast<LPARAM>(&scroll));
    sheet.Pump();
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 1), L"4:00:00");
}

TEST_F(MetadataPageTest, EditorLeftUntouchedLeavesTheRowAsItWasWhateverThePickerHeld)
{
    // The hidden picker holds another value than any row's.
    BeginWithF2(ContentCreatedRow);
    SetEditorText(sheet.Metadata().List().DateEditor(), L"2020-05-05T05:05:05Z");
    sheet.PressKey(sheet.Metadata().List().DateEditor(), VK_ESCAPE);
    ASSERT_EQ(ParsedDate(WindowText(sheet.Metadata().List().DateEditor())), UtcTime(2020, 5, 5, 5, 5, 5));

    // Embedding marks, as a display text may carry them: the editor shows the row's own value.
    const std::wstring marked = L"\x202A" + PickerText(DateSavedValue()) + L"\x202C";
    SetValueCell(sheet, DateSavedRow, marked);
    ASSERT_EQ(Cell(sheet, DateSavedRow, 1), marked);
    BeginWithF2(DateSavedRow);
    EXPECT_EQ(WindowText(sheet.Metadata().List().DateEditor()), PickerText(DateSavedValue()));
    sheet.PressKey(sheet.Metadata().List().DateEditor(), VK_RETURN);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), marked);

    // A text no parser reads: the editor opens on the current time, not on the picker's old value.
    SetValueCell(sheet, DateSavedRow, L"sometime in 2023");
    const FileTime before = CurrentFileTime();
    BeginWithF2(DateSavedRow);
    const FileTime after = CurrentFileTime() + TicksPerSecond;
    const std::uint64_t shown = ParsedDate(WindowText(sheet.Metadata().List().DateEditor()));
    EXPECT_GE(shown, before);
    EXPECT_LE(shown, after);
    ::SetFocus(::GetDlgItem(sheet.Window(), IDOK));
    sheet.Pump();
    EXPECT_EQ(sheet.Metadata().List().EditRow(), -1);
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), L"sometime in 2023");

    // A duration that is not in the display form stays as it is, too.
    SetValueCell(sheet, EditingTimeRow, L"01:02:03");
    BeginWithF2(EditingTimeRow);
    sheet.PressKey(sheet.Metadata().List().DurationEditor(), VK_RETURN);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 1), L"01:02:03");

    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(Entry(sheet, row).modified) << row;
    EXPECT_FALSE(sheet.ApplyEnabled());

    // A change made in the editor still counts.
    BeginWithF2(DateSavedRow);
    SetEditorText(sheet.Metadata().List().DateEditor(), L"2021-06-06T06:06:06Z");
    sheet.PressKey(sheet.Metadata().List().DateEditor(), VK_RETURN);
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), PickerText(UtcTime(2021, 6, 6, 6, 6, 6)));
    EXPECT_TRUE(Entry(sheet, DateSavedRow).modified);
    EXPECT_TRUE(sheet.ApplyEnabled());
}

void EmptySavedDate(FakePropertySystem& system)
{
    AddStandardDocument(system);
    system.Property(DateSavedKey).value = FakeValue{};
}

TEST(MetadataEmptyDateTest, EditorOnAnEmptyDateLeftUntouchedKeepsItEmpty)
{
    StoredDocument document(EmptySavedDate);
    SheetDriver sheet(document.File(), document.Store());
    ASSERT_TRUE(sheet.Create());
    sheet.ShowPage(1);
    ASSERT_EQ(Cell(sheet, DateSavedRow, 1), L"");
    HWND picker = sheet.Metadata().List().DateEditor();

    sheet.Metadata().List().BeginEdit(DateSavedRow, 1);
    ASSERT_TRUE(::IsWindowVisible(picker));
    sheet.PressKey(picker, VK_RETURN);
    EXPECT_EQ(sheet.Metadata().List().EditRow(), -1);
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), L"");
    EXPECT_FALSE(Entry(sheet, DateSavedRow).modified);
    EXPECT_FALSE(sheet.ApplyEnabled());

    sheet.Metadata().List().BeginEdit(DateSavedRow, 1);
    SetEditorText(picker, L"2019-09-09T09:09:09Z");
    sheet.PressKey(picker, VK_RETURN);
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), PickerText(UtcTime(2019, 9, 9, 9, 9, 9)));
    EXPECT_TRUE(Entry(sheet, DateSavedRow).modified);
}

TEST_F(MetadataPageTest, TypedTimeOfDayKeepsTheRowsDate)
{
    BeginWithF2(ContentCreatedRow);
    HWND picker = sheet.Metadata().List().DateEditor();
    LRESULT result = -1;
    const NMDATETIMESTRINGW answer = SendUserString(picker, L"08:15", &result, sheet.MetadataWindow());
    EXPECT_EQ(result, 0);
    ASSERT_EQ(answer.dwFlags, static_cast<DWORD>(GDT_VALID));
    EXPECT_EQ(answer.st.wYear, 2024);
    EXPECT_EQ(answer.st.wMonth, 1);
    EXPECT_EQ(answer.st.wDay, 31);
    // The control takes the answer, as Windows' picker does.
    ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&answer.st));
    sheet.PressKey(picker, VK_RETURN);
    ExpectIdle();
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(LocalTime(2024, 1, 31, 8, 15, 0)));
    EXPECT_TRUE(Entry(sheet, ContentCreatedRow).modified);
}

void ReadOnlyItem(FakePropertySystem& system)
{
    AddStandardDocument(system);
    system.attributes |= SFGAO_READONLY;
}

void ReadOnlySavedDate(FakePropertySystem& system)
{
    AddStandardDocument(system);
    system.Property(DateSavedKey).writableAnswer = S_FALSE;
    system.Property(TotalEditingTimeKey).writableAnswer = E_FAIL; // a failure still counts as writable
}

TEST(MetadataReadOnlyTest, ReadOnlyItemOrRowOpensNoEditor)
{
    {
        StoredDocument document(ReadOnlyItem);
        SheetDriver sheet(document.File(), document.Store());
        ASSERT_TRUE(sheet.Create());
        sheet.ShowPage(1);
        for (int row = 0; row < 3; ++row) {
            SelectRow(sheet, row);
            ::SetFocus(ListWindow(sheet));
            sheet.PressKey(ListWindow(sheet), VK_F2);
            EXPECT_EQ(sheet.Metadata().List().EditRow(), -1) << row;
        }
        EXPECT_FALSE(::IsWindowVisible(sheet.Metadata().List().DateEditor()));
        EXPECT_FALSE(::IsWindowVisible(sheet.Metadata().List().DurationEditor()));
    }
    {
        StoredDocument document(ReadOnlySavedDate);
        SheetDriver sheet(document.File(), document.Store());
        ASSERT_TRUE(sheet.Create());
        sheet.ShowPage(1);
        EXPECT_FALSE(Entry(sheet, DateSavedRow).writable);
        sheet.Metadata().List().BeginEdit(DateSavedRow, 1);
        EXPECT_EQ(sheet.Metadata().List().EditRow(), -1);
        EXPECT_FALSE(::IsWindowVisible(sheet.Metadata().List().DateEditor()));
        sheet.Metadata().List().BeginEdit(EditingTimeRow, 1);
        EXPECT_EQ(sheet.Metadata().List().EditRow(), EditingTimeRow);
        EXPECT_TRUE(::IsWindowVisible(sheet.Metadata().List().DurationEditor()));
    }
}

} // namespace
