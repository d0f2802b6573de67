#include "engine/FileTimeAccess.h"
#include "pages/GeneralPage.h"
#include "tests/pages/PagesTestSupport.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Controls of the platform's file dialog as Wine builds it.
constexpr int kFileNameBox = 1152;

struct ChildSearch {
    const wchar_t* className;
    const wchar_t* text; // null: any
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM context)
{
    auto* search = reinterpret_cast<ChildSearch*>(context);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (_wcsicmp(name, search->className) != 0 || (search->text && ControlText(child) != search->text) ||
        (search->visibleOnly && !::IsWindowVisible(child)))
        return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text = nullptr, bool visibleOnly = false)
{
    ChildSearch search{className, text, visibleOnly, nullptr};
    ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ResourceText(UINT id)
{
    wchar_t text[128] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), id, text, 128);
    return text;
}

// Waits up to `seconds` for `condition`, polling.
bool WaitFor(const std::function<bool()>& condition, int seconds = 10)
{
    for (int i = 0; i < seconds * 20; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// A user on another thread: finds the "Use Timestamp Of" dialog, acts on it, and, should the
// dialog still be open some time after that, cancels it, so that a test never hangs.
class DialogUser {
public:
    explicit DialogUser(std::function<void(HWND dialog)> acts) : m_thread([this, acts = std::move(acts)] { Run(acts); })
    {
    }
    ~DialogUser() { Finish(); }

    void Finish()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    bool FoundDialog() const { return m_found; }
    bool HadToCancel() const { return m_cancelled; }
    std::vector<std::wstring> BoxTexts()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_boxTexts;
    }

private:
    void Run(const std::function<void(HWND)>& acts)
    {
        const std::wstring title = ResourceText(IDS_USE_TIMESTAMP_OF);
        HWND dialog = nullptr;
        if (WaitFor([&] { return m_done || (dialog = ::FindWindowW(nullptr, title.c_str())) != nullptr; }, 30) &&
            dialog) {
            m_found = true;
            WaitFor([&] { return ::IsWindowVisible(dialog) != FALSE; });
            acts(dialog);
            if (!WaitFor([&] { return m_done || !::IsWindow(dialog); }, 20)) {
                m_cancelled = true;
                ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        }
        // Message boxes the program shows afterwards are noted and answered.
        const std::wstring product = ResourceText(IDS_PRODUCT_NAME);
        while (!m_done) {
            HWND box = ::FindWindowW(L"#32770", product.c_str());
            if (box && ::GetDlgItem(box, 0xFFFF)) {
                {
                    std::lock_guard<std::mutex> lock(m_lock);
                    m_boxTexts.push_back(ControlText(::GetDlgItem(box, 0xFFFF)));
                }
                ::SendMessageW(box, WM_COMMAND, IDOK, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::atomic<bool> m_done{false};
    std::atomic<bool> m_found{false};
    std::atomic<bool> m_cancelled{false};
    std::mutex m_lock;
    std::vector<std::wstring> m_boxTexts;
    std::thread m_thread;
};

void TypeName(HWND dialog, const std::wstring& text)
{
    ::SendDlgItemMessageW(dialog, kFileNameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PressButton(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

class RealBrowseDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        holiday = temp.MakeFolder(L"Holiday");
        letter = temp.MakeFile(L"letter.txt");
        target = temp.MakeFile(L"target.txt");
        SetTimes(holiday, UtcTime(2011, 2, 3, 4, 5, 6, 789), UtcTime(2012, 3, 4, 5, 6, 7, 891),
                 UtcTime(2013, 4, 5, 6, 7, 8, 912) + 77);
        SetTimes(letter, UtcTime(2001, 1, 1, 1, 1, 1), UtcTime(2002, 2, 2, 2, 2, 2, 200) + 99,
                 UtcTime(2003, 3, 3, 3, 3, 3, 300) + 9);
    }

    // The General page's rows after "Browse" took `times`.
    static void ExpectRowsTook(SheetDriver& open, const FileTimes& times)
    {
        HWND page = open.GeneralWindow();
        constexpr int combos[] = {IDC_CREATED_OPERATION, IDC_ACCESSED_OPERATION, IDC_MODIFIED_OPERATION};
        constexpr int pickers[] = {IDC_CREATED_VALUE, IDC_ACCESSED_VALUE, IDC_MODIFIED_VALUE};
        for (int k = 0; k < TimestampKindCount; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(SelectedOperation(page, combos[k]), OpSpecifiedDateTime);
            EXPECT_TRUE(PickerEnabled(page, pickers[k]));
            EXPECT_EQ(PickerValue(page, pickers[k]), times[k] - times[k] % TicksPerSecond);
            EXPECT_EQ(open.General().operation[k], OpSpecifiedDateTime);
            EXPECT_EQ(open.General().value[k], times[k]); // full precision until the page is left
        }
        EXPECT_TRUE(open.ApplyEnabled());
    }

    // No message-box capture here: it would answer the file dialog, a #32770 window too.
    TempFolder temp;
    std::wstring holiday, letter, target;
};

TEST_F(RealBrowseDialogTest, FileNameTypedAndOpenedFillsTheRowsAndApplyWritesTheTimesTaken)
{
    const FileTimes source = TimesOf(letter);
    SheetDriver open(target);
    ASSERT_TRUE(open.Create());
    ASSERT_FALSE(open.ApplyEnabled());
    std::atomic<bool> folderButtonDisabled{false};
    DialogUser user([&](HWND dialog) {
        HWND button = FindChild(dialog, L"Button", (L"     " + ResourceText(IDS_SELECT_FOLDER) + L"     ").c_str());
        folderButtonDisabled = button && !::IsWindowEnabled(button);
        TypeName(dialog, letter);
        PressButton(dialog, IDOK);
    });
    Click(open.GeneralWindow(), IDC_BROWSE);
    user.Finish();
    ASSERT_TRUE(user.FoundDialog());
    ASSERT_FALSE(user.HadToCancel());
    for (const std::wstring& text : user.BoxTexts())
        ADD_FAILURE() << "message box: " << testing::PrintToString(text);
    EXPECT_TRUE(folderButtonDisabled);
    ExpectRowsTook(open, source);

    // The pickers show whole seconds; the rows keep the times taken, ticks and all.
    open.PressApply();
    const FileTimes stored = TimesOf(target);
    EXPECT_EQ(stored[LastWrite], source[LastWrite]);
    EXPECT_EQ(stored[LastAccess], source[LastAccess]);
}

TEST_F(RealBrowseDialogTest, FolderSelectedInTheListIsTakenWithTheFolderButton)
{
    SheetDriver open(target);
    ASSERT_TRUE(open.Create());
    std::atomic<bool> enabledAfterSelection{false};
    std::atomic<bool> nameShown{false};
    DialogUser user([&](HWND dialog) {
        // Into the folder that holds it, then select it in the list.
        TypeName(dialog, temp.Path());
        PressButton(dialog, IDOK);
        // The folder change reaches the program after the new list shows and disables the
        // button again, and the old list may linger: select in the list on show until the
        // selection holds.
        HWND button = FindChild(dialog, L"Button", (L"     " + ResourceText(IDS_SELECT_FOLDER) + L"     ").c_str());
        for (int attempt = 0; attempt < 10 && !enabledAfterSelection; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            HWND list = FindChild(dialog, L"SysListView32", nullptr, true);
            LVFINDINFOW find{};
            find.flags = LVFI_STRING;
            find.psz = L"Holiday";
            const LRESULT index =
                list ? ::SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find))
                     : -1;
            if (index < 0)
                continue;
            LVITEMW item{};
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
            enabledAfterSelection = WaitFor([&] { return button && ::IsWindowEnabled(button); }, 1);
        }
        nameShown = ControlText(::GetDlgItem(dialog, kFileNameBox)) == L"Holiday";
        if (enabledAfterSelection)
            ::PostMessageW(button, BM_CLICK, 0, 0);
    });
    Click(open.GeneralWindow(), IDC_BROWSE);
    user.Finish();
    ASSERT_TRUE(user.FoundDialog());
    ASSERT_FALSE(user.HadToCancel());
    for (const std::wstring& text : user.BoxTexts())
        ADD_FAILURE() << "message box: " << testing::PrintToString(text);
    EXPECT_TRUE(enabledAfterSelection);
    EXPECT_TRUE(nameShown);
    // Read afterwards: listing folders in the dialog moves a folder's access time on Linux.
    const FileTimes source = TimesOf(holiday);
    EXPECT_EQ(source[LastWrite], UtcTime(2013, 4, 5, 6, 7, 8, 912) + 77);
    ExpectRowsTook(open, source);
}

TEST_F(RealBrowseDialogTest, RowWhosePickerCannotShowTheTakenTimeGetsDontChangeAndTheOthersStillLoad)
{
    const FileTimes own = TimesOf(target);
    const FileTimes source = TimesOf(letter);
    SheetDriver open(target);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    HWND accessed = ::GetDlgItem(page, IDC_ACCESSED_VALUE);
    MakePickerRefuseValues(accessed);
    DialogUser user([&](HWND dialog) {
        TypeName(dialog, letter);
        PressButton(dialog, IDOK);
    });
    Click(page, IDC_BROWSE);
    user.Finish();
    MakePickerTakeValues(accessed);
    ASSERT_TRUE(user.FoundDialog());
    ASSERT_FALSE(user.HadToCancel());
    for (const std::wstring& text : user.BoxTexts())
        ADD_FAILURE() << "message box: " << testing::PrintToString(text);

    constexpr int combos[] = {IDC_CREATED_OPERATION, IDC_ACCESSED_OPERATION, IDC_MODIFIED_OPERATION};
    constexpr int pickers[] = {IDC_CREATED_VALUE, IDC_ACCESSED_VALUE, IDC_MODIFIED_VALUE};
    for (int k : {Creation, LastWrite}) {
        SCOPED_TRACE(k);
        EXPECT_EQ(SelectedOperation(page, combos[k]), OpSpecifiedDateTime);
        EXPECT_TRUE(PickerEnabled(page, pickers[k]));
        EXPECT_EQ(PickerValue(page, pickers[k]), source[k] - source[k] % TicksPerSecond);
    }
    EXPECT_EQ(SelectedOperation(page, IDC_ACCESSED_OPERATION), OpDontChange);
    EXPECT_EQ(open.General().operation[LastAccess], OpDontChange);
    EXPECT_FALSE(PickerEnabled(page, IDC_ACCESSED_VALUE));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, IDC_ACCESSED_OPERATION));
    EXPECT_TRUE(open.ApplyEnabled());

    open.PressApply();
    const FileTimes stored = TimesOf(target);
    EXPECT_EQ(stored[LastWrite], source[LastWrite]);
    EXPECT_EQ(stored[LastAccess], own[LastAccess]);
}

TEST_F(RealBrowseDialogTest, CancelLeavesTheRowsAndTheApplyButtonAlone)
{
    SheetDriver open(target);
    ASSERT_TRUE(open.Create());
    HWND page = open.GeneralWindow();
    const FileTime shown = PickerValue(page, IDC_MODIFIED_VALUE);
    DialogUser user([&](HWND dialog) {
        TypeName(dialog, letter);
        PressButton(dialog, IDCANCEL);
    });
    Click(page, IDC_BROWSE);
    user.Finish();
    ASSERT_TRUE(user.FoundDialog());
    ASSERT_FALSE(user.HadToCancel());
    for (const std::wstring& text : user.BoxTexts())
        ADD_FAILURE() << "message box: " << testing::PrintToString(text);
    EXPECT_EQ(SelectedOperation(page, IDC_MODIFIED_OPERATION), OpDontChange);
    EXPECT_EQ(PickerValue(page, IDC_MODIFIED_VALUE), shown);
    EXPECT_FALSE(PickerEnabled(page, IDC_MODIFIED_VALUE));
    EXPECT_FALSE(open.ApplyEnabled());
}

} // namespace
