#include "engine/TimeSpan.h"

#include <algorithm>

namespace {

std::uint64_t Magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// The time with its local date moved by whole months, the local clock reading kept and the
// day of the month clamped to the new month's last day.
std::optional<FileTime> StepLocalMonths(FileTime time, std::int32_t months)
{
    CalendarTime local;
    if (!UtcFileTimeToLocalCalendar(time, local))
        return std::nullopt;
    const std::int64_t index = std::int64_t{local.wYear} * 12 + (local.wMonth - 1) + months;
    // The years a calendar record of the platform can hold; the conversion decides the rest.
    if (index < std::int64_t{1600} * 12 || index > std::int64_t{30828} * 12 + 11)
        return std::nullopt;
    const int year = static_cast<int>(index / 12);
    const int month = static_cast<int>(index % 12) + 1;
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(std::min<int>(local.wDay, DaysInMonth(year, month)));
    local.wDayOfWeek = 0;
    FileTime utc;
    // The calendar steps drop the fraction of a second; it stays as it was.
    const std::uint64_t fraction = time % TicksPerSecond;
    if (!LocalCalendarToUtcFileTime(local, utc) || utc > LargestFileTime - fraction)
        return std::nullopt;
    return utc + fraction;
}

} // namespace

std::optional<FileTime> ShiftFileTime(FileTime time, const TimeSpan& span)
{
    if (span.IsZero())
        return time;
    if (time > LargestFileTime)
        return std::nullopt;
    FileTime shifted = time;
    if (span.months != 0) {
        const std::optional<FileTime> stepped = StepLocalMonths(time, span.months);
        if (!stepped)
            return std::nullopt;
        shifted = *stepped;
    }
    const std::uint64_t ticks = Magnitude(span.ticks);
    if (span.ticks >= 0) {
        if (ticks > LargestFileTime - shifted)
            return std::nullopt;
        shifted += ticks;
    } else {
        if (ticks >= shifted)
            return std::nullopt;
        shifted -= ticks;
    }
    if (shifted == 0)
        return std::nullopt;
    return shifted;
}
