#include "engine/FileTime.h"

FileTime CurrentFileTime()
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const FileTime t = FromFILETIME(now);
    return t - t % TicksPerSecond;
}

FileTime ToLocalFileTime(FileTime utc)
{
    const FILETIME utcTime = ToFILETIME(utc);
    SYSTEMTIME utcCalendar;
    SYSTEMTIME localCalendar;
    FILETIME local;
    if (!::FileTimeToSystemTime(&utcTime, &utcCalendar) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utcCalendar, &localCalendar) ||
        !::SystemTimeToFileTime(&localCalendar, &local))
        return InvalidFileTime;
    return FromFILETIME(local);
}

FileTime FromLocalFileTime(FileTime local)
{
    const FILETIME localTime = ToFILETIME(local);
    SYSTEMTIME localCalendar;
    SYSTEMTIME utcCalendar;
    FILETIME utc;
    if (!::FileTimeToSystemTime(&localTime, &localCalendar) ||
        !::TzSpecificLocalTimeToSystemTime(nullptr, &localCalendar, &utcCalendar) ||
        !::SystemTimeToFileTime(&utcCalendar, &utc))
        return InvalidFileTime;
    return FromFILETIME(utc);
}

FileTime LocalMidnight(FileTime t)
{
    FileTime local = ToLocalFileTime(t);
    if (local == InvalidFileTime)
        return InvalidFileTime;
    local -= local % TicksPerDay;
    return FromLocalFileTime(local);
}

std::uint64_t LocalTimeOfDay(FileTime t)
{
    const FileTime local = ToLocalFileTime(t);
    return local == InvalidFileTime ? InvalidFileTime : local % TicksPerDay;
}

bool UtcFileTimeToLocalCalendar(FileTime utc, CalendarTime& local)
{
    const FILETIME utcTime = ToFILETIME(utc);
    SYSTEMTIME utcCalendar;
    if (!::FileTimeToSystemTime(&utcTime, &utcCalendar))
        return false;
    utcCalendar.wMilliseconds = 0;
    SYSTEMTIME result;
    if (!::SystemTimeToTzSpecificLocalTime(nullptr, &utcCalendar, &result))
        return false;
    local = result;
    return true;
}

bool LocalCalendarToUtcFileTime(const CalendarTime& local, FileTime& utc)
{
    SYSTEMTIME localCalendar = local;
    localCalendar.wMilliseconds = 0;
    SYSTEMTIME utcCalendar;
    FILETIME result;
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &localCalendar, &utcCalendar) ||
        !::SystemTimeToFileTime(&utcCalendar, &result))
        return false;
    utc = FromFILETIME(result);
    return true;
}
