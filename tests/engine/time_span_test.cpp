#include "engine/TimeSpan.h"

#include "tests/support/RunExpectations.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <random>
#include <string>

namespace {

constexpr std::int64_t Second = 10'000'000;
constexpr std::int64_t Minute = 60 * Second;
constexpr std::int64_t Hour = 60 * Minute;
constexpr std::int64_t Day = 24 * Hour;
constexpr std::int64_t LongestTicks = std::numeric_limits<std::int64_t>::max();
constexpr std::int32_t LongestMonths = std::numeric_limits<std::int32_t>::max();
constexpr FileTime LargestFileTime = 0x7FFFFFFFFFFFFFFFull;

struct Reading {
    std::wstring_view text;
    TimeSpan span;
};

std::string Printable(std::wstring_view text)
{
    std::string result;
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F)
            result.push_back(static_cast<char>(c));
        else
            result += "\\u" + std::to_string(static_cast<unsigned>(c));
    }
    return result;
}

void ExpectReadings(std::initializer_list<Reading> readings)
{
    for (const Reading& reading : readings) {
        const std::optional<TimeSpan> span = ParseTimeSpan(reading.text);
        ASSERT_TRUE(span) << Printable(reading.text);
        EXPECT_EQ(span->months, reading.span.months) << Printable(reading.text);
        EXPECT_EQ(span->ticks, reading.span.ticks) << Printable(reading.text);
    }
}

void ExpectRefused(std::initializer_list<std::wstring_view> texts)
{
    for (const std::wstring_view text : texts)
        EXPECT_FALSE(ParseTimeSpan(text)) << Printable(text);
}

TEST(ParseTimeSpan, ClockReadings)
{
    ExpectReadings({
        {L"1:30", {0, Hour + 30 * Minute}},
        {L"-0:45", {0, -45 * Minute}},
        {L"+2:00:00", {0, 2 * Hour}},
        {L"0:5", {0, 5 * Minute}},
        {L"100:00", {0, 100 * Hour}},
        {L"12:34:56.1234567", {0, 12 * Hour + 34 * Minute + 56 * Second + 1234567}},
        {L"0:00:00.5", {0, Second / 2}},
        {L"-0:00", {0, 0}},
    });
}

TEST(ParseTimeSpan, UnitsInEnglish)
{
    ExpectReadings({
        {L"90 min", {0, 90 * Minute}},
        {L"2 h", {0, 2 * Hour}},
        {L"-3 days", {0, -3 * Day}},
        {L"1 week", {0, 7 * Day}},
        {L"2 years", {24, 0}},
        {L"-6 months", {-6, 0}},
        {L"3d 4:00", {0, 3 * Day + 4 * Hour}},
        {L"-1 day 2:00", {0, -(Day + 2 * Hour)}},
        {L"2 h 30 min", {0, 2 * Hour + 30 * Minute}},
        {L"2h30min", {0, 2 * Hour + 30 * Minute}},
        {L"1 Year 1 MO 2 Wks 1 d 1 hr 1 mins 1 sec", {13, 15 * Day + Hour + Minute + Second}},
        {L"1 yr 1 month 1 wk 3 hrs 5 s", {13, 7 * Day + 3 * Hour + 5 * Second}},
        {L"2 y 3 mos 1 w 1 hour 2 minutes 3 seconds", {27, 7 * Day + Hour + 2 * Minute + 3 * Second}},
        {L"1.5 h", {0, Hour + 30 * Minute}},
        {L"0.25 days", {0, 6 * Hour}},
        {L"1 day 0.0000001 s", {0, Day + 1}},
    });
}

TEST(ParseTimeSpan, UnitsInJapanese)
{
    ExpectReadings({
        {L"3日", {0, 3 * Day}},
        {L"2時間", {0, 2 * Hour}},
        {L"30分", {0, 30 * Minute}},
        {L"1年", {12, 0}},
        {L"6か月", {6, 0}},
        {L"1年6か月", {18, 0}},
        {L"3日 4:00", {0, 3 * Day + 4 * Hour}},
        {L"-2時間30分", {0, -(2 * Hour + 30 * Minute)}},
        {L"2週間3日間", {0, 17 * Day}},
        {L"1年間2ヶ月1週", {14, 7 * Day}},
        {L"1カ月", {1, 0}},
        {L"1ケ月", {1, 0}},
        {L"1ヵ月", {1, 0}},
        {L"1箇月間", {1, 0}},
        {L"10秒", {0, 10 * Second}},
        {L"5分間10秒間", {0, 5 * Minute + 10 * Second}},
        {L"1 年 2 か月", {14, 0}},
    });
}

