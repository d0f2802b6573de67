#pragma once

#include "engine/FileTime.h"

#include <string>

// A UTC calendar reading as a file time.
inline FileTime UtcTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    SYSTEMTIME st = {static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                     static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second),
                     static_cast<WORD>(ms)};
    FILETIME ft = {};
    ::SystemTimeToFileTime(&st, &ft);
    return FromFILETIME(ft);
}

inline CalendarTime Calendar(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    return {static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day), static_cast<WORD>(hour),
            static_cast<WORD>(minute), static_cast<WORD>(second), static_cast<WORD>(ms)};
}

// The time zone the test runs in (the TZ variable, which selects Wine's zone).
inline std::wstring CurrentZone()
{
    wchar_t zone[128] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TZ", zone, 128);
    return length > 0 && length < 128 ? std::wstring(zone) : std::wstring(L"UTC");
}

inline bool InZone(const wchar_t* zone)
{
    return CurrentZone() == zone;
}

// The zones with expectations of their own; other zones skip the zone-specific cases.
inline bool KnownZone()
{
    return InZone(L"UTC") || InZone(L"Asia/Tokyo") || InZone(L"America/New_York");
}

inline constexpr std::uint64_t TicksPerHour = 60 * TicksPerMinute;
