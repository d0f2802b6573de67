#include "engine/FileTime.h"

#include "tests/support/RunExpectations.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Local offset from UTC in hours at two instants away from any change of the zone's rules.
struct ZoneOffsets {
    int winter; // at 2024-01-15 12:00 UTC
    int summer; // at 2024-07-15 12:00 UTC
};

const Expected<ZoneOffsets> kOffsets[] = {
    {L"UTC", {0, 0}},
    {L"Asia/Tokyo", {9, 9}},
    {L"America/New_York", {-5, -4}},
};

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
    const ZoneOffsets* offsets = ForRunZone(kOffsets);
    ASSERT_TRUE(offsets);
    const FileTime winter = UtcTime(2024, 1, 15, 12, 0, 0, 250);
    const FileTime summer = UtcTime(2024, 7, 15, 12);
    EXPECT_EQ(ToLocalFileTime(winter), winter + offsets->winter * static_cast<std::int64_t>(TicksPerHour));
    EXPECT_EQ(ToLocalFileTime(summer), summer + offsets->summer * static_cast<std::int64_t>(TicksPerHour));
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

// Readings around New York's clock changes of 2024, which other zones read at their own offset.
struct ClockChangeReadings {
    // 02:30 on 2024-03-10 local: in New York it does not exist on the clock, and either
    // offset is a fair reading.
    FileTime missing[2];
    FileTime repeated;     // 01:30 on 2024-11-03 local, twice in New York: daylight time
    FileTime beforeSpring; // the local reading of 2024-03-10 06:59 UTC
    FileTime afterSpring;  // and of 07:00 UTC
};

TEST(LocalFileTime, ReadingsAroundNewYorksClockChangesOfTwentyTwentyFour)
{
    const Expected<ClockChangeReadings> table[] = {
        {L"UTC",
         {{UtcTime(2024, 3, 10, 2, 30), UtcTime(2024, 3, 10, 2, 30)},
          UtcTime(2024, 11, 3, 1, 30),
          UtcTime(2024, 3, 10, 6, 59),
          UtcTime(2024, 3, 10, 7, 0)}},
        {L"Asia/Tokyo",
         {{UtcTime(2024, 3, 9, 17, 30), UtcTime(2024, 3, 9, 17, 30)},
          UtcTime(2024, 11, 2, 16, 30),
          UtcTime(2024, 3, 10, 15, 59),
          UtcTime(2024, 3, 10, 16, 0)}},
        {L"America/New_York",
         {{UtcTime(2024, 3, 10, 6, 30), UtcTime(2024, 3, 10, 7, 30)},
          UtcTime(2024, 11, 3, 5, 30),
          UtcTime(2024, 3, 10, 1, 59),
          UtcTime(2024, 3, 10, 3, 0)}},
    };
    const ClockChangeReadings* expected = ForRunZone(table);
    ASSERT_TRUE(expected);
    const FileTime missing = FromLocalFileTime(UtcTime(2024, 3, 10, 2, 30));
    EXPECT_TRUE(missing == expected->missing[0] || missing == expected->missing[1]) << missing;
    EXPECT_EQ(FromLocalFileTime(UtcTime(2024, 11, 3, 1, 30)), expected->repeated);
    EXPECT_EQ(ToLocalFileTime(UtcTime(2024, 3, 10, 6, 59)), expected->beforeSpring);
    EXPECT_EQ(ToLocalFileTime(UtcTime(2024, 3, 10, 7, 0)), expected->afterSpring);
}

TEST(LocalMidnight, BeginsTheLocalDay)
{
    const ZoneOffsets* offsets = ForRunZone(kOffsets);
    ASSERT_TRUE(offsets);
    // Local noon of 2024-01-15 and of 2024-07-15.
    const FileTime winterNoon = UtcTime(2024, 1, 15, 12 - offsets->winter);
    const FileTime summerNoon = UtcTime(2024, 7, 15, 12 - offsets->summer);
    const FileTime winterMidnight = winterNoon - 12 * TicksPerHour;
    const FileTime summerMidnight = summerNoon - 12 * TicksPerHour;
    EXPECT_EQ(LocalMidnight(winterNoon), winterMidnight);
    EXPECT_EQ(LocalMidnight(summerNoon), summerMidnight);
    EXPECT_EQ(LocalMidnight(winterMidnight), winterMidnight);
    EXPECT_EQ(LocalMidnight(winterMidnight + TicksPerDay - 1), winterMidnight);
    EXPECT_EQ(LocalMidnight(winterMidnight - 1), winterMidnight - TicksPerDay);
}

TEST(LocalMidnight, DayStartsAtTheZonesOwnMidnightAlsoOnADayTheClockChanges)
{
    // Instants and the start of their local day: around Tokyo's midnight (15:00 UTC), and on
    // the days New York's clock changes, where the day starts with the offset of its midnight.
    using Days = std::vector<std::pair<FileTime, FileTime>>;
    const Expected<Days> table[] = {
        {L"UTC",
         {{UtcTime(2024, 5, 1, 14), UtcTime(2024, 5, 1)},
          {UtcTime(2024, 5, 1, 15), UtcTime(2024, 5, 1)},
          {UtcTime(2024, 5, 1, 16), UtcTime(2024, 5, 1)},
          {UtcTime(2024, 3, 10, 16), UtcTime(2024, 3, 10)},
          {UtcTime(2024, 11, 3, 17), UtcTime(2024, 11, 3)}}},
        {L"Asia/Tokyo",
         {{UtcTime(2024, 5, 1, 14), UtcTime(2024, 4, 30, 15)},
          {UtcTime(2024, 5, 1, 15), UtcTime(2024, 5, 1, 15)},
          {UtcTime(2024, 5, 1, 16), UtcTime(2024, 5, 1, 15)},
          {UtcTime(2024, 3, 10, 16), UtcTime(2024, 3, 10, 15)},
          {UtcTime(2024, 11, 3, 17), UtcTime(2024, 11, 3, 15)}}},
        {L"America/New_York",
         {{UtcTime(2024, 5, 1, 14), UtcTime(2024, 5, 1, 4)},
          {UtcTime(2024, 5, 1, 15), UtcTime(2024, 5, 1, 4)},
          {UtcTime(2024, 5, 1, 16), UtcTime(2024, 5, 1, 4)},
          {UtcTime(2024, 3, 10, 16), UtcTime(2024, 3, 10, 5)},
          {UtcTime(2024, 11, 3, 17), UtcTime(2024, 11, 3, 4)}}},
    };
    const Days* days = ForRunZone(table);
    ASSERT_TRUE(days);
    for (const auto& [instant, midnight] : *days)
        EXPECT_EQ(LocalMidnight(instant), midnight) << instant;
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
