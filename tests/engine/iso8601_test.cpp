#include "engine/TimestampText.h"

#include "tests/support/RunExpectations.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct UtcCase {
    const wchar_t* text;
    CalendarTime expected; // day of week filled in
};

CalendarTime Utc(int year, int month, int day, int weekday, int hour, int minute, int second)
{
    CalendarTime t = Calendar(year, month, day, hour, minute, second);
    t.wDayOfWeek = static_cast<WORD>(weekday);
    return t;
}

bool SameCalendar(const CalendarTime& a, const CalendarTime& b)
{
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDayOfWeek == b.wDayOfWeek && a.wDay == b.wDay &&
           a.wHour == b.wHour && a.wMinute == b.wMinute && a.wSecond == b.wSecond && a.wMilliseconds == b.wMilliseconds;
}

TEST(ParseIso8601Timestamp, ZonedFormsGiveUtc)
{
    const UtcCase cases[] = {
        {L"20240131T123456Z", Utc(2024, 1, 31, 3, 12, 34, 56)},
        {L"2024-01-31T12:34:56+09:00", Utc(2024, 1, 31, 3, 3, 34, 56)},
        {L" 20240131T1234-0530 ", Utc(2024, 1, 31, 3, 18, 4, 0)},
        {L"20240131T123456+09", Utc(2024, 1, 31, 3, 3, 34, 56)},
        {L"1969-12-31T23:59:59Z", Utc(1969, 12, 31, 3, 23, 59, 59)},
        {L"2024-02-29T00:00Z", Utc(2024, 2, 29, 4, 0, 0, 0)},
        {L"2000-02-29T23:30-01", Utc(2000, 3, 1, 3, 0, 30, 0)},
        {L"2024-01-01T00:30+01:00", Utc(2023, 12, 31, 0, 23, 30, 0)},
        {L"1900-03-01T00:00:00Z", Utc(1900, 3, 1, 4, 0, 0, 0)},
        {L"1601-01-01T00:00Z", Utc(1601, 1, 1, 1, 0, 0, 0)},
        {L"1600-12-31T12:00Z", Utc(1600, 12, 31, 0, 12, 0, 0)},
        {L"9999-12-31T23:59:59-00:01", Utc(10000, 1, 1, 6, 0, 0, 59)},
        {L"\t2024-07-04T10:00:00Z\r\n", Utc(2024, 7, 4, 4, 10, 0, 0)},
        {L"2024-01-31T12:34+99:59", Utc(2024, 1, 27, 6, 8, 35, 0)},
    };
    for (const UtcCase& c : cases) {
        CalendarTime result = {};
        ASSERT_TRUE(ParseIso8601Timestamp(c.text, result)) << c.text;
        EXPECT_TRUE(SameCalendar(result, c.expected))
            << c.text << " gave " << result.wYear << '-' << result.wMonth << '-' << result.wDay << " ("
            << result.wDayOfWeek << ") " << result.wHour << ':' << result.wMinute << ':' << result.wSecond;
    }
}

TEST(ParseIso8601Timestamp, RejectedTexts)
{
    const wchar_t* const texts[] = {
        L"2024-01-31t12:34:56z",
        L"2024-01-31 12:34:56",
        L"20240131T12:34:56",
        L"2024-01-31T12:34:56.789Z",
        L"2024-01-31T12:34+0900",
        L"20240131T1234+09:00",
        L"2023-02-29T00:00",
        L"2024-01-31T24:00",
        L"2024-01-31T12:34:60Z",
        L"2024-00-10T00:00Z",
        L"2024-13-10T00:00Z",
        L"2024-04-31T00:00Z",
        L"2024-01-00T00:00Z",
        L"1900-02-29T00:00Z",
        L"2024-01-31T12:60Z",
        L"2024-01-31",
        L"",
        L"2024-01-31T12Z",
        L"x2024-01-31T12:34Z",
        L"2024-01-31T12:34Zx",
        L"0000-01-01T00:30+01:00",
        L"\xFF12\xFF10\xFF12\xFF14-01-31T12:34Z",
    };
    for (const wchar_t* text : texts) {
        CalendarTime result = {};
        EXPECT_FALSE(ParseIso8601Timestamp(text, result)) << text;
    }
    CalendarTime result = {};
    EXPECT_FALSE(ParseIso8601Timestamp(nullptr, result));
}

TEST(ParseIso8601Timestamp, LongTextsAreReadWithoutExhaustingTheStack)
{
    const std::wstring spaces(100000, L' ');
    CalendarTime result = {};
    ASSERT_TRUE(ParseIso8601Timestamp((spaces + L"2024-01-31T12:34Z" + spaces).c_str(), result));
    EXPECT_EQ(result.wHour, 12);
    EXPECT_FALSE(ParseIso8601Timestamp(std::wstring(100000, L'1').c_str(), result));
    EXPECT_FALSE(ParseIso8601Timestamp((L"2024-01-31T12:34Z" + std::wstring(100000, L'x')).c_str(), result));
}

// How the zone reads local texts: the UTC hour of 12:34 local in January and July, and whether
// the first hours of 1601-01-01 local are still file times.
struct LocalReading {
    int winterHour;
    int summerHour;
    bool fiveOnTheFirstDay;
    bool nineOnTheFirstDay;
};

const Expected<LocalReading> kLocalReadings[] = {
    {L"UTC", {12, 12, true, true}},
    // Early on the first day local time is still 1600 in UTC.
    {L"Asia/Tokyo", {3, 3, false, true}},
    {L"America/New_York", {17, 16, true, true}},
};

TEST(ParseIso8601Timestamp, TextWithoutDesignatorIsLocalTime)
{
    const LocalReading* expected = ForRunZone(kLocalReadings);
    ASSERT_TRUE(expected);
    CalendarTime result = {};
    ASSERT_TRUE(ParseIso8601Timestamp(L"2024-01-31T12:34", result));
    EXPECT_EQ(result.wDay, 31);
    EXPECT_EQ(result.wHour, expected->winterHour);
    EXPECT_EQ(result.wMinute, 34);
    ASSERT_TRUE(ParseIso8601Timestamp(L"20240715T1234", result));
    EXPECT_EQ(result.wDay, 15);
    EXPECT_EQ(result.wHour, expected->summerHour);
    EXPECT_EQ(result.wMilliseconds, 0);
}

TEST(ParseIso8601Timestamp, LocalTimeBeforeTheFirstFileTimeIsRefused)
{
    const LocalReading* expected = ForRunZone(kLocalReadings);
    ASSERT_TRUE(expected);
    CalendarTime result = {};
    EXPECT_FALSE(ParseIso8601Timestamp(L"1600-06-01T12:00", result));
    EXPECT_EQ(ParseIso8601Timestamp(L"1601-01-01T05:00", result), expected->fiveOnTheFirstDay);
    EXPECT_EQ(ParseIso8601Timestamp(L"1601-01-01T09:00", result), expected->nineOnTheFirstDay);
}

} // namespace
