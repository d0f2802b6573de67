#include "engine/TimestampText.h"

#include "engine/DateTextForms.h"

#include <cstdint>
#include <exception>
#include <string>

namespace {

// Tried in this order: the basic form, then the extended one.
bool (*const Iso8601Forms[])(std::wstring_view, IsoDateFields&) = {ReadIsoBasicForm, ReadIsoExtendedForm};

// "2024-01-31T12:34:56+09:00" without the white space around it.
constexpr std::size_t LongestIsoText = 25;

// Reads a fixed number of ASCII digits of the canonical text.
class CanonicalReader {
public:
    explicit CanonicalReader(const std::wstring& text) : text_(text) {}

    bool Digits(int count, int& value)
    {
        value = 0;
        for (int i = 0; i < count; ++i, ++position_) {
            if (position_ >= text_.size() || text_[position_] < L'0' || text_[position_] > L'9')
                return false;
            value = value * 10 + (text_[position_] - L'0');
        }
        return true;
    }

    bool Char(wchar_t expected)
    {
        if (position_ >= text_.size() || text_[position_] != expected)
            return false;
        ++position_;
        return true;
    }

    bool Sign(int& sign)
    {
        if (Char(L'+'))
            sign = 1;
        else if (Char(L'-'))
            sign = -1;
        else
            return false;
        return true;
    }

    [[nodiscard]] bool AtEnd() const { return position_ == text_.size(); }

private:
    const std::wstring& text_;
    std::size_t position_ = 0;
};

bool IsLeapYear(std::int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(std::int64_t year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2);
}

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

// "%Y%m%dT%H%M%S%z" -> seconds since 1970-01-01 00:00:00 UTC; false for a field out of range.
bool ParseCanonicalTimestamp(const std::wstring& text, std::int64_t& seconds)
{
    CanonicalReader reader(text);
    int year, month, day, hour, minute, second, sign, offsetHours, offsetMinutes;
    if (!reader.Digits(4, year) || !reader.Digits(2, month) || !reader.Digits(2, day) || !reader.Char(L'T') ||
        !reader.Digits(2, hour) || !reader.Digits(2, minute) || !reader.Digits(2, second) || !reader.Sign(sign) ||
        !reader.Digits(2, offsetHours) || !reader.Digits(2, offsetMinutes) || !reader.AtEnd())
        return false;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 || minute > 59 || second > 59)
        return false;
    const std::int64_t offsetSeconds = std::int64_t{sign} * (offsetHours * 60 + offsetMinutes) * 60;
    seconds = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
              std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second - offsetSeconds;
    return true;
}

bool SecondsToCalendar(std::int64_t seconds, CalendarTime& time)
{
    const std::int64_t days = FloorDivide(seconds, 86400);
    const std::int64_t secondOfDay = seconds - days * 86400;
    std::int64_t year;
    unsigned month, day;
    CivilFromDays(days, year, month, day);
    // An offset can carry year 0000 into year -1, which the calendar record cannot hold.
    if (year < 0 || year > 0xFFFF)
        return false;
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wDayOfWeek = static_cast<WORD>(((days + 4) % 7 + 7) % 7);
    time.wHour = static_cast<WORD>(secondOfDay / 3600);
    time.wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
    time.wSecond = static_cast<WORD>(secondOfDay % 60);
    time.wMilliseconds = 0;
    return true;
}

std::wstring FieldOr(std::wstring_view field, const wchar_t* absent)
{
    return field.empty() ? std::wstring(absent) : std::wstring(field);
}

} // namespace

bool ParseIso8601Timestamp(const wchar_t* text, CalendarTime& utc)
{
    if (!text)
        return false;
    try {
        const std::wstring_view core = TrimTextSpace(text);
        if (core.size() > LongestIsoText)
            return false;
        for (const auto read : Iso8601Forms) {
            IsoDateFields fields;
            if (!read(core, fields))
                continue;
            const std::wstring canonical = std::wstring(fields.year) + std::wstring(fields.month) +
                                           std::wstring(fields.day) + L"T" + std::wstring(fields.hour) +
                                           std::wstring(fields.minute) + FieldOr(fields.second, L"00") +
                                           FieldOr(fields.offsetHours, L"+00") + FieldOr(fields.offsetMinutes, L"00");
            std::int64_t seconds;
            CalendarTime parsed = {};
            if (!ParseCanonicalTimestamp(canonical, seconds) || !SecondsToCalendar(seconds, parsed))
                return false;
            if (!fields.zone.empty()) {
                utc = parsed;
                return true;
            }
            // No designator: the text named a local time.
            return ::TzSpecificLocalTimeToSystemTime(nullptr, &parsed, &utc) != FALSE;
        }
    } catch (const std::exception&) {
    }
    return false;
}
