#include "engine/InternetDate.h"

#include "engine/RegexSpace.h"
#include "platform/SystemLibrary.h"

#include <wininet.h>

#include <exception>
#include <regex>
#include <string>

namespace {

// wininet.dll is bound when an HTTP date is first read; where it is missing, none is read.
bool InternetTimeToCalendar(const wchar_t* text, SYSTEMTIME& calendar)
{
    static const auto call =
        InternetLibrary().Find<decltype(&::InternetTimeToSystemTimeW)>("InternetTimeToSystemTimeW");
    return call && call(text, &calendar, 0);
}

// Where each field stands among a form's capture groups.
struct HttpDateForm {
    const wchar_t* pattern;
    int day, month, year, hour, minute, second;
};

const HttpDateForm HttpDateForms[] = {
    // RFC 1123
    {LR"(\s*(?:Mon|Tue|Wed|Thu|Fri|Sat|Sun),\s*(\d{1,2})\s+(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec))"
     LR"(\s+(\d{4})\s+(\d{1,2}):(\d{2}):(\d{2})(?:\s+GMT)?\s*)",
     1, 2, 3, 4, 5, 6},
    // RFC 850
    {LR"(\s*(?:Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday),\s*(\d{2}))"
     LR"(-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-(\d{2})\s+(\d{2}):(\d{2}):(\d{2})\s+GMT\s*)",
     1, 2, 3, 4, 5, 6},
    // asctime
    {LR"(\s*(?:Mon|Tue|Wed|Thu|Fri|Sat|Sun)\s+(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec))"
     LR"(\s+(\d{1,2})\s+(\d{2}):(\d{2}):(\d{2})\s+(\d{4})\s*)",
     2, 1, 6, 3, 4, 5},
};

// Far longer than any HTTP date, even with generous white space inside: a longer text is no
// such date, and the pattern engine's recursion stays bounded.
constexpr std::size_t LongestHttpDate = 128;

int MonthNumber(const std::wstring& name)
{
    static const wchar_t* const names[] = {L"jan", L"feb", L"mar", L"apr", L"may", L"jun",
                                           L"jul", L"aug", L"sep", L"oct", L"nov", L"dec"};
    for (int i = 0; i < 12; ++i)
        if (::CompareStringOrdinal(name.c_str(), -1, names[i], -1, TRUE) == CSTR_EQUAL)
            return i + 1;
    return 0;
}

int Number(const std::wstring& digits)
{
    int value = 0;
    for (wchar_t c : digits)
        value = value * 10 + (c - L'0');
    return value;
}

bool AgreesWithText(const SYSTEMTIME& parsed, const std::wcmatch& match, const HttpDateForm& form)
{
    const std::wstring year = match[form.year].str();
    const bool yearAgrees = year.size() == 2 ? parsed.wYear % 100 == Number(year) : parsed.wYear == Number(year);
    return yearAgrees && parsed.wMonth == MonthNumber(match[form.month].str()) &&
           parsed.wDay == Number(match[form.day].str()) && parsed.wHour == Number(match[form.hour].str()) &&
           parsed.wMinute == Number(match[form.minute].str()) && parsed.wSecond == Number(match[form.second].str());
}

} // namespace

bool ParseInternetDate(const wchar_t* text, CalendarTime& utc)
{
    if (!text)
        return false;
    try {
        const std::wstring_view core = TrimRegexSpace(text);
        if (core.size() > LongestHttpDate)
            return false;
        for (const HttpDateForm& form : HttpDateForms) {
            const std::wregex expression(form.pattern, std::regex_constants::ECMAScript | std::regex_constants::icase);
            std::wcmatch match;
            if (!std::regex_match(core.data(), core.data() + core.size(), match, expression))
                continue;
            // The digits of the text must be ASCII for the comparison with the parser's answer.
            for (std::size_t group = 1; group < match.size(); ++group)
                for (wchar_t c : match[group].str())
                    if (c > 0x7F)
                        return false;
            SYSTEMTIME parsed = {};
            const std::wstring date(core);
            if (!InternetTimeToCalendar(date.c_str(), parsed) || !AgreesWithText(parsed, match, form))
                return false;
            utc = parsed;
            return true;
        }
    } catch (const std::exception&) {
    }
    return false;
}
