#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "framework/WindowImpl.h"
#include "metadata/PropertyKeys.h"
#include "metadata/RowMenu.h"
#include "platform/Handles.h"
#include "tests/metadata/MetadataPageSupport.h"
#include "tests/metadata/MetadataTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

namespace {

// Enabled state of every command of a menu, by ID (separators left out).
std::map<UINT, bool> EnabledCommands(HMENU menu)
{
    std::map<UINT, bool> states;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id != 0)
            states[id] = (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    return states;
}

MenuHandle LoadRowMenu(UINT id)
{
    return MenuHandle(::LoadMenuW(AppModule().GetResourceInstance(), MAKEINTRESOURCEW(id)));
}

const std::map<UINT, bool> AllDateCommands{{57634, true}, {57632, true}, {1051, true}, {1052, true},
                                           {1053, true},  {1054, true},  {1056, true}, {1055, true}};
const std::map<UINT, bool> DateCopyOnly{{57634, true}, {57632, false}, {1051, false}, {1052, false},
                                        {1053, false}, {1054, false},  {1056, false}, {1055, false}};
const std::map<UINT, bool> DateWithoutValue{{57634, true}, {57632, true}, {1051, true}, {1052, false},
                                            {1053, false}, {1054, true},  {1056, true}, {1055, true}};

TEST(RowMenuTest, GrayingFollowsWritabilityAndValue)
{
    MenuHandle dates = LoadRowMenu(1050);
    ASSERT_TRUE(dates);
    HMENU popup = ::GetSubMenu(dates.get(), 0);
    GrayRowMenu(popup, true, true);
    EXPECT_EQ(EnabledCommands(popup), AllDateCommands);
    GrayRowMenu(popup, true, false);
    EXPECT_EQ(EnabledCommands(popup), DateWithoutValue);

    dates = LoadRowMenu(1050);
    popup = ::GetSubMenu(dates.get(), 0);
    GrayRowMenu(popup, false, true);
    EXPECT_EQ(EnabledCommands(popup), DateCopyOnly);

    MenuHandle durations = LoadRowMenu(1060);
    ASSERT_TRUE(durations);
    popup = ::GetSubMenu(durations.get(), 0);
    GrayRowMenu(popup, true, false); // the date commands it does not have change nothing
    EXPECT_EQ(EnabledCommands(popup), (std::map<UINT, bool>{{57634, true}, {57632, true}, {1061, true}}));
    GrayRowMenu(popup, false, true);
    EXPECT_EQ(EnabledCommands(popup), (std::map<UINT, bool>{{57634, true}, {57632, false}, {1061, false}}));
}

TEST(RowMenuTest, PointOffEveryMonitorMovesIntoTheNearestWorkAreaSideways)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    const RECT work = info.rcWork;
    const POINT inside{work.left + 10, work.top + 20};
    const POINT kept = KeepMenuPointOnMonitor(inside);
    EXPECT_EQ(kept.x, inside.x);
    EXPECT_EQ(kept.y, inside.y);

