#include "engine/TimestampOperations.h"

#include "tests/support/RunExpectations.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>

namespace {

const FileTime OldCreation = UtcTime(2020, 1, 2, 3, 4, 5, 600);
const FileTime OldAccess = UtcTime(2021, 2, 3, 4, 5, 6, 700);
const FileTime OldWrite = UtcTime(2022, 3, 4, 5, 6, 7, 800);

FileTimes OldTimes()
{
    return {OldCreation, OldAccess, OldWrite};
}

HandlingRecord Record(TimestampOperation creation, TimestampOperation access, TimestampOperation write)
{
    HandlingRecord record;
    record.operation[Creation] = creation;
    record.operation[LastAccess] = access;
    record.operation[LastWrite] = write;
    record.value[Creation] = UtcTime(2010, 1, 1, 1);
    record.value[LastAccess] = UtcTime(2011, 1, 1, 1);
    record.value[LastWrite] = UtcTime(2012, 1, 1, 1);
    record.now = UtcTime(2024, 6, 1, 12, 0, 0);
    return record;
}

FileTimes Apply(const HandlingRecord& record, FileTimes times = OldTimes(), const TimeExtremes* extremes = nullptr)
{
    ComputeNewTimes(record, times, extremes);
    return times;
}

TEST(HandlingRecord, AnyOperationSeesEveryRow)
{
    EXPECT_FALSE(HandlingRecord{}.AnyOperation());
    EXPECT_TRUE(Record(OpDontChange, OpDontChange, OpSecondToZero).AnyOperation());
    EXPECT_TRUE(Record(OpCurrentDateTime, OpDontChange, OpDontChange).AnyOperation());
    EXPECT_TRUE(Record(OpDontChange, OpLatestEntry, OpDontChange).AnyOperation());
}

// What a file holds after its new times are written: the kinds that change, the rest kept.
FileTimes Written(const HandlingRecord& record, const FileTimes& times)
{
    // A file's date taken is part of the file, the same at every write.
    const FileTimes wanted = TimesToWrite(record, times, nullptr, UtcTime(2018, 7, 1, 9, 30, 15, 250));
    FileTimes result = times;
    for (int k = 0; k < TimestampKindCount; ++k) {
        if (wanted[k] != InvalidFileTime)
            result[k] = wanted[k];
    }
    return result;
}

TEST(HandlingRecord, RewritesTheSameOnlyWhereASecondWriteGivesWhatTheFirstGave)
{
    // Every combination of the codes (and one this build does not know), on times that
    // include sub-seconds and a time of day near midnight: a record that claims to rewrite the
    // same must give the same times from what its first write left.
    const TimestampOperation codes[] = {OpDontChange,
                                        OpSpecifiedDateTime,
                                        OpSpecifiedTimeOfDay,
                                        OpCurrentDateTime,
                                        OpMidnight,
                                        OpSecondToZero,
                                        OpSameAsFirstOther,
                                        OpSameAsSecondOther,
                                        OpEarliestEntry,
                                        OpLatestEntry,
                                        OpShiftBySpan,
                                        OpDateTaken,
                                        99};
    const FileTimes starts[] = {
        OldTimes(), {UtcTime(2019, 3, 10, 23, 59, 59, 999), UtcTime(2019, 11, 3, 0, 30), UtcTime(1999, 12, 31)}};
    const auto shifting = [](TimestampOperation c, TimestampOperation a, TimestampOperation w) {
        HandlingRecord record = Record(c, a, w);
        for (int k = 0; k < TimestampKindCount; ++k)
            record.span[k] = {1, 90 * static_cast<std::int64_t>(TicksPerMinute)};
        return record;
    };
    int claimed = 0;
    for (const TimestampOperation c : codes) {
        for (const TimestampOperation a : codes) {
            for (const TimestampOperation w : codes) {
                const HandlingRecord record = shifting(c, a, w);
                if (!record.RewritesTheSame())
                    continue;
                ++claimed;
                for (const FileTimes& start : starts) {
                    const FileTimes once = Written(record, start);
                    EXPECT_EQ(Written(record, once), once) << c << ' ' << a << ' ' << w;
                }
            }
        }
    }
    // Not a vacuous pass: more than half the records settle, the ones that cannot are refused.
    EXPECT_GT(claimed, 800);
    EXPECT_FALSE(shifting(OpDontChange, OpDontChange, OpShiftBySpan).RewritesTheSame());
    EXPECT_FALSE(shifting(OpSameAsFirstOther, OpDontChange, OpSameAsFirstOther).RewritesTheSame());
    EXPECT_FALSE(shifting(OpSameAsFirstOther, OpDontChange, OpShiftBySpan).RewritesTheSame());
    EXPECT_FALSE(shifting(OpDontChange, 99, OpDontChange).RewritesTheSame());
    // A shift by nothing writes nothing.
    EXPECT_TRUE(Record(OpShiftBySpan, OpSameAsFirstOther, OpDontChange).RewritesTheSame());
}

TEST(TimeExtremes, StartsAtTheSearchValues)
{
    const TimeExtremes extremes;
    for (int k = 0; k < TimestampKindCount; ++k) {
        EXPECT_EQ(extremes.earliest[k], 0x7FFFFFFFFFFFFFFFull);
        EXPECT_EQ(extremes.latest[k], 0u);
    }
}

TEST(ComputeNewTimes, PlainOperations)
{
    const HandlingRecord record = Record(OpSpecifiedDateTime, OpCurrentDateTime, OpSecondToZero);
    const FileTimes result = Apply(record);
    EXPECT_EQ(result[Creation], record.value[Creation]);
    EXPECT_EQ(result[LastAccess], record.now);
    EXPECT_EQ(result[LastWrite], UtcTime(2022, 3, 4, 5, 6, 0));
    EXPECT_EQ(Apply(Record(OpDontChange, OpDontChange, OpDontChange)), OldTimes());
}

TEST(ComputeNewTimes, SecondToZeroKeepsAWholeMinute)
{
    FileTimes times = {UtcTime(2024, 1, 1, 12, 34), UtcTime(2024, 1, 1, 12, 34, 56, 789) + 1, 0};
    ComputeNewTimes(Record(OpSecondToZero, OpSecondToZero, OpSecondToZero), times, nullptr);
    EXPECT_EQ(times[Creation], UtcTime(2024, 1, 1, 12, 34));
    EXPECT_EQ(times[LastAccess], UtcTime(2024, 1, 1, 12, 34));
    EXPECT_EQ(times[LastWrite], 0u);
}

TEST(ComputeNewTimes, UnknownCodesChangeNothing)
{
    EXPECT_EQ(Apply(Record(-1, 11, 0x7FFFFFFF)), OldTimes());
}

TEST(ComputeNewTimes, SameAsRowsReadTheOtherRowsCandidates)
{
    // Created "same as modification" and Modified "same as creation" exchange the two.
    FileTimes result = Apply(Record(OpSameAsFirstOther, OpDontChange, OpSameAsFirstOther));
    EXPECT_EQ(result, (FileTimes{OldWrite, OldAccess, OldCreation}));

    // Created "same as modification" with Modified set to the picker value.
    HandlingRecord record = Record(OpSameAsFirstOther, OpDontChange, OpSpecifiedDateTime);
    result = Apply(record);
    EXPECT_EQ(result, (FileTimes{record.value[LastWrite], OldAccess, record.value[LastWrite]}));

    // Created "same as access" and Accessed "same as modification", Modified unchanged.
    result = Apply(Record(OpSameAsSecondOther, OpSameAsSecondOther, OpDontChange));
    EXPECT_EQ(result, (FileTimes{OldAccess, OldWrite, OldWrite}));

    // Accessed "same as creation", Modified "same as access": no chain through the access row.
    result = Apply(Record(OpCurrentDateTime, OpSameAsFirstOther, OpSameAsSecondOther));
    record = Record(OpCurrentDateTime, OpSameAsFirstOther, OpSameAsSecondOther);
    EXPECT_EQ(result, (FileTimes{record.now, record.now, OldAccess}));

    // Every row "same as" another: a rotation of the old values, no cycle.
    result = Apply(Record(OpSameAsSecondOther, OpSameAsFirstOther, OpSameAsFirstOther));
    EXPECT_EQ(result, (FileTimes{OldAccess, OldCreation, OldCreation}));
}

TEST(ComputeNewTimes, ExtremesOnlyWithAFolderRecord)
{
    TimeExtremes extremes;
    extremes.earliest[Creation] = UtcTime(2001, 1, 1);
    extremes.latest[Creation] = UtcTime(2002, 1, 1);
    extremes.earliest[LastAccess] = UtcTime(2003, 1, 1);
    extremes.latest[LastAccess] = UtcTime(2004, 1, 1);
    extremes.earliest[LastWrite] = UtcTime(2005, 1, 1);
    extremes.latest[LastWrite] = UtcTime(2006, 1, 1);
    const HandlingRecord record = Record(OpEarliestEntry, OpLatestEntry, OpSameAsFirstOther);
    EXPECT_EQ(Apply(record, OldTimes(), &extremes),
              (FileTimes{UtcTime(2001, 1, 1), UtcTime(2004, 1, 1), UtcTime(2001, 1, 1)}));
    EXPECT_EQ(Apply(record), (FileTimes{OldCreation, OldAccess, OldCreation}));
}

TEST(ComputeNewTimes, MidnightAndTimeOfDayUseTheLocalDay)
{
    const FileTime localEvening = FromLocalFileTime(UtcTime(2023, 3, 15, 23, 30, 12, 345));
    const FileTime pickerAtEight = FromLocalFileTime(UtcTime(2001, 7, 4, 8, 0, 0));
    const FileTime localMidnight = FromLocalFileTime(UtcTime(2023, 3, 15));
    HandlingRecord record = Record(OpMidnight, OpSpecifiedTimeOfDay, OpMidnight);
    record.value[LastAccess] = pickerAtEight;
    const FileTimes result = Apply(record, {localEvening, localEvening, localMidnight});
    EXPECT_EQ(result[Creation], localMidnight);
    EXPECT_EQ(result[LastAccess], FromLocalFileTime(UtcTime(2023, 3, 15, 8, 0, 0)));
    EXPECT_LT(result[LastAccess], localEvening);
    EXPECT_EQ(result[LastWrite], localMidnight);
}

TEST(ComputeNewTimes, TimeOfDayKeepsTheClockReadingOnDaysTheClockChanges)
{
    // 08:00 is 08:00 on the item's local date whatever the offset at its midnight was: on the
    // day summer time starts in New York 08:00 EDT (12:00 UTC), on the day it ends 08:00 EST
    // (13:00 UTC). In Tokyo 16:00 UTC is already the next day.
    struct Day {
        FileTime item;
        FileTime atEight;
    };
    const Expected<std::array<Day, 2>> table[] = {
        {L"UTC",
         {{{UtcTime(2024, 3, 10, 16), UtcTime(2024, 3, 10, 8)}, {UtcTime(2024, 11, 3, 16), UtcTime(2024, 11, 3, 8)}}}},
        {L"Asia/Tokyo",
         {{{UtcTime(2024, 3, 10, 16), UtcTime(2024, 3, 10, 23)},
           {UtcTime(2024, 11, 3, 16), UtcTime(2024, 11, 3, 23)}}}},
        {L"America/New_York",
         {{{UtcTime(2024, 3, 10, 16), UtcTime(2024, 3, 10, 12)},
           {UtcTime(2024, 11, 3, 16), UtcTime(2024, 11, 3, 13)}}}},
    };
    const std::array<Day, 2>* days = ForRunZone(table);
    ASSERT_TRUE(days);
    HandlingRecord record = Record(OpDontChange, OpDontChange, OpSpecifiedTimeOfDay);
    // A picker value taken on an ordinary winter day, with a fraction of a second that stays.
    record.value[LastWrite] = LocalTime(2024, 1, 5, 8, 0, 0) + 1234;
    for (const Day& day : *days)
        EXPECT_EQ(Apply(record, {0, 0, day.item})[LastWrite], day.atEight + 1234);
}

TEST(ComputeNewTimes, TimeOfDayInTheSkippedAndRepeatedHourInNewYork)
{
    if (RunZone() != L"America/New_York")
        GTEST_SKIP() << "New York's changeover days only";
    HandlingRecord record = Record(OpDontChange, OpDontChange, OpSpecifiedTimeOfDay);
    record.value[LastWrite] = LocalTime(2024, 1, 5, 2, 30, 0);
    // The skipped 02:30 lands an hour before or after the gap, never inside it.
    const FileTime spring = Apply(record, {0, 0, UtcTime(2024, 3, 10, 16)})[LastWrite];
    EXPECT_TRUE(spring == UtcTime(2024, 3, 10, 6, 30) || spring == UtcTime(2024, 3, 10, 7, 30));
    // The repeated 01:30 is one of its two instants.
    record.value[LastWrite] = LocalTime(2024, 1, 5, 1, 30, 0);
    const FileTime autumn = Apply(record, {0, 0, UtcTime(2024, 11, 3, 16)})[LastWrite];
    EXPECT_TRUE(autumn == UtcTime(2024, 11, 3, 5, 30) || autumn == UtcTime(2024, 11, 3, 6, 30));
}

TEST(ComputeNewTimes, FailedLocalConversionGivesTheInvalidTime)
{
    const FileTime unconvertible = 0x8000000000000000ull;
    HandlingRecord record = Record(OpSpecifiedTimeOfDay, OpMidnight, OpSecondToZero);
    const FileTimes result = Apply(record, {unconvertible, unconvertible, unconvertible});
    EXPECT_EQ(result[Creation], InvalidFileTime);
    EXPECT_EQ(result[LastAccess], InvalidFileTime);
    EXPECT_EQ(result[LastWrite], unconvertible - unconvertible % TicksPerMinute);
}

TEST(ComputeNewTimes, TimeOfDayFromAnUnconvertiblePickerLeavesTheKind)
{
    // The all-ones value would otherwise read as 5 h 36 min past midnight.
    HandlingRecord record = Record(OpDontChange, OpDontChange, OpSpecifiedTimeOfDay);
    record.value[LastWrite] = InvalidFileTime;
    EXPECT_EQ(LocalTimeOfDay(InvalidFileTime), InvalidFileTime);
    EXPECT_EQ(Apply(record)[LastWrite], InvalidFileTime);
    EXPECT_EQ(TimesToWrite(record, OldTimes(), nullptr)[LastWrite], InvalidFileTime);
}

TEST(TimesToWrite, OnlyTheKindsThatChangeAreWritten)
{
    // "Don't change" and unknown codes are never written, even where a "same as" row reads them.
    HandlingRecord record = Record(OpDontChange, 42, OpSameAsFirstOther);
    EXPECT_EQ(TimesToWrite(record, OldTimes(), nullptr), (FileTimes{InvalidFileTime, InvalidFileTime, OldCreation}));
    record = Record(OpSpecifiedDateTime, OpCurrentDateTime, -1);
    EXPECT_EQ(TimesToWrite(record, OldTimes(), nullptr),
              (FileTimes{record.value[Creation], record.now, InvalidFileTime}));
    EXPECT_EQ(TimesToWrite(HandlingRecord{}, OldTimes(), nullptr),
              (FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime}));
}

