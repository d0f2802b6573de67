#include "ui/DateTimePickerCtrlEx.h"

#include "engine/DirectionMarks.h"
#include "engine/InternetDate.h"
#include "engine/TimestampText.h"
#include "ui/TextFormat.h"

namespace {

// The instant an HTTP or ISO 8601 date names with its offset; nothing for any other text,
// such as a reading of the local clock, which names no one instant in the repeated hour.
std::optional<FileTime> InstantNamedBy(const wchar_t* text)
{
    std::wstring cleaned(text);
    RemoveDirectionMarks(cleaned);
    CalendarTime utc = {};
    if (!ParseInternetDate(cleaned.c_str(), utc) && !ParseIso8601Timestamp(cleaned.c_str(), utc))
        return std::nullopt;
    FILETIME converted = {};
    if (!::SystemTimeToFileTime(&utc, &converted))
        return std::nullopt;
    return FromFILETIME(converted);
}

bool SameReading(const CalendarTime& a, const CalendarTime& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute && a.wSecond == b.wSecond;
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

    const auto* text = reinterpret_cast<LPCWSTR>(lParam);
    CalendarTime time = {};
    DWORD flag = GDT_VALID;
    if (text && *text) {
        flag = static_cast<DWORD>(SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)));
        // Text nobody reads leaves the value, and the caller learns that it was not taken.
        if (!ParseTimestampText(text, time, flag))
            return controlResult;
    } else {
        ::GetLocalTime(&time);
    }
    if (SendMessage(DTM_SETSYSTEMTIME, flag, reinterpret_cast<LPARAM>(&time))) {
        m_exact = text && *text ? InstantNamedBy(text) : std::nullopt;
        return 1;
    }
    return controlResult;
}

LRESULT CDateTimePickerCtrlExImpl::OnUserString(int, LPNMHDR header, BOOL&)
{
    auto* request = reinterpret_cast<NMDATETIMESTRINGW*>(header);
    // A time of day alone goes on the date the picker shows, whatever the record starts with.
    CalendarTime time = request->st;
    DWORD flag = request->dwFlags;
    CalendarTime shown = {};
    if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)) == GDT_VALID) {
        time = shown;
        flag = GDT_VALID;
    }
    if (ParseTimestampText(request->pszUserString, time, flag)) {
        request->st = time;
        request->dwFlags = flag;
        m_exact = InstantNamedBy(request->pszUserString);
    }
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

int CDateTimePickerCtrlEx::GetExactPickerFileTime(FileTime& utc) const
{
    CalendarTime shown = {};
    const LRESULT flag = SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    CalendarTime given = {};
    if (flag == GDT_VALID && m_exact && UtcFileTimeToLocalCalendar(*m_exact - *m_exact % TicksPerSecond, given) &&
        SameReading(shown, given)) {
        utc = *m_exact;
        return GDT_VALID;
    }
    return GetPickerFileTime(utc);
}

LRESULT CDateTimePickerCtrlEx::SetPickerFileTime(DWORD flag, FileTime utc)
{
    CalendarTime local = {};
    if (!UtcFileTimeToLocalCalendar(utc - utc % TicksPerSecond, local))
        return 0;
    local.wMilliseconds = 0;
    const LRESULT result = SendMessage(DTM_SETSYSTEMTIME, flag, reinterpret_cast<LPARAM>(&local));
    if (!result || flag != GDT_VALID)
        return result;
    // A date outside the control's range is answered with success but not taken, so the
    // value is read back.
    CalendarTime shown = {};
    if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)) != GDT_VALID)
        return 0;
    if (!SameReading(shown, local))
        return 0;
    m_exact = utc;
    return result;
}