    const POINT right = KeepMenuPointOnMonitor(POINT{work.right + 5000, work.top + 30});
    EXPECT_EQ(right.x, work.right - 1);
    EXPECT_EQ(right.y, work.top + 30);
    const POINT left = KeepMenuPointOnMonitor(POINT{work.left - 5000, work.top + 40});
    EXPECT_EQ(left.x, work.left);
    EXPECT_EQ(left.y, work.top + 40);
}

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found)
{
    wchar_t name[16] = L"";
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32768" || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The open popup menu of a thread (other programs on the display may have theirs).
HWND MenuWindowOf(DWORD threadId)
{
    HWND found = nullptr;
    ::EnumThreadWindows(threadId, FindMenuWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Watches the list's context menu: the commands' states when it opens and where it opens,
// then closes it (from a timer, as the menu's own loop runs).
class MenuWatch : public CWindowImpl {
public:
    BEGIN_MSG_MAP(MenuWatch)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
    END_MSG_MAP()

    bool opened = false;
    std::map<UINT, bool> commands;
    static RECT s_menuRect;

private:
    LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        opened = true;
        commands = EnabledCommands(reinterpret_cast<HMENU>(wParam));
        ::SetTimer(nullptr, 0, 100, CloseMenu);
        bHandled = FALSE;
        return 0;
    }

    static void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        if (HWND menu = MenuWindowOf(::GetCurrentThreadId()))
            ::GetWindowRect(menu, &s_menuRect);
        ::EndMenu();
    }
};

RECT MenuWatch::s_menuRect{};

struct ShownMenu {
    bool opened = false;
    std::map<UINT, bool> commands;
    RECT rect{};
};

// Opens the list's context menu as the menu key does (or, with `from`, as a right click in
// that window does) and reports what it showed. A stuck menu is closed with Escape.
ShownMenu OpenContextMenu(SheetDriver& sheet, HWND from = nullptr)
{
    MenuWatch watch;
    MenuWatch::s_menuRect = RECT{};
    watch.SubclassWindow(ListWindow(sheet));
    std::atomic<bool> done{false};
    const DWORD threadId = ::GetCurrentThreadId();
    std::thread guard([&done, threadId] {
        for (int i = 0; i < 100 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!done)
            ::PostMessageW(MenuWindowOf(threadId), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ::SendMessageW(ListWindow(sheet), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(from ? from : ListWindow(sheet)),
                   MAKELPARAM(-1, -1));
    done = true;
    guard.join();
    watch.UnsubclassWindow();
    return ShownMenu{watch.opened, watch.commands, MenuWatch::s_menuRect};
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
}

void EmptySavedDate(FakePropertySystem& system)
{
    AddStandardDocument(system);
    system.Property(DateSavedKey).value = FakeValue{};
}

TEST(MetadataMenuTest, KeyboardMenuOpensAtTheSelectedRowWithTheRowsCommands)
{
    StoredDocument document(EmptySavedDate);
    SheetDriver sheet(document.File(), document.Store());
    ASSERT_TRUE(sheet.Create());
    sheet.ShowPage(1);

    SelectRow(sheet, ContentCreatedRow);
    ShownMenu watch = OpenContextMenu(sheet);
    ASSERT_TRUE(watch.opened);
    EXPECT_EQ(watch.commands, AllDateCommands);
    RECT row{};
    ListView_GetItemRect(ListWindow(sheet), ContentCreatedRow, &row, LVIR_SELECTBOUNDS);
    POINT corner{row.right, row.bottom};
    ::ClientToScreen(ListWindow(sheet), &corner);
    EXPECT_EQ(watch.rect.left, corner.x);
    EXPECT_EQ(watch.rect.top, corner.y);

    SelectRow(sheet, DateSavedRow);
    watch = OpenContextMenu(sheet);
    ASSERT_TRUE(watch.opened);
    EXPECT_EQ(watch.commands, DateWithoutValue);

    SelectRow(sheet, EditingTimeRow);
    watch = OpenContextMenu(sheet);
    ASSERT_TRUE(watch.opened);
    EXPECT_EQ(watch.commands, (std::map<UINT, bool>{{57634, true}, {57632, true}, {1061, true}}));

    // Not over an open editor, and not without a selected row.
    sheet.Metadata().List().BeginEdit(ContentCreatedRow, 1);
    watch = OpenContextMenu(sheet, sheet.Metadata().List().DateEditor());
    EXPECT_FALSE(watch.opened);
    sheet.Metadata().List().CancelEdit();
    sheet.Pump();
    ListView_SetItemState(ListWindow(sheet), -1, 0, LVIS_SELECTED);
    watch = OpenContextMenu(sheet);
    EXPECT_FALSE(watch.opened);
}

TEST(MetadataMenuTest, ReadOnlyItemOrRowOffersOnlyCopy)
{
    {
        StoredDocument document(ReadOnlyItem);
        SheetDriver sheet(document.File(), document.Store());
        ASSERT_TRUE(sheet.Create());
        sheet.ShowPage(1);
        SelectRow(sheet, ContentCreatedRow);
        ShownMenu watch = OpenContextMenu(sheet);
        ASSERT_TRUE(watch.opened);
        EXPECT_EQ(watch.commands, DateCopyOnly);
        SelectRow(sheet, EditingTimeRow);
        watch = OpenContextMenu(sheet);
        EXPECT_EQ(watch.commands, (std::map<UINT, bool>{{57634, true}, {57632, false}, {1061, false}}));
    }
    {
        StoredDocument document(ReadOnlySavedDate);
        SheetDriver sheet(document.File(), document.Store());
        ASSERT_TRUE(sheet.Create());
        sheet.ShowPage(1);
        SelectRow(sheet, DateSavedRow);
        ShownMenu watch = OpenContextMenu(sheet);
        ASSERT_TRUE(watch.opened);
        EXPECT_EQ(watch.commands, DateCopyOnly);

        // Copy still works there, with the text as shown.
        ::OpenClipboard(nullptr);
        ::EmptyClipboard();
        ::CloseClipboard();
        ListCommand(sheet, 57634);
        EXPECT_EQ(ClipboardText(), Cell(sheet, DateSavedRow, 1));
        EXPECT_FALSE(Cell(sheet, DateSavedRow, 1).empty());
    }
}

class MetadataCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sheet.Create());
        sheet.ShowPage(1);
    }

    StoredDocument document;
    SheetDriver sheet{document.File(), document.Store()};
};

TEST_F(MetadataCommandTest, SecondToZeroAndMidnightWorkOnTheLocalTime)
{
    SelectRow(sheet, ContentCreatedRow);
    ListCommand(sheet, 1053);
    EXPECT_EQ(ParsedDate(Cell(sheet, ContentCreatedRow, 1)), LocalTime(2024, 1, 31, 12, 34, 0));
    EXPECT_TRUE(Entry(sheet, ContentCreatedRow).modified);
    EXPECT_TRUE(sheet.ApplyEnabled());

    ListCommand(sheet, 1052);
    const std::uint64_t midnight = LocalTime(2024, 1, 31, 0, 0, 0);
    EXPECT_EQ(ParsedDate(Cell(sheet, ContentCreatedRow, 1)), midnight);
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(midnight));

    sheet.PressApply();
    EXPECT_EQ(document.Store().FileValue(ContentCreatedKey), FakeFileTimeValue(midnight));
    EXPECT_FALSE(sheet.ApplyEnabled());

    // Midnight again changes nothing.
    ListCommand(sheet, 1052);
    EXPECT_FALSE(Entry(sheet, ContentCreatedRow).modified);
    EXPECT_FALSE(sheet.ApplyEnabled());
}

