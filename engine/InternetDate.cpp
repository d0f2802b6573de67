#include "engine/InternetDate.h"

#include "engine/DateTextForms.h"
#include "platform/SystemLibrary.h"

#include <wininet.h>

#include <exception>
#include <string>

namespace {

// wininet.dll is bound when an HTTP date is first read; where it is missing, none is read.
bool InternetTimeToCalendar(const wchar_t* text, SYSTEMTIME& calendar)
{
    static const auto call =
        InternetLibrary().Find<decltype(&::InternetTimeToSystemTimeW)>("InternetTimeToSystemTimeW");
    return call && call(text, &calendar, 0);
}

// RFC 1123, RFC 850 and asctime, in this order.
bool (*const HttpDateForms[])(std::wstring_view, HttpDateFields&) = {ReadRfc1123Form, ReadRfc850Form, ReadAsctimeForm};

// Far longer than any HTTP date, even with generous white space inside: a longer text is no
// such date.
constexpr std::size_t LongestHttpDate = 128;

int MonthNumber(std::wstring_view name)
{
    static const wchar_t* const names[] = {L"jan", L"feb", L"mar", L"apr", L"may", L"jun",
                                           L"jul", L"aug", L"sep", L"oct", L"nov", L"dec"};
    for (int i = 0; i < 12; ++i)
        if (::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), names[i], -1, TRUE) == CSTR_EQUAL)
            return i + 1;
    return 0;
}

int Number(std::wstring_view digits)
{
    int value = 0;
    for (wchar_t c : digits)
        value = value * 10 + (c - L'0');
    return value;
}

bool AgreesWithText(const SYSTEMTIME& parsed, const HttpDateFields& fields)
{
    const bool yearAgrees =
        fields.year.size() == 2 ? parsed.wYear % 100 == Number(fields.year) : parsed.wYear == Number(fields.year);
    return yearAgrees && parsed.wMonth == MonthNumber(fields.month) && parsed.wDay == Number(fields.day) &&
           parsed.wHour == Number(fields.hour) && parsed.wMinute == Number(fields.minute) &&
           parsed.wSecond == Number(fields.second);
}

} // namespace

bool ParseInternetDate(const wchar_t* text, CalendarTime& utc)
{
    if (!text)
        return false;
    try {
        const std::wstring_view core = TrimTextSpace(text);
        if (core.size() > LongestHttpDate)
            return false;
        for (const auto read : HttpDateForms) {
            HttpDateFields fields;
            if (!read(core, fields))
                continue;
            SYSTEMTIME parsed = {};
            const std::wstring date(core);
            if (!InternetTimeToCalendar(date.c_str(), parsed) || !AgreesWithText(parsed, fields))
                return false;
            utc = parsed;
            return true;
        }
    } catch (const std::exception&) {
    }
    return false;
}
