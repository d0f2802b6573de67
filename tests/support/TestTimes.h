#pragma once

#include "engine/FileTime.h"

#include <windows.h>

#include <cstdint>

inline constexpr std::uint64_t TicksPerHour = 60 * TicksPerMinute;

// Calendar fields as the platform's record; the day of the week is left 0.
inline CalendarTime Calendar(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    return {static_cast<WORD>(year),   static_cast<WORD>(month), 0,
            static_cast<WORD>(day),    static_cast<WORD>(hour),  static_cast<WORD>(minute),
            static_cast<WORD>(second), static_cast<WORD>(ms)};
}

// A UTC calendar reading as a file time; InvalidFileTime for fields no file time has.
inline FileTime UtcTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    const SYSTEMTIME utc = Calendar(year, month, day, hour, minute, second, ms);
    FILETIME ft{};
    if (!::SystemTimeToFileTime(&utc, &ft))
        return InvalidFileTime;
    return FromFILETIME(ft);
}

// The UTC instant of a wall-clock reading in the process's time zone (the TZ variable selects
// Wine's zone); InvalidFileTime when it does not convert.
inline FileTime LocalTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    const SYSTEMTIME local = Calendar(year, month, day, hour, minute, second);
    SYSTEMTIME utc{};
    FILETIME ft{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &ft))
        return InvalidFileTime;
    return FromFILETIME(ft);
}

// The local calendar reading of a UTC instant; all zero when it does not convert.
inline SYSTEMTIME LocalCalendar(FileTime utc)
{
    const FILETIME ft = ToFILETIME(utc);
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&ft, &universal) || !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return SYSTEMTIME{};
    return local;
}

inline FileTime WholeSeconds(FileTime t)
{
    return t - t % TicksPerSecond;
}
