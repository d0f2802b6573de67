#include "pages/DateTimePickerCtrlEx.h"

#include "engine/TimestampText.h"

namespace {

// A locale string, or empty when it cannot be read.
std::wstring UserLocaleText(LCTYPE type)
{
    const int size = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(size), L'\0');
    const int copied = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), size);
    text.resize(copied > 0 ? static_cast<size_t>(copied - 1) : 0);
    return text;
}

} // namespace

const std::wstring& PickerDisplayFormat()
{
    // The locale's picture letters and quoted text are those of the picker's format strings.
    static const std::wstring format = UserLocaleText(LOCALE_SSHORTDATE) + L' ' + UserLocaleText(LOCALE_STIMEFORMAT);
    return format;
}

bool CDateTimePickerCtrlExImpl::SubclassPicker(HWND picker)
{
    if (!SubclassWindow(picker))
        return false;
    SendMessage(DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(PickerDisplayFormat().c_str()));
    return true;
}

LRESULT CDateTimePickerCtrlExImpl::OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT controlResult = DefWindowProc(uMsg, wParam, lParam);
    if (controlResult == 1)
        return 1;

    NMDATETIMESTRINGW request = {};
    request.nmhdr.hwndFrom = m_hWnd;
    request.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    request.nmhdr.code = DTN_USERSTRINGW;
    request.pszUserString = reinterpret_cast<LPCWSTR>(lParam);
    if (request.pszUserString && *request.pszUserString) {
        request.dwFlags = static_cast<DWORD>(SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&request.st)));
        ParseTimestampText(request.pszUserString, request.st, request.dwFlags);
    } else {
        ::GetLocalTime(&request.st);
        request.dwFlags = GDT_VALID;
    }
    if (SendMessage(DTM_SETSYSTEMTIME, request.dwFlags, reinterpret_cast<LPARAM>(&request.st)))
        return 1;
    return controlResult;
}

LRESULT CDateTimePickerCtrlExImpl::OnUserString(int, LPNMHDR header, BOOL&)
{
    auto* request = reinterpret_cast<NMDATETIMESTRINGW*>(header);
    ParseTimestampText(request->pszUserString, request->st, request->dwFlags);
    return 0;
}

int CDateTimePickerCtrlEx::GetPickerFileTime(FileTime& utc) const
{
    CalendarTime local = {};
    const LRESULT flag = SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&local));
    if (flag != GDT_VALID)
        return static_cast<int>(flag);
    local.wMilliseconds = 0;
    FileTime converted = 0;
    if (!LocalCalendarToUtcFileTime(local, converted))
        return -1;
    utc = converted;
    return GDT_VALID;
}

LRESULT CDateTimePickerCtrlEx::SetPickerFileTime(DWORD flag, FileTime utc) const
{
    CalendarTime local = {};
    if (!UtcFileTimeToLocalCalendar(utc - utc % TicksPerSecond, local))
        return 0;
    local.wMilliseconds = 0;
    return SendMessage(DTM_SETSYSTEMTIME, flag, reinterpret_cast<LPARAM>(&local));
}
