#include "engine/TimestampText.h"

#include "engine/InternetDate.h"
#include "engine/PropertyValueText.h"

#include <commctrl.h>
#include <oleauto.h>

#include <exception>
#include <string>

namespace {

constexpr wchar_t LeftToRightMark = 0x200E;
constexpr wchar_t RightToLeftMark = 0x200F;

// The last error as a result code; a step that failed without setting one still fails.
HRESULT LastErrorResult()
{
    const HRESULT code = HRESULT_FROM_WIN32(::GetLastError());
    return FAILED(code) ? code : E_FAIL;
}

HRESULT ParseLocaleDate(const std::wstring& text, DATE& date)
{
    // The platform's declaration lacks const; the text is only read.
    return ::VarDateFromStr(const_cast<wchar_t*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &date);
}

bool UtcCalendarToLocal(const CalendarTime& utc, CalendarTime& local)
{
    return ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) != FALSE;
}

} // namespace

void ParseTimestampText(const wchar_t* text, CalendarTime& time, DWORD& flag)
{
    if (!text)
        return;
    try {
        std::wstring cleaned;
        for (const wchar_t* p = text; *p; ++p)
            if (*p != LeftToRightMark && *p != RightToLeftMark)
                cleaned += *p;

        DATE date;
        const HRESULT localeResult = ParseLocaleDate(cleaned, date);
        if (SUCCEEDED(localeResult)) {
            CalendarTime local;
            FileTime utc;
            // A local time that names no instant from 1601 on is no timestamp.
            if (::VariantTimeToSystemTime(date, &local) && LocalCalendarToUtcFileTime(local, utc)) {
                time = local;
                flag = GDT_VALID;
            }
            return;
        }
        if (localeResult != DISP_E_TYPEMISMATCH)
            return;

        CalendarTime utc;
        CalendarTime local;
        if (ParseInternetDate(cleaned.c_str(), utc)) {
            if (UtcCalendarToLocal(utc, local)) {
                time = local;
                flag = GDT_VALID;
            }
            return;
        }
        if (ParseIso8601Timestamp(cleaned.c_str(), utc) && UtcCalendarToLocal(utc, local)) {
            time = local;
            flag = GDT_VALID;
        }
    } catch (const std::exception&) {
    }
}

HRESULT ParseDateValueText(const wchar_t* text, PROPVARIANT* value)
{
    HRESULT early = S_OK;
    if (!StartPropertyValueParse(text, value, early))
        return early;

    DATE date;
    const HRESULT parsed = ::VarDateFromStr(const_cast<wchar_t*>(text), LOCALE_USER_DEFAULT, 0, &date);
    if (FAILED(parsed))
        return parsed;

    CalendarTime local;
    CalendarTime utc;
    ::SetLastError(ERROR_SUCCESS);
    if (!::VariantTimeToSystemTime(date, &local) || !::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc))
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