TEST(ParseTimeSpan, Iso8601Durations)
{
    ExpectReadings({
        {L"PT9H", {0, 9 * Hour}},
        {L"-P1DT2H30M", {0, -(Day + 2 * Hour + 30 * Minute)}},
        {L"P2Y", {24, 0}},
        {L"P1M", {1, 0}},
        {L"PT1M", {0, Minute}},
        {L"P1Y2M3W4DT5H6M7S", {14, 25 * Day + 5 * Hour + 6 * Minute + 7 * Second}},
        {L"PT0.5S", {0, Second / 2}},
        {L"PT1,5H", {0, Hour + 30 * Minute}},
        {L"+p1dt1h", {0, Day + Hour}},
        {L"P0D", {0, 0}},
    });
}

TEST(ParseTimeSpan, SignsBlanksAndFullWidthForms)
{
    ExpectReadings({
        {L"\u22121:30", {0, -(Hour + 30 * Minute)}},
        {L"\uFF0D1:30", {0, -(Hour + 30 * Minute)}},
        {L"\uFF0B1:30", {0, Hour + 30 * Minute}},
        {L"\uFF11\uFF1A\uFF13\uFF10", {0, Hour + 30 * Minute}},
        {L"\uFF13\uFF44", {0, 3 * Day}},
        {L"\uFF30\uFF34\uFF19\uFF28", {0, 9 * Hour}},
        {L" \u3000- 1 day\t2:00 \u3000\r\n", {0, -(Day + 2 * Hour)}},
        {L"1\u3000\u65E5\u00A02\u6642\u9593", {0, Day + 2 * Hour}},
        {L"\u200E-1:00\u200E", {0, -Hour}},
        {L"- P1D", {0, -Day}},
    });
}

TEST(ParseTimeSpan, OtherTextIsRefused)
{
    ExpectRefused({
        L"",
        L" ",
        L"\u3000",
        L"+",
        L"-",
        L"1",
        L"1 2 h",
        L"h",
        L"1 hx",
        L"1 fortnight",
        L"1 m",
        L"1 hourss",
        L"1:60",
        L"1:00:60",
        L"1:000",
        L"1:30:",
        L"1::30",
        L":30",
        L"1 :30",
        L"1: 30",
        L"1:30.5",
        L"1.5:00",
        L"1:00:00.12345678",
        L"1.5 years",
        L"0.5 months",
        L"1..5 h",
        L"1. h",
        L".5 h",
        L"--1:00",
        L"+-1:00",
        L"1 - 1:00",
        L"1:00 1 day",
        L"2 h 1 day",
        L"1 h 1 h",
        L"1:00 30 min",
        L"1 day 1:00 1:00",
        L"1 hour!",
        L"1,5 h",
        L"P",
        L"PT",
        L"P1DT",
        L"P1H",
        L"PT1D",
        L"PT1Y",
        L"P1D2Y",
        L"PT1S2M",
        L"P1.5DT2H",
        L"P-1D",
        L"P1",
        L"PT1H 30M",
        L"P1D 2:00",
        L"1 day P1D",
        L"PP1D",
        L"P1DTT1H",
        L"6月",
        L"2時",
        L"1年2年",
        L"3日2年",
        L"1時間間",
        L"1月間",
        std::wstring_view(L"1 h\0 1", 6),
        std::wstring_view(L"\0", 1),
    });
}

TEST(ParseTimeSpan, FieldsNeverOverflow)
{
    ExpectReadings({
        {L"2147483647 months", {LongestMonths, 0}},
        {L"178956970 years 7 months", {LongestMonths, 0}},
        {L"-178956970 years", {-178956970 * 12, 0}},
        {L"922337203685.4775807 s", {0, LongestTicks}},
        {L"PT922337203685.4775807S", {0, LongestTicks}},
        {L"-256204778:48:05.4775807", {0, -LongestTicks}},
        {L"10675199 days 2:48:05.4775807", {0, LongestTicks}},
        {L"2147483647 months 922337203685.4775807 s", {LongestMonths, LongestTicks}},
    });
    ExpectRefused({
        L"2147483648 months",
        L"178956971 years",
        L"178956970 years 8 months",
        L"P178956971Y",
        L"922337203685.4775808 s",
        L"PT922337203685.4775808S",
        L"256204778:48:05.4775808",
        L"256204779:00",
        L"10675200 days",
        L"10675199 days 2:48:05.4775808",
        L"1525029 weeks",
        L"1525028 weeks 3 days 2:48:05.4775808",
        L"99999999999999999999999 s",
        L"9223372036854775808 s",
        L"18446744073709551617 s",
        L"P99999999999999999999Y",
    });
}