TEST(TimesToWrite, EntryOperationsNeedTheExtremes)
{
    // A file (or a folder target that has become one) has no entries: never the search's
    // starting value 0x7FFFFFFFFFFFFFFF.
    const HandlingRecord record = Record(OpEarliestEntry, OpLatestEntry, OpSameAsSecondOther);
    EXPECT_EQ(TimesToWrite(record, OldTimes(), nullptr), (FileTimes{InvalidFileTime, InvalidFileTime, OldAccess}));
    TimeExtremes extremes;
    extremes.earliest[Creation] = UtcTime(2000, 1, 1);
    extremes.latest[LastAccess] = UtcTime(2030, 1, 1);
    EXPECT_EQ(TimesToWrite(record, OldTimes(), &extremes),
              (FileTimes{UtcTime(2000, 1, 1), UtcTime(2030, 1, 1), UtcTime(2030, 1, 1)}));
}

TEST(CheckedTimesToWrite, ShiftedValuesAndTheRowsThatReadThem)
{
    // Modified shifted back a month and a day, Created "same as modification": both get the
    // shifted value; Accessed "same as creation" reads creation's candidate, its old value,
    // since "same as" rows do not chain.
    HandlingRecord record = Record(OpSameAsFirstOther, OpSameAsFirstOther, OpShiftBySpan);
    record.span[LastWrite] = {-1, -static_cast<std::int64_t>(TicksPerDay)};
    const FileTime write = LocalTime(2022, 3, 4, 5, 6, 7) + 8'000'000;
    const FileTime shifted = LocalTime(2022, 2, 3, 5, 6, 7) + 8'000'000;
    const FileTimes current{OldCreation, OldAccess, write};
    EXPECT_EQ(CheckedTimesToWrite(record, current, nullptr), (FileTimes{shifted, OldCreation, shifted}));
    EXPECT_EQ(TimesToWrite(record, current, nullptr), (FileTimes{shifted, OldCreation, shifted}));
}

