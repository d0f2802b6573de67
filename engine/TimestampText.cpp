#include "engine/TimestampText.h"

#include "engine/DirectionMarks.h"
#include "engine/InternetDate.h"
#include "platform/Result.h"
#include "platform/SystemLibrary.h"
#include "engine/PropertyValueText.h"

#include <commctrl.h>
#include <oleauto.h>

#include <exception>
#include <string>

namespace {

// oleaut32.dll is bound when a typed date is first read; where it is missing, no text reads as
// a date of the locale.
HRESULT DateFromLocaleText(const wchar_t* text, DATE& date)
{
    static const auto call = OleAutomationLibrary().Find<decltype(&::VarDateFromStr)>("VarDateFromStr");
    if (!call)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    // The platform's declaration lacks const; the text is only read.
    return call(const_cast<wchar_t*>(text), LOCALE_USER_DEFAULT, 0, &date);
}

bool DateToCalendar(DATE date, SYSTEMTIME& calendar)
{
    static const auto call =
        OleAutomationLibrary().Find<decltype(&::VariantTimeToSystemTime)>("VariantTimeToSystemTime");
    return call && call(date, &calendar);
}

HRESULT ParseLocaleDate(const std::wstring& text, DATE& date)
{
    return DateFromLocaleText(text.c_str(), date);
}

bool UtcCalendarToLocal(const CalendarTime& utc, CalendarTime& local)
{
    return ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) != FALSE;
}

// The locale parser puts a text without a date on day 0 (1899-12-30); a text that does name
// that day has to write its year out, since two-digit years never reach back to 1899.
bool IsTimeOfDayOnly(const std::wstring& text, DATE date)
{
    return date >= 0.0 && date < 1.0 && text.find(L"1899") == std::wstring::npos;
}

// `parsed` (a time of day on day 0) moved to the date of `time`, or today's when `flag` says
// the picker holds no date.
CalendarTime OnShownDate(const CalendarTime& parsed, const CalendarTime& time, DWORD flag)
{
    CalendarTime result = time;
    if (flag != GDT_VALID)
        ::GetLocalTime(&result);
    result.wHour = parsed.wHour;
    result.wMinute = parsed.wMinute;
    result.wSecond = parsed.wSecond;
    result.wMilliseconds = 0;
    return result;
}

} // namespace

bool ParseTimestampText(const wchar_t* text, CalendarTime& time, DWORD& flag)
{
    if (!text)
        return false;
    try {
        std::wstring cleaned(text);
        RemoveDirectionMarks(cleaned);

        DATE date;
        const HRESULT localeResult = ParseLocaleDate(cleaned, date);
        if (SUCCEEDED(localeResult)) {
            CalendarTime local;
            if (!DateToCalendar(date, local))
                return false;
            if (IsTimeOfDayOnly(cleaned, date))
                local = OnShownDate(local, time, flag);
            FileTime utc;
            // A local time that names no instant from 1601 on is no timestamp.
            if (!LocalCalendarToUtcFileTime(local, utc))
                return false;
            time = local;
            flag = GDT_VALID;
            return true;
        }
        if (localeResult != DISP_E_TYPEMISMATCH)
            return false;

        CalendarTime utc;
        CalendarTime local;
        if (!ParseInternetDate(cleaned.c_str(), utc) && !ParseIso8601Timestamp(cleaned.c_str(), utc))
            return false;
        if (!UtcCalendarToLocal(utc, local))
            return false;
        time = local;
        flag = GDT_VALID;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

HRESULT ParseDateValueText(const wchar_t* text, PROPVARIANT* value)
{
    HRESULT early = S_OK;
    if (!StartPropertyValueParse(text, value, early))
        return early;

    DATE date;
    const HRESULT parsed = DateFromLocaleText(text, date);
    if (FAILED(parsed))
        return parsed;

    CalendarTime local;
    CalendarTime utc;
    ::SetLastError(ERROR_SUCCESS);
    if (!DateToCalendar(date, local) || !::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc))
        return LastErrorResult();
    if (utc.wYear < 1601 || utc.wYear > 9999)
        return DISP_E_OVERFLOW;
    FILETIME fileTime;
    if (!::SystemTimeToFileTime(&utc, &fileTime))
        return LastErrorResult();
    // What InitPropVariantFromFileTime does, without linking the property-system library.
    value->vt = VT_FILETIME;
    value->filetime = fileTime;
    return S_OK;
}
