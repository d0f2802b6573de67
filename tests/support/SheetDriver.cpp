#include "tests/support/SheetDriver.h"

#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <utility>

SheetDriver::SheetDriver(std::wstring target) : SheetDriver(std::vector<std::wstring>{std::move(target)}) {}

SheetDriver::SheetDriver(std::vector<std::wstring> targets) : m_targets(std::move(targets)), m_properties(nullptr)
{
    AppModule().AddMessageLoop(&m_loop);
}

SheetDriver::SheetDriver(std::wstring target, PropertySystem& properties)
    : m_targets{std::move(target)}, m_properties(&properties)
{
    AppModule().AddMessageLoop(&m_loop);
}

SheetDriver::~SheetDriver()
{
    if (IsOpen())
        ::DestroyWindow(m_window);
    Pump();
    m_sheet.reset();
    AppModule().RemoveMessageLoop();
}

CDialog& SheetDriver::Sheet()
{
    if (!m_sheet) {
        m_sheet =
            m_properties ? std::make_unique<CDialog>(m_targets, *m_properties) : std::make_unique<CDialog>(m_targets);
    }
    return *m_sheet;
}

bool SheetDriver::Create()
{
    m_window = Sheet().Create();
    Pump();
    return m_window != nullptr;
}

bool SheetDriver::IsOpen() const
{
    return m_window && ::IsWindow(m_window);
}

int SheetDriver::TabCount() const
{
    HWND tabs = reinterpret_cast<HWND>(::SendMessageW(m_window, PSM_GETTABCONTROL, 0, 0));
    return tabs ? static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring SheetDriver::TabText(int index) const
{
    HWND tabs = reinterpret_cast<HWND>(::SendMessageW(m_window, PSM_GETTABCONTROL, 0, 0));
    wchar_t text[64] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ::SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

HWND SheetDriver::PageWindow(int index) const
{
    return reinterpret_cast<HWND>(::SendMessageW(m_window, PSM_INDEXTOHWND, static_cast<WPARAM>(index), 0));
}

int SheetDriver::PageIndex(HWND page) const
{
    return static_cast<int>(::SendMessageW(m_window, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

HWND SheetDriver::CurrentPage() const
{
    return reinterpret_cast<HWND>(::SendMessageW(m_window, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void SheetDriver::ShowPage(int index)
{
    ::SendMessageW(m_window, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Pump();
}

bool SheetDriver::ApplyEnabled() const
{
    return ::IsWindowEnabled(::GetDlgItem(m_window, kApplyNowButton)) != FALSE;
}

void SheetDriver::Press(int button)
{
    // A click: Wine's PSM_PRESSBUTTON for OK bypasses WM_COMMAND, by which the modeless sheet
    // learns that it has finished.
    ::SendMessageW(::GetDlgItem(m_window, button), BM_CLICK, 0, 0);
    Pump();
}

void SheetDriver::PressApply()
{
    Press(kApplyNowButton);
}

void SheetDriver::CloseFromSystemMenu()
{
    ::SendMessageW(m_window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}

std::optional<int> SheetDriver::Pump()
{
    std::optional<int> quit;
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = static_cast<int>(msg.wParam);
            continue;
        }
        if (m_loop.PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (quit)
        m_quit = quit;
    return quit;
}

void SheetDriver::PressKey(HWND window, WPARAM key)
{
    const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    ::PostMessageW(window, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
    Pump();
}

void SelectOperation(HWND page, int comboId, int index)
{
    HWND combo = ::GetDlgItem(page, comboId);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

LRESULT SelectedOperation(HWND page, int comboId)
{
    return ::SendDlgItemMessageW(page, comboId, CB_GETCURSEL, 0, 0);
}

int OperationCount(HWND page, int comboId)
{
    return static_cast<int>(::SendDlgItemMessageW(page, comboId, CB_GETCOUNT, 0, 0));
}

std::wstring OperationText(HWND page, int comboId, int index)
{
    wchar_t text[256] = {};
    if (::SendDlgItemMessageW(page, comboId, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 256)
        return std::wstring();
    ::SendDlgItemMessageW(page, comboId, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

FileTime PickerUtc(HWND picker)
{
    SYSTEMTIME local{};
    if (::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&local)) != GDT_VALID)
        return InvalidFileTime;
    FileTime utc = InvalidFileTime;
    if (!LocalCalendarToUtcFileTime(local, utc))
        return InvalidFileTime;
    return utc;
}

bool SetPickerUtc(HWND picker, FileTime utc)
{
    SYSTEMTIME local{};
    return UtcFileTimeToLocalCalendar(utc, local) &&
           ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local)) != 0;
}

namespace {

void ReportPickerChange(HWND page, HWND picker)
{
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(picker));
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags =
        static_cast<DWORD>(::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&change.st)));
    ::SendMessageW(page, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

} // namespace

void EditPicker(HWND page, int pickerId, FileTime utc)
{
    HWND picker = ::GetDlgItem(page, pickerId);
    ASSERT_TRUE(SetPickerUtc(picker, utc));
    ReportPickerChange(page, picker);
}

FileTime PickerValue(HWND page, int pickerId)
{
    return PickerUtc(::GetDlgItem(page, pickerId));
}

bool PickerEnabled(HWND page, int pickerId)
{
    return ::IsWindowEnabled(::GetDlgItem(page, pickerId)) != FALSE;
}

NMDATETIMESTRINGW SendUserString(HWND picker, const wchar_t* text, LRESULT* result, HWND receiver)
{
    NMDATETIMESTRINGW request{};
    request.nmhdr.hwndFrom = picker;
    request.nmhdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(picker));
    request.nmhdr.code = DTN_USERSTRINGW;
    request.pszUserString = text;
    request.dwFlags =
        static_cast<DWORD>(::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&request.st)));
    const LRESULT answer = ::SendMessageW(receiver ? receiver : ::GetParent(picker), WM_NOTIFY, request.nmhdr.idFrom,
                                          reinterpret_cast<LPARAM>(&request));
    if (result)
        *result = answer;
    return request;
}

void TypeIntoPicker(HWND page, int pickerId, const wchar_t* text)
{
    HWND picker = ::GetDlgItem(page, pickerId);
    const NMDATETIMESTRINGW answer = SendUserString(picker, text);
    if (answer.dwFlags == GDT_VALID)
        ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&answer.st));
    ReportPickerChange(page, picker);
}

void Click(HWND page, int buttonId)
{
    ::SendMessageW(::GetDlgItem(page, buttonId), BM_CLICK, 0, 0);
}

bool Checked(HWND page, int buttonId)
{
    return ::SendDlgItemMessageW(page, buttonId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Visible(HWND page, int controlId)
{
    return (::GetWindowLongW(::GetDlgItem(page, controlId), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring ControlText(HWND page, int controlId)
{
    return WindowText(::GetDlgItem(page, controlId));
}

FileTimes TimesOf(const std::wstring& path)
{
    FileTimes times{};
    EXPECT_TRUE(ReadFileTimes(path.c_str(), times)) << testing::PrintToString(path);
    return times;
}

void SetTimes(const std::wstring& path, FileTime creation, FileTime lastAccess, FileTime lastWrite)
{
    ASSERT_TRUE(WriteFileTimes(path.c_str(), FileTimes{creation, lastAccess, lastWrite}))
        << testing::PrintToString(path);
}