TEST(CheckedTimesToWrite, ASpanOfZeroWritesNothing)
{
    HandlingRecord record = Record(OpShiftBySpan, OpDontChange, OpSameAsFirstOther);
    EXPECT_EQ(CheckedTimesToWrite(record, OldTimes(), nullptr),
              (FileTimes{InvalidFileTime, InvalidFileTime, OldCreation}));
    record.operation[LastWrite] = OpShiftBySpan;
    EXPECT_EQ(CheckedTimesToWrite(record, OldTimes(), nullptr),
              (FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime}));
    EXPECT_EQ(TimesToWrite(record, OldTimes(), nullptr),
              (FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime}));
}

TEST(CheckedTimesToWrite, ValuesThePlatformCannotWriteAreRefused)
{
    const FileTime largest = LargestFileTime;
    // A shift past the largest file time.
    HandlingRecord record = Record(OpShiftBySpan, OpDontChange, OpDontChange);
    record.span[Creation] = {0, static_cast<std::int64_t>(TicksPerSecond)};
    EXPECT_FALSE(CheckedTimesToWrite(record, {largest, OldAccess, OldWrite}, nullptr));
    // TimesToWrite leaves such a kind silently.
    EXPECT_EQ(TimesToWrite(record, {largest, OldAccess, OldWrite}, nullptr)[Creation], InvalidFileTime);
    // A shift back past 1601, with Accessed "same as creation".
    record = Record(OpShiftBySpan, OpSameAsFirstOther, OpDontChange);
    record.span[Creation] = {0, -static_cast<std::int64_t>(TicksPerSecond)};
    EXPECT_FALSE(CheckedTimesToWrite(record, {TicksPerSecond - 1, OldAccess, OldWrite}, nullptr));

    // 0, whichever operation gives it, and values above the largest file time.
    record = Record(OpSpecifiedDateTime, OpDontChange, OpDontChange);
    record.value[Creation] = 0;
    EXPECT_FALSE(CheckedTimesToWrite(record, OldTimes(), nullptr));
    record.value[Creation] = largest + 1;
    EXPECT_FALSE(CheckedTimesToWrite(record, OldTimes(), nullptr));
    record.value[Creation] = largest;
    EXPECT_EQ(CheckedTimesToWrite(record, OldTimes(), nullptr), (FileTimes{largest, InvalidFileTime, InvalidFileTime}));
    EXPECT_FALSE(CheckedTimesToWrite(Record(OpDontChange, OpSecondToZero, OpDontChange),
                                     {OldCreation, 30 * TicksPerSecond, OldWrite}, nullptr));
    EXPECT_FALSE(CheckedTimesToWrite(Record(OpDontChange, OpDontChange, OpSameAsSecondOther),
                                     {OldCreation, 0, OldWrite}, nullptr));
    // A kind left as it is may hold anything.
    EXPECT_EQ(CheckedTimesToWrite(Record(OpDontChange, OpDontChange, OpSecondToZero), {0, 0, OldWrite}, nullptr),
              (FileTimes{InvalidFileTime, InvalidFileTime, UtcTime(2022, 3, 4, 5, 6, 0)}));
    // A local conversion that fails leaves its kind, as TimesToWrite does.
    record = Record(OpDontChange, OpDontChange, OpSpecifiedTimeOfDay);
    record.value[LastWrite] = InvalidFileTime;
    EXPECT_EQ(CheckedTimesToWrite(record, OldTimes(), nullptr),
              (FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime}));
}

} // namespace
