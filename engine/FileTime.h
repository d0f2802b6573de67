#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

// A timestamp: 100-nanosecond ticks since 1601-01-01 00:00:00 UTC, compared unsigned.
using FileTime = std::uint64_t;

// What a failed conversion produces; written, it leaves that time of the item unchanged.
inline constexpr FileTime InvalidFileTime = 0xFFFFFFFFFFFFFFFFull;

// The largest time the platform converts to a calendar time and writes.
inline constexpr FileTime LargestFileTime = 0x7FFFFFFFFFFFFFFFull;

inline constexpr std::uint64_t TicksPerSecond = 10'000'000ull;
inline constexpr std::uint64_t TicksPerMinute = 600'000'000ull;
inline constexpr std::uint64_t TicksPerDay = 864'000'000'000ull;

// The platform's calendar record, local or UTC as the context says.
using CalendarTime = SYSTEMTIME;

// Index of every three-element array of times, operations and values.
enum TimestampKind : int { Creation = 0, LastAccess = 1, LastWrite = 2 };
inline constexpr int TimestampKindCount = 3;

// The three times of one item, in the order creation, last access, last write.
using FileTimes = std::array<FileTime, TimestampKindCount>;

inline FileTime FromFILETIME(const FILETIME& ft)
{
    return (static_cast<FileTime>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

inline FILETIME ToFILETIME(FileTime t)
{
    return FILETIME{static_cast<DWORD>(t & 0xFFFFFFFFu), static_cast<DWORD>(t >> 32)};
}

// The system clock in UTC, truncated to whole seconds.
FileTime CurrentFileTime();

// The same instant as local wall-clock ticks, and back; InvalidFileTime when a step fails.
FileTime ToLocalFileTime(FileTime utc);
FileTime FromLocalFileTime(FileTime local);

// The UTC instant at which the local calendar day of t begins.
FileTime LocalMidnight(FileTime t);

// Ticks elapsed since local midnight on t's local clock; InvalidFileTime when t does not convert.
std::uint64_t LocalTimeOfDay(FileTime t);

// Calendar steps shared with the pickers: UTC <-> local calendar time, false on failure.
bool UtcFileTimeToLocalCalendar(FileTime utc, CalendarTime& local);
bool LocalCalendarToUtcFileTime(const CalendarTime& local, FileTime& utc);
