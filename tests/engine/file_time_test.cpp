#include "engine/FileTime.h"

#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

namespace {

// Local offset from UTC in hours at two instants away from any change of the zone's rules.
struct ZoneOffsets {
    int winter; // at 2024-01-15 12:00 UTC
    int summer; // at 2024-07-15 12:00 UTC
};

ZoneOffsets OffsetsOfZone()
{
    if (InZone(L"Asia/Tokyo"))
        return {9, 9};
    if (InZone(L"America/New_York"))
        return {-5, -4};
    return {0, 0};
}

TEST(CurrentFileTime, HasWholeSecondsAndFollowsTheClock)
{
    FILETIME before;
    ::GetSystemTimeAsFileTime(&before);
    const FileTime now = CurrentFileTime();
    FILETIME after;
    ::GetSystemTimeAsFileTime(&after);
    EXPECT_EQ(now % TicksPerSecond, 0u);
    EXPECT_GE(now + TicksPerSecond, FromFILETIME(before) + 1);
    EXPECT_LE(now, FromFILETIME(after));
}

TEST(LocalFileTime, ConvertsWithTheOffsetOfTheDateConverted)
{
    if (!KnownZone())
        GTEST_SKIP() << "no expectations for this zone";
    const ZoneOffsets offsets = OffsetsOfZone();
    const FileTime winter = UtcTime(2024, 1, 15, 12, 0, 0, 250);
    const FileTime summer = UtcTime(2024, 7, 15, 12);
    EXPECT_EQ(ToLocalFileTime(winter), winter + offsets.winter * static_cast<std::int64_t>(TicksPerHour));
    EXPECT_EQ(ToLocalFileTime(summer), summer + offsets.summer * static_cast<std::int64_t>(TicksPerHour));
    EXPECT_EQ(FromLocalFileTime(ToLocalFileTime(winter)), winter);
    EXPECT_EQ(FromLocalFileTime(ToLocalFileTime(summer)), summer);
}

TEST(LocalFileTime, DropsTicksBelowTheMillisecond)
{
    const FileTime t = UtcTime(2024, 1, 15, 12, 0, 0, 250) + 1234;
    EXPECT_EQ(ToLocalFileTime(t) % 10000, 0u);
    EXPECT_EQ(ToLocalFileTime(t) % TicksPerSecond, 2500000u);
}

TEST(LocalFileTime, UnconvertibleValuesGiveTheInvalidTime)
{
    EXPECT_EQ(ToLocalFileTime(0x8000000000000000ull), InvalidFileTime);
    EXPECT_EQ(FromLocalFileTime(InvalidFileTime), InvalidFileTime);
    EXPECT_EQ(LocalMidnight(InvalidFileTime), InvalidFileTime);
}

TEST(LocalFileTime, NewYorkDaylightSavingChangesOfTwentyTwentyFour)
{
    if (!InZone(L"America/New_York"))
        GTEST_SKIP() << "New York only";
    // 02:30 on 2024-03-10 does not exist on the local clock: either offset is a fair reading;
    // 01:30 on 2024-11-03 happens twice and converts as daylight time.
    const FileTime missing = FromLocalFileTime(UtcTime(2024, 3, 10, 2, 30));
    EXPECT_TRUE(missing == UtcTime(2024, 3, 10, 6, 30) || missing == UtcTime(2024, 3, 10, 7, 30));
    EXPECT_EQ(FromLocalFileTime(UtcTime(2024, 11, 3, 1, 30)), UtcTime(2024, 11, 3, 5, 30));
    EXPECT_EQ(ToLocalFileTime(UtcTime(2024, 3, 10, 6, 59)), UtcTime(2024, 3, 10, 1, 59));
    EXPECT_EQ(ToLocalFileTime(UtcTime(2024, 3, 10, 7, 0)), UtcTime(2024, 3, 10, 3, 0));
}

TEST(LocalMidnight, BeginsTheLocalDay)
{
    if (!KnownZone())
        GTEST_SKIP() << "no expectations for this zone";
    const ZoneOffsets offsets = OffsetsOfZone();
    // Local noon of 2024-01-15 and of 2024-07-15.
    const FileTime winterNoon = UtcTime(2024, 1, 15, 12 - offsets.winter);
    const FileTime summerNoon = UtcTime(2024, 7, 15, 12 - offsets.summer);
    const FileTime winterMidnight = winterNoon - 12 * TicksPerHour;
    const FileTime summerMidnight = summerNoon - 12 * TicksPerHour;
    EXPECT_EQ(LocalMidnight(winterNoon), winterMidnight);
    EXPECT_EQ(LocalMidnight(summerNoon), summerMidnight);
    EXPECT_EQ(LocalMidnight(winterMidnight), winterMidnight);
    EXPECT_EQ(LocalMidnight(winterMidnight + TicksPerDay - 1), winterMidnight);
    EXPECT_EQ(LocalMidnight(winterMidnight - 1), winterMidnight - TicksPerDay);
}

TEST(LocalMidnight, TokyoDayStartsAtFifteenHundredUtc)
{
    if (!InZone(L"Asia/Tokyo"))
        GTEST_SKIP() << "Tokyo only";
    EXPECT_EQ(LocalMidnight(UtcTime(2024, 5, 1, 14)), UtcTime(2024, 4, 30, 15));
    EXPECT_EQ(LocalMidnight(UtcTime(2024, 5, 1, 16)), UtcTime(2024, 5, 1, 15));
    EXPECT_EQ(LocalMidnight(UtcTime(2024, 5, 1, 15)), UtcTime(2024, 5, 1, 15));
}

TEST(LocalMidnight, NewYorkDayOfAChangeStartsWithTheOffsetOfItsMidnight)
{
    if (!InZone(L"America/New_York"))
        GTEST_SKIP() << "New York only";
    EXPECT_EQ(LocalMidnight(UtcTime(2024, 3, 10, 16)), UtcTime(2024, 3, 10, 5));
    EXPECT_EQ(LocalMidnight(UtcTime(2024, 11, 3, 17)), UtcTime(2024, 11, 3, 4));
}

TEST(LocalTimeOfDay, IsTheLocalClockReadingWhateverTheDate)
{
    const std::uint64_t expected = (8 * 3600 + 30 * 60 + 15) * TicksPerSecond;
    EXPECT_EQ(LocalTimeOfDay(FromLocalFileTime(UtcTime(2024, 1, 15, 8, 30, 15))), expected);
    EXPECT_EQ(LocalTimeOfDay(FromLocalFileTime(UtcTime(2024, 7, 31, 8, 30, 15))), expected);
    EXPECT_EQ(LocalTimeOfDay(FromLocalFileTime(UtcTime(1999, 12, 31, 8, 30, 15))), expected);
}

TEST(CalendarExchange, DropsMillisecondsBothWays)
{
    CalendarTime local = {};
    ASSERT_TRUE(UtcFileTimeToLocalCalendar(UtcTime(2024, 1, 15, 12, 0, 5, 999), local));
    EXPECT_EQ(local.wMilliseconds, 0);
    EXPECT_EQ(local.wSecond, 5);
    FileTime utc = 0;
    ASSERT_TRUE(LocalCalendarToUtcFileTime(local, utc));
    EXPECT_EQ(utc, UtcTime(2024, 1, 15, 12, 0, 5));

    CalendarTime withMilliseconds = local;
    withMilliseconds.wMilliseconds = 700;
    ASSERT_TRUE(LocalCalendarToUtcFileTime(withMilliseconds, utc));
    EXPECT_EQ(utc, UtcTime(2024, 1, 15, 12, 0, 5));
}

TEST(CalendarExchange, ReportsFailureAndLeavesTheOutputAlone)
{
    CalendarTime local = Calendar(2000, 1, 1);
    EXPECT_FALSE(UtcFileTimeToLocalCalendar(0x8000000000000000ull, local));
    EXPECT_EQ(local.wYear, 2000);
    FileTime utc = 42;
    EXPECT_FALSE(LocalCalendarToUtcFileTime(Calendar(2024, 13, 1), utc));
    EXPECT_EQ(utc, 42u);
}

} // namespace
