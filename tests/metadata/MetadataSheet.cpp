#include "tests/metadata/MetadataSheet.h"

#include "engine/TimestampText.h"
#include "framework/Module.h"
#include "platform/Handles.h"
#include "tests/support/PrivateDesktop.h"

#include <gtest/gtest.h>

MetadataSheet::MetadataSheet(void (*prepare)(FakePropertySystem&))
{
    m_file = m_folder.MakeFile(L"plan.docx");
    m_store = std::make_unique<FakePropertySystem>(m_file);
    if (prepare)
        prepare(*m_store);
    AppModule().AddMessageLoop(&m_loop);
}

MetadataSheet::~MetadataSheet()
{
    if (m_window && ::IsWindow(m_window))
        ::DestroyWindow(m_window);
    PumpPendingMessages();
    m_sheet.reset();
    AppModule().RemoveMessageLoop();
}

bool MetadataSheet::Create()
{
    m_sheet = std::make_unique<CDialog>(m_file, *m_store);
    m_window = m_sheet->Create();
    Pump();
    return m_window != nullptr;
}

void MetadataSheet::ShowMetadataTab()
{
    ::SendMessageW(m_window, PSM_SETCURSEL, 1, 0);
    Pump();
}

void MetadataSheet::Pump()
{
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        if (m_loop.PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void MetadataSheet::PressKey(HWND window, WPARAM key)
{
    const UINT scan = ::MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    ::PostMessageW(window, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    ::PostMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | 0xC0000000u));
    Pump();
}

void MetadataSheet::SelectRow(int row)
{
    ListView_SetItemState(ListWindow(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::wstring MetadataSheet::Cell(int row, int column)
{
    wchar_t text[256] = L"";
    ListView_GetItemText(ListWindow(), row, column, text, 256);
    return text;
}

void MetadataSheet::SetValueCell(int row, const std::wstring& text)
{
    // Wine's list compares the new text with the old one ignoring direction marks, and keeps
    // the old text when they match that way.
    List().SetValueText(static_cast<std::size_t>(row), std::wstring());
    List().SetValueText(static_cast<std::size_t>(row), text);
}

bool MetadataSheet::ApplyEnabled()
{
    return ::IsWindowEnabled(::GetDlgItem(m_window, kApplyNowButton)) != FALSE;
}

void MetadataSheet::PressApply()
{
    ::SendMessageW(::GetDlgItem(m_window, kApplyNowButton), BM_CLICK, 0, 0);
    Pump();
}

void MetadataSheet::Command(WORD id)
{
    ::PostMessageW(ListWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
}

int TabCount(HWND sheet)
{
    HWND tabs = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
}

std::wstring TabText(HWND sheet, int index)
{
    HWND tabs = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    wchar_t text[64] = L"";
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ::SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::wstring ColumnTitle(HWND list, int column)
{
    wchar_t text[64] = L"";
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ListView_GetColumn(list, column, &item);
    return text;
}

std::wstring PickerText(std::uint64_t utc)
{
    FILETIME ft{static_cast<DWORD>(utc & 0xFFFFFFFFu), static_cast<DWORD>(utc >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&ft, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return std::wstring();
    wchar_t date[40] = L"";
    wchar_t time[40] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 40);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, 40);
    return std::wstring(date) + L" " + time;
}

std::uint64_t ParsedDate(const std::wstring& text)
{
    PropVariantValue value;
    if (FAILED(ParseDateValueText(text.c_str(), value.get())) || value.value().vt != VT_FILETIME)
        return 0;
    const FILETIME ft = value.value().filetime;
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

NMDATETIMESTRINGW SendUserString(HWND page, HWND picker, const wchar_t* text, LRESULT& result)
{
    NMDATETIMESTRINGW request{};
    request.nmhdr.hwndFrom = picker;
    request.nmhdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(picker));
    request.nmhdr.code = DTN_USERSTRINGW;
    request.pszUserString = text;
    request.dwFlags = static_cast<DWORD>(
        ::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&request.st)));
    ::SendMessageW(page, WM_NOTIFY, request.nmhdr.idFrom, reinterpret_cast<LPARAM>(&request));
    result = ::GetWindowLongPtrW(page, DWLP_MSGRESULT);
    return request;
}

bool HasFocusWithin(HWND window)
{
    HWND focus = ::GetFocus();
    return focus && (focus == window || ::IsChild(window, focus));
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        GlobalLockScope lock(data);
        if (lock.data())
            text = static_cast<const wchar_t*>(lock.data());
    }
    ::CloseClipboard();
    return text;
}

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

} // namespace