// Leaves the hidden picker holding the row's value, as an edit ended with Escape does.
void OpenAndCancelEditor(SheetDriver& sheet, int row)
{
    sheet.Metadata().List().BeginEdit(row, 1);
    ASSERT_TRUE(::IsWindowVisible(sheet.Metadata().List().DateEditor()));
    sheet.Metadata().List().CancelEdit();
    sheet.Pump();
}

TEST_F(MetadataCommandTest, MidnightAndSecondToZeroNeedTheRowsOwnDate)
{
    OpenAndCancelEditor(sheet, DateSavedRow);

    // The row's text with embedding marks is still the row's date.
    const std::wstring marked = L"\x202B" + PickerText(ContentCreatedValue()) + L"\x202C";
    SetValueCell(sheet, ContentCreatedRow, marked);
    SelectRow(sheet, ContentCreatedRow);
    ListCommand(sheet, 1053);
    EXPECT_EQ(Cell(sheet, ContentCreatedRow, 1), PickerText(LocalTime(2024, 1, 31, 12, 34, 0)));

    // A text no parser reads gives those two commands nothing to work on.
    SetValueCell(sheet, DateSavedRow, L"sometime in 2023");
    SelectRow(sheet, DateSavedRow);
    for (WORD command : {1052, 1053}) {
        ListCommand(sheet, command);
        EXPECT_EQ(Cell(sheet, DateSavedRow, 1), L"sometime in 2023") << command;
        EXPECT_FALSE(Entry(sheet, DateSavedRow).modified) << command;
    }
}

