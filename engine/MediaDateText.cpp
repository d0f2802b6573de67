#include "engine/MediaDateText.h"

#include <windows.h>

namespace {

// Seconds from 1601-01-01, where file times start, to 1904-01-01, where movie times start.
constexpr std::uint64_t SecondsFrom1601To1904 = 9'561'628'800ull;
// File times from this one on no longer convert to a calendar record.
constexpr FileTime FileTimeLimit = 0x8000000000000000ull;
constexpr int FractionDigits = 7; // 100-nanosecond ticks
constexpr std::size_t WallClockLength = 19;

constexpr std::string_view Blanks(" \t\0", 3);

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value)
{
    if (at > text.size() || count > text.size() - at)
        return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool IsOneOf(std::string_view text, std::size_t at, std::string_view allowed)
{
    return at < text.size() && allowed.find(text[at]) != std::string_view::npos;
}

int DaysInMonth(int year, int month)
{
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Days[month - 1];
}

// "YYYY?MM?DD?HH:MM:SS" with the given date and middle separators; the text after it is
// left to the caller. False for blank, zero or impossible fields.
bool ReadWallClock(std::string_view text, std::string_view dateSeparators, std::string_view middle, CalendarTime& wall)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() < WallClockLength)
        return false;
    if (!Digits(text, 0, 4, year) || !IsOneOf(text, 4, dateSeparators) || !Digits(text, 5, 2, month) ||
        text[7] != text[4] || !Digits(text, 8, 2, day) || !IsOneOf(text, 10, middle) || !Digits(text, 11, 2, hour) ||
        text[13] != ':' || !Digits(text, 14, 2, minute) || text[16] != ':' || !Digits(text, 17, 2, second))
        return false;
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return false;
    wall = CalendarTime{
        static_cast<WORD>(year),   static_cast<WORD>(month),  0, static_cast<WORD>(day), static_cast<WORD>(hour),
        static_cast<WORD>(minute), static_cast<WORD>(second), 0};
    return true;
}

// "Z", "+HH:MM", "+HHMM" or "+HH" as minutes east of UTC; false for anything else.
bool ReadOffset(std::string_view text, int& minutes)
{
    if (text == "Z") {
        minutes = 0;
        return true;
    }
    if (text.empty() || (text[0] != '+' && text[0] != '-'))
        return false;
    int hours = 0, extra = 0;
    if (!Digits(text, 1, 2, hours))
        return false;
    if (text.size() == 6 && text[3] == ':') {
        if (!Digits(text, 4, 2, extra))
            return false;
    } else if (text.size() == 5) {
        if (!Digits(text, 3, 2, extra))
            return false;
    } else if (text.size() != 3) {
        return false;
    }
    if (hours > 23 || extra > 59)
        return false;
    minutes = (text[0] == '-' ? -1 : 1) * (hours * 60 + extra);
    return true;
}

// Decimal digits of a second as ticks; false when the text holds anything but digits.
bool ReadFraction(std::string_view digits, std::uint64_t& ticks)
{
    ticks = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            return false;
    }
    for (int i = 0; i < FractionDigits; ++i)
        ticks = ticks * 10 +
                (static_cast<std::size_t>(i) < digits.size() ? static_cast<std::uint64_t>(digits[i] - '0') : 0);
    return true;
}

// The wall-clock reading in the given zone, or in the machine's local zone, plus the fraction.
std::optional<FileTime> Moment(const CalendarTime& wall, const std::optional<int>& offsetMinutes,
                               std::uint64_t fraction)
{
    FileTime utc = 0;
    if (offsetMinutes) {
        FILETIME asUtc{};
        if (!::SystemTimeToFileTime(&wall, &asUtc))
            return std::nullopt;
        const FileTime reading = FromFILETIME(asUtc);
        const std::int64_t shift =
            static_cast<std::int64_t>(*offsetMinutes) * static_cast<std::int64_t>(TicksPerMinute);
        if (shift > 0 && reading < static_cast<std::uint64_t>(shift))
            return std::nullopt;
        utc = reading - static_cast<std::uint64_t>(shift);
    } else if (!LocalCalendarToUtcFileTime(wall, utc)) {
        return std::nullopt;
    }
    if (utc >= FileTimeLimit - fraction)
        return std::nullopt;
    return utc + fraction;
}

} // namespace

std::optional<FileTime> ExifDateToFileTime(std::string_view date, std::string_view offset, std::string_view subSeconds)
{
    CalendarTime wall{};
    if (!ReadWallClock(date, ":-/", " T", wall))
        return std::nullopt;
    int minutes = 0;
    std::optional<int> zone;
    if (ReadOffset(Trimmed(offset), minutes))
        zone = minutes;
    std::uint64_t fraction = 0;
    if (!ReadFraction(Trimmed(subSeconds), fraction))
        fraction = 0;
    return Moment(wall, zone, fraction);
}

std::optional<FileTime> IsoDateToFileTime(std::string_view text)
{
    text = Trimmed(text);
    CalendarTime wall{};
    if (!ReadWallClock(text, "-", "T ", wall))
        return std::nullopt;
    std::string_view rest = text.substr(WallClockLength);
    std::uint64_t fraction = 0;
    if (!rest.empty() && (rest[0] == '.' || rest[0] == ',')) {
        const std::size_t end = rest.find_first_not_of("0123456789", 1);
        const std::string_view digits =
            rest.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
        if (digits.empty() || !ReadFraction(digits, fraction))
            return std::nullopt;
        rest = rest.substr(1 + digits.size());
    }
    std::optional<int> zone;
    if (!rest.empty()) {
        int minutes = 0;
        if (!ReadOffset(rest, minutes))
            return std::nullopt;
        zone = minutes;
    }
    return Moment(wall, zone, fraction);
}

std::optional<FileTime> MovieSecondsToFileTime(std::uint64_t seconds)
{
    if (seconds == 0 || seconds >= FileTimeLimit / TicksPerSecond - SecondsFrom1601To1904)
        return std::nullopt;
    return (seconds + SecondsFrom1601To1904) * TicksPerSecond;
}