TEST(ParseTimeSpan, LongAndHostileTextIsReadOnceAndRefused)
{
    // Each would take a backtracking reader exponential time or a deep recursion.
    std::wstring blanks(200'000, L' ');
    EXPECT_FALSE(ParseTimeSpan(blanks));
    blanks += L"1:00";
    EXPECT_EQ(ParseTimeSpan(blanks), (TimeSpan{0, Hour}));
    std::wstring zeros = L"1" + std::wstring(100'000, L'0') + L" s";
    EXPECT_FALSE(ParseTimeSpan(zeros));
    zeros = std::wstring(100'000, L'0') + L"1 h";
    EXPECT_EQ(ParseTimeSpan(zeros), (TimeSpan{0, Hour}));
    std::wstring parts;
    for (int i = 0; i < 50'000; ++i)
        parts += L"1 h ";
    EXPECT_FALSE(ParseTimeSpan(parts));
    std::wstring iso = L"P";
    for (int i = 0; i < 50'000; ++i)
        iso += L"1D";
    EXPECT_FALSE(ParseTimeSpan(iso));
    EXPECT_FALSE(ParseTimeSpan(std::wstring(100'000, L':')));
    EXPECT_FALSE(ParseTimeSpan(L"1" + std::wstring(100'000, L'h')));
    EXPECT_FALSE(ParseTimeSpan(L"1." + std::wstring(100'000, L'5') + L" h"));
}

TEST(FormatTimeSpan, CanonicalForms)
{
    struct Form {
        TimeSpan span;
        const wchar_t* english;
        const wchar_t* japanese;
    };
    const Form forms[] = {
        {{14, 3 * Day + 4 * Hour + 5 * Minute + 6 * Second},
         L"+1 year 2 months 3 days 4:05:06",
         L"+1年2か月3日 4:05:06"},
        {{0, Hour + 30 * Minute}, L"+1:30", L"+1:30"},
        {{0, 0}, L"0:00", L"0:00"},
        {{-1, 0}, L"-1 month", L"-1か月"},
        {{-24, 0}, L"-2 years", L"-2年"},
        {{0, -7 * Day}, L"-7 days", L"-7日"},
        {{0, Day}, L"+1 day", L"+1日"},
        {{0, 30 * Minute}, L"+0:30", L"+0:30"},
        {{0, Second / 2}, L"+0:00:00.5", L"+0:00:00.5"},
        {{0, -1}, L"-0:00:00.0000001", L"-0:00:00.0000001"},
        {{12, Second}, L"+1 year 0:00:01", L"+1年 0:00:01"},
        {{25, 2 * Day + 23 * Hour + 59 * Minute + 59 * Second + 9990000},
         L"+2 years 1 month 2 days 23:59:59.999",
         L"+2年1か月2日 23:59:59.999"},
    };
    for (const Form& form : forms) {
        EXPECT_EQ(FormatTimeSpan(form.span, SpanLanguage::English), form.english);
        EXPECT_EQ(FormatTimeSpan(form.span, SpanLanguage::Japanese), form.japanese);
    }
    // Fields of different signs come from no text.
    EXPECT_EQ(FormatTimeSpan({1, -Hour}, SpanLanguage::English), L"");
    EXPECT_EQ(FormatTimeSpan({-1, Hour}, SpanLanguage::Japanese), L"");
}

TEST(FormatTimeSpan, TheCanonicalFormReadsBackToTheSameSpan)
{
    std::mt19937_64 random(1919);
    const auto below = [&random](std::uint64_t bound) { return bound == 0 ? 0 : random() % bound; };
    for (int i = 0; i < 4000; ++i) {
        // Magnitudes of every size, from single ticks to the longest span.
        const int bits = static_cast<int>(below(64));
        const auto ticks = static_cast<std::int64_t>(below(std::uint64_t{1} << bits) & LongestTicks);
        const auto months = static_cast<std::int32_t>(below(std::uint64_t{1} << below(32)) & LongestMonths);
        const bool negative = below(2) == 1;
        const TimeSpan span = negative ? TimeSpan{-months, -ticks} : TimeSpan{months, ticks};
        for (const SpanLanguage language : {SpanLanguage::English, SpanLanguage::Japanese}) {
            const std::wstring text = FormatTimeSpan(span, language);
            const std::optional<TimeSpan> read = ParseTimeSpan(text);
            ASSERT_TRUE(read) << Printable(text);
            ASSERT_EQ(*read, span) << Printable(text);
            ASSERT_EQ(FormatTimeSpan(*read, language), text);
        }
    }
    for (const TimeSpan& span :
         {TimeSpan{LongestMonths, LongestTicks}, TimeSpan{-LongestMonths, -LongestTicks}, TimeSpan{0, 1}}) {
        for (const SpanLanguage language : {SpanLanguage::English, SpanLanguage::Japanese})
            EXPECT_EQ(ParseTimeSpan(FormatTimeSpan(span, language)), span);
    }
}

TEST(ShiftFileTime, ExactDurationsAreTheSameOnEitherSideOfAClockChange)
{
    // The local clock readings an hour's shift gives around New York's changes: 01:30 EST on
    // 2024-03-10 is followed by 03:30 EDT, 01:30 EDT on 2024-11-03 by 01:30 EST.
    struct Row {
        int springHour;
        int autumnHour;
    };
    const Expected<Row> table[] = {
        {L"UTC", {7, 6}},
        {L"Asia/Tokyo", {16, 15}},
        {L"America/New_York", {3, 1}},
    };
    const Row* row = ForRunZone(table);
    ASSERT_TRUE(row);
    const FileTime spring = UtcTime(2024, 3, 10, 6, 30);
    const FileTime autumn = UtcTime(2024, 11, 3, 5, 30);
    EXPECT_EQ(ShiftFileTime(spring, {0, Hour}), spring + Hour);
    EXPECT_EQ(ShiftFileTime(autumn, {0, Hour}), autumn + Hour);
    EXPECT_EQ(ShiftFileTime(spring + Hour, {0, -Hour}), spring);
    EXPECT_EQ(ShiftFileTime(autumn, {0, Day}), autumn + Day);
    EXPECT_EQ(LocalCalendar(spring + Hour).wHour, row->springHour);
    EXPECT_EQ(LocalCalendar(autumn + Hour).wHour, row->autumnHour);
}

TEST(ShiftFileTime, MonthsStepTheLocalDateAndClampTheDay)
{
    const auto shifted = [](FileTime time, std::int32_t months) {
        return ShiftFileTime(time, {months, 0}).value_or(InvalidFileTime);
    };
    EXPECT_EQ(shifted(LocalTime(2024, 1, 31, 10, 11, 12), 1), LocalTime(2024, 2, 29, 10, 11, 12));
    EXPECT_EQ(shifted(LocalTime(2023, 1, 31, 10), 1), LocalTime(2023, 2, 28, 10));
    EXPECT_EQ(shifted(LocalTime(2024, 3, 31, 23, 59, 59), -1), LocalTime(2024, 2, 29, 23, 59, 59));
    EXPECT_EQ(shifted(LocalTime(2024, 2, 29, 12), 12), LocalTime(2025, 2, 28, 12));
    EXPECT_EQ(shifted(LocalTime(2023, 1, 31, 12), 13), LocalTime(2024, 2, 29, 12));
    EXPECT_EQ(shifted(LocalTime(2024, 12, 31, 0), -10), LocalTime(2024, 2, 29, 0));
    EXPECT_EQ(shifted(LocalTime(2024, 5, 15, 8), -12 * 100), LocalTime(1924, 5, 15, 8));
    // The fraction of a second stays.
    EXPECT_EQ(shifted(LocalTime(2024, 1, 15, 8) + 1234567, 1), LocalTime(2024, 2, 15, 8) + 1234567);
}

TEST(ShiftFileTime, MonthsKeepTheLocalClockReadingAcrossClockChanges)
{
    // Noon on 1 March plus a month is noon on 1 April: 31 days less the hour New York's clock
    // went forward, 31 days where it did not change. And back across the autumn change.
    struct Row {
        std::int64_t spring;
        std::int64_t autumn;
    };
    const Expected<Row> table[] = {
        {L"UTC", {31 * Day, 31 * Day}},
        {L"Asia/Tokyo", {31 * Day, 31 * Day}},
        {L"America/New_York", {31 * Day - Hour, 31 * Day + Hour}},
    };
    const Row* row = ForRunZone(table);
    ASSERT_TRUE(row);
    const FileTime march = LocalTime(2024, 3, 1, 12);
    const std::optional<FileTime> april = ShiftFileTime(march, {1, 0});
    ASSERT_TRUE(april);
    EXPECT_EQ(*april - march, static_cast<FileTime>(row->spring));
    const SYSTEMTIME shown = LocalCalendar(*april);
    EXPECT_EQ(shown.wMonth, 4);
    EXPECT_EQ(shown.wDay, 1);
    EXPECT_EQ(shown.wHour, 12);
    const FileTime november = LocalTime(2024, 11, 30, 12);
    const std::optional<FileTime> october = ShiftFileTime(november, {-1, 0});
    ASSERT_TRUE(october);
    EXPECT_EQ(november - *october, static_cast<FileTime>(row->autumn));
}

TEST(ShiftFileTime, MonthsComeBeforeTheTicks)
{
    // Months first: 30 January 23:00 -> 29 February 23:00 -> 1 March 01:00. Ticks first would
    // give 31 January 01:00 -> 29 February 01:00.
    EXPECT_EQ(ShiftFileTime(LocalTime(2024, 1, 30, 23), {1, 2 * Hour}), LocalTime(2024, 3, 1, 1));
    EXPECT_EQ(ShiftFileTime(LocalTime(2024, 3, 1, 1), {-1, -2 * Hour}), LocalTime(2024, 1, 31, 23));
}

TEST(ShiftFileTime, TheEndsOfTheFileTimeRange)
{
    EXPECT_EQ(ShiftFileTime(LargestFileTime - Hour, {0, Hour}), LargestFileTime);
    EXPECT_FALSE(ShiftFileTime(LargestFileTime - Hour, {0, Hour + 1}));
    EXPECT_FALSE(ShiftFileTime(LargestFileTime, {0, 1}));
    EXPECT_EQ(ShiftFileTime(1, {0, LongestTicks - 1}), LargestFileTime);
    EXPECT_FALSE(ShiftFileTime(1, {0, LongestTicks}));
    // 0 is the platform's "leave unchanged": the earliest time a shift gives is one tick later.
    EXPECT_EQ(ShiftFileTime(Hour + 1, {0, -Hour}), 1u);
    EXPECT_FALSE(ShiftFileTime(Hour, {0, -Hour}));
    EXPECT_FALSE(ShiftFileTime(Hour - 1, {0, -Hour}));
    EXPECT_FALSE(ShiftFileTime(LargestFileTime, {0, -LongestTicks}));
    EXPECT_FALSE(ShiftFileTime(0x8000000000000000ull, {0, -1}));
    // A span of zero leaves any time as it is.
    EXPECT_EQ(ShiftFileTime(0, {}), 0u);
    EXPECT_EQ(ShiftFileTime(InvalidFileTime, {}), InvalidFileTime);
    // Calendar steps past either end.
    EXPECT_FALSE(ShiftFileTime(LargestFileTime - 30 * Day, {1, 0}));
    EXPECT_FALSE(ShiftFileTime(UtcTime(1601, 6, 1), {-12, 0}));
    EXPECT_FALSE(ShiftFileTime(UtcTime(2024, 1, 1), {LongestMonths, 0}));
    EXPECT_FALSE(ShiftFileTime(UtcTime(2024, 1, 1), {-LongestMonths, 0}));
    EXPECT_FALSE(ShiftFileTime(UtcTime(2024, 1, 1), {std::numeric_limits<std::int32_t>::min(), 0}));
    const std::optional<FileTime> early = ShiftFileTime(UtcTime(1602, 6, 15, 12), {-12, 0});
    ASSERT_TRUE(early);
    const SYSTEMTIME shown = LocalCalendar(*early);
    EXPECT_EQ(shown.wYear, 1601);
    EXPECT_EQ(shown.wMonth, 6);
    EXPECT_EQ(shown.wDay, 15);
    EXPECT_EQ(shown.wHour, LocalCalendar(UtcTime(1602, 6, 15, 12)).wHour);
}

} // namespace