TEST(MetadataEmptyDateCommandTest, MidnightAndSecondToZeroLeaveAnEmptyDateEmpty)
{
    StoredDocument document(EmptySavedDate);
    SheetDriver sheet(document.File(), document.Store());
    ASSERT_TRUE(sheet.Create());
    sheet.ShowPage(1);
    OpenAndCancelEditor(sheet, ContentCreatedRow);

    SelectRow(sheet, DateSavedRow);
    for (WORD command : {1052, 1053}) {
        ListCommand(sheet, command);
        EXPECT_EQ(Cell(sheet, DateSavedRow, 1), L"") << command;
        EXPECT_FALSE(Entry(sheet, DateSavedRow).modified) << command;
    }
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(MetadataCommandTest, FileTimeCommandsTakeTheTargetsOwnTimes)
{
    const FileTimes written{UtcTime(2019, 3, 4, 5, 6, 7), UtcTime(2021, 8, 9, 10, 11, 12),
                            UtcTime(2020, 1, 2, 3, 4, 5)};
    ASSERT_TRUE(WriteFileTimes(document.File().c_str(), written));
    FileTimes times{};
    ASSERT_TRUE(ReadFileTimes(document.File().c_str(), times)); // Wine keeps no creation time of its own

    SelectRow(sheet, DateSavedRow);
    ListCommand(sheet, 1054);
    EXPECT_EQ(ParsedDate(Cell(sheet, DateSavedRow, 1)), times[Creation]);
    ListCommand(sheet, 1055);
    EXPECT_EQ(ParsedDate(Cell(sheet, DateSavedRow, 1)), written[LastAccess]);
    ListCommand(sheet, 1056);
    EXPECT_EQ(ParsedDate(Cell(sheet, DateSavedRow, 1)), written[LastWrite]);
    EXPECT_TRUE(Entry(sheet, DateSavedRow).modified);

    SelectRow(sheet, ContentCreatedRow);
    const FileTime before = CurrentFileTime();
    ListCommand(sheet, 1051);
    const FileTime after = CurrentFileTime();
    const std::uint64_t now = ParsedDate(Cell(sheet, ContentCreatedRow, 1));
    EXPECT_GE(now, before);
    EXPECT_LE(now, after);

    sheet.PressApply();
    EXPECT_EQ(document.Store().FileValue(DateSavedKey), FakeFileTimeValue(written[LastWrite]));
    EXPECT_EQ(document.Store().FileValue(ContentCreatedKey), FakeFileTimeValue(now));
}

TEST_F(MetadataCommandTest, DeleteClearsAndResetZeroesTheDuration)
{
    SelectRow(sheet, EditingTimeRow);
    ListCommand(sheet, 1061);
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 1), L"0:00:00");
    EXPECT_TRUE(Entry(sheet, EditingTimeRow).modified);

    SelectRow(sheet, DateSavedRow);
    ListCommand(sheet, 57632);
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), L"");
    EXPECT_TRUE(Entry(sheet, DateSavedRow).modified);

    sheet.PressApply();
    EXPECT_EQ(document.Store().FileValue(TotalEditingTimeKey), FakeDurationValue(0));
    EXPECT_EQ(document.Store().FileValue(DateSavedKey), FakeValue{});
    EXPECT_FALSE(sheet.ApplyEnabled());

    // Nothing left to delete or reset.
    ListCommand(sheet, 57632);
    SelectRow(sheet, EditingTimeRow);
    ListCommand(sheet, 1061);
    EXPECT_FALSE(Entry(sheet, DateSavedRow).modified);
    EXPECT_FALSE(Entry(sheet, EditingTimeRow).modified);
    EXPECT_FALSE(sheet.ApplyEnabled());

    // Without a selected row no command does anything.
    ListView_SetItemState(ListWindow(sheet), -1, 0, LVIS_SELECTED);
    for (WORD command : {57632, 1051, 1052, 1053, 1054, 1055, 1056, 1061})
        ListCommand(sheet, command);
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(MetadataCommandTest, CopyPutsTheShownTextOnTheClipboard)
{
    SelectRow(sheet, ContentCreatedRow);
    ListCommand(sheet, 57634);
    EXPECT_EQ(ClipboardText(), PickerText(ContentCreatedValue()));
    SelectRow(sheet, EditingTimeRow);
    ListCommand(sheet, 57634);
    EXPECT_EQ(ClipboardText(), L"1:02:03");
    EXPECT_FALSE(sheet.ApplyEnabled());
}

} // namespace
