#include "engine/PreviewFileSystem.h"
#include "engine/SelectionApply.h"
#include "engine/UndoRecord.h"

#include "tests/engine/MemoryFileSystem.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring Root = L"M:\\root";
const FileTime Now = UtcTime(2030, 6, 1, 12);
const FileTime TakenA = UtcTime(2019, 7, 14, 9, 30, 5, 250);
const FileTime TakenC = UtcTime(2020, 12, 31, 23, 59, 59);

FileTimes TimesAt(int year)
{
    return {UtcTime(year, 1, 1), UtcTime(year, 2, 1), UtcTime(year, 3, 1)};
}

TEST(DateTakenOperation, TakesTheDateWhereThereIsOneAndLeavesTheKindWhereThereIsNone)
{
    HandlingRecord record;
    record.operation[LastWrite] = OpDateTaken;
    record.operation[Creation] = OpSameAsFirstOther; // the creation row's first other is Modified
    record.now = Now;
    const FileTimes current = TimesAt(2001);

    FileTimes times = current;
    ComputeNewTimes(record, times, nullptr, TakenA);
    EXPECT_EQ(times, (FileTimes{TakenA, current[LastAccess], TakenA}));
    EXPECT_EQ(TimesToWrite(record, current, nullptr, TakenA), (FileTimes{TakenA, InvalidFileTime, TakenA}));

    // Without a date the row is "Don't change"; the creation row still copies Modified as it is.
    EXPECT_EQ(TimesToWrite(record, current, nullptr),
              (FileTimes{current[LastWrite], InvalidFileTime, InvalidFileTime}));
    EXPECT_EQ(CheckedTimesToWrite(record, current, nullptr, std::nullopt),
              (FileTimes{current[LastWrite], InvalidFileTime, InvalidFileTime}));
    EXPECT_TRUE(record.TakesDateTaken());
    record.operation[LastWrite] = OpShiftBySpan;
    EXPECT_FALSE(record.TakesDateTaken());
}

class DateTakenApplyTest : public testing::Test {
protected:
    // F: a.jpg, b.png (no date), sub\c.mov and d.heic; g.jpg beside F.
    DateTakenApplyTest()
    {
        fs.AddFolder(Root, TimesAt(2000));
        fs.AddFolder(Root + L"\\F", TimesAt(2001));
        fs.AddFile(Root + L"\\F\\a.jpg", TimesAt(2002)).dateTaken = TakenA;
        fs.AddFile(Root + L"\\F\\b.png", TimesAt(2003));
        fs.AddFolder(Root + L"\\F\\sub", TimesAt(2004));
        fs.AddFile(Root + L"\\F\\sub\\c.mov", TimesAt(2005)).dateTaken = TakenC;
        fs.AddFile(Root + L"\\F\\d.heic", TimesAt(2006)).dateTaken = TakenC;
        fs.AddFile(Root + L"\\g.jpg", TimesAt(2007)).dateTaken = TakenA;
        choices.advanced.operation[LastWrite] = OpDateTaken;
        choices.general.operation[LastWrite] = OpDateTaken;
        choices.options.recursive = true;
        choices.general.now = choices.advanced.now = Now;
    }

    MemoryFileSystem fs;
    ApplyChoices choices;
};

TEST_F(DateTakenApplyTest, AWalkTakesEachFilesDateCountsThoseWithoutAndLeavesFolders)
{
    const ApplyReport report = ApplySelection(fs, choices, {{Root + L"\\F", true, true}});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(report.done, (WalkCounts{4, 2}));
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\a.jpg")[LastWrite], TakenA);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\sub\\c.mov")[LastWrite], TakenC);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\d.heic")[LastWrite], TakenC);
    // The file without a date keeps every time, and is counted and named.
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\b.png"), TimesAt(2003));
    EXPECT_EQ(report.withoutDate.count, 1u);
    EXPECT_EQ(report.withoutDate.first, Root + L"\\F\\b.png");
    // Folders have no date taken: the General row leaves them, and none is asked for one.
    EXPECT_EQ(fs.TimesOf(Root + L"\\F"), TimesAt(2001));
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\sub"), TimesAt(2004));
    EXPECT_EQ(fs.Count(L"date "), 4u);
    EXPECT_EQ(fs.Count(L"date " + Root + L"\\F\\sub\\"), 1u);
    EXPECT_EQ(fs.Count(L"write " + Root + L"\\F\\sub\\c.mov"), 1u);
    EXPECT_EQ(fs.Count(L"write " + Root + L"\\F\\sub"), 1u); // c.mov's write only
    // Each file is opened once, for its times and its date.
    EXPECT_EQ(fs.Count(L"read " + Root + L"\\F\\a.jpg"), 1u);
    EXPECT_EQ(fs.Count(L"read " + Root + L"\\F\\b.png"), 1u);
}

TEST_F(DateTakenApplyTest, EveryFileWithoutADateCountsAndTheFirstInWalkOrderIsNamed)
{
    fs.At(Root + L"\\F\\a.jpg").dateTaken.reset();
    fs.At(Root + L"\\F\\d.heic").dateTaken.reset();
    choices.options.recursive = false;
    const ApplyReport report = ApplySelection(fs, choices, {{Root + L"\\F", true, true}});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(report.withoutDate.count, 3u);
    EXPECT_EQ(report.withoutDate.first, Root + L"\\F\\a.jpg");
    EXPECT_EQ(fs.Count(L"date "), 3u); // not recursive: sub\c.mov is not reached
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\sub\\c.mov"), TimesAt(2005));
}

TEST_F(DateTakenApplyTest, ASelectionTakesTheDatesOfItsFilesAndOfTheFilesInItsFolders)
{
    choices.options.recursive = false;
    choices.general.operation[Creation] = OpDateTaken;
    const ApplyReport report = ApplySelection(
        fs, choices,
        {{Root + L"\\g.jpg", false, true}, {Root + L"\\F", true, true}, {Root + L"\\new.jpg", false, false}});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    // The selected file takes its date in both rows of the General page.
    EXPECT_EQ(fs.TimesOf(Root + L"\\g.jpg"), (FileTimes{TakenA, TimesAt(2007)[LastAccess], TakenA}));
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\a.jpg")[LastWrite], TakenA);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F"), TimesAt(2001));
    // b.png, and the file the apply made, which holds no data at all.
    EXPECT_EQ(report.withoutDate.count, 2u);
    EXPECT_EQ(report.withoutDate.first, Root + L"\\F\\b.png");
}

TEST_F(DateTakenApplyTest, WithoutTheOperationNoDateIsReadAndOnlyTheKindsThatChangeAreWritten)
{
    choices.advanced.operation[LastWrite] = OpCurrentDateTime;
    choices.general.operation[LastWrite] = OpDontChange;
    const ApplyReport report = ApplySelection(fs, choices, {{Root + L"\\F", true, true}});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"date "), 0u);
    EXPECT_EQ(report.withoutDate.count, 0u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\b.png")[LastAccess], TimesAt(2003)[LastAccess]);
}

// A file whose data cannot be read (no read access) is a file without a date: counted, that
// kind left as it is, the other rows applied as to any file.
TEST_F(DateTakenApplyTest, AFileWhoseDataCannotBeReadIsCountedAndGetsTheOtherRows)
{
    fs.At(Root + L"\\F\\a.jpg").dataUnreadable = true;
    choices.advanced.operation[LastAccess] = OpCurrentDateTime;
    choices.options.recursive = false;
    const ApplyReport report = ApplySelection(fs, choices, {{Root + L"\\F", true, true}});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(report.withoutDate.count, 2u);
    EXPECT_EQ(report.withoutDate.first, Root + L"\\F\\a.jpg");
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\a.jpg"), (FileTimes{TimesAt(2002)[Creation], Now, TimesAt(2002)[LastWrite]}));
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\d.heic"), (FileTimes{TimesAt(2006)[Creation], Now, TakenC}));
}

TEST_F(DateTakenApplyTest, ThePreviewShowsTheDatesAndTheFilesWithoutOneAndAgreesWithTheApply)
{
    MemoryFileSystem applied = fs;
    PreviewFileSystem preview(fs);
    const std::vector<SelectedItem> items{{Root + L"\\F", true, true}, {Root + L"\\g.jpg", false, true}};
    const ApplyReport previewed = ApplySelection(preview, choices, items);
    ASSERT_EQ(previewed.outcome, WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"write "), 0u);
    const ApplyReport report = ApplySelection(applied, choices, items);
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(previewed.withoutDate.count, report.withoutDate.count);
    EXPECT_EQ(previewed.withoutDate.first, report.withoutDate.first);

    std::vector<std::wstring> listed;
    for (const PlannedChange& change : preview.Changes()) {
        listed.push_back(change.path);
        EXPECT_EQ(change.planned, applied.TimesOf(change.path)) << testing::PrintToString(change.path);
    }
    EXPECT_EQ(listed, (std::vector<std::wstring>{Root + L"\\F\\a.jpg", Root + L"\\F\\b.png", Root + L"\\F\\sub\\c.mov",
                                                 Root + L"\\F\\d.heic", Root + L"\\g.jpg"}));
    // b.png changes nothing, and is listed for its missing date in the Modified column alone.
    const PlannedChange& without = preview.Changes()[1];
    EXPECT_EQ(without.planned, without.current);
    EXPECT_EQ(without.noDateTaken, (TimestampKindSet{false, false, true}));
    EXPECT_EQ(preview.Changes()[0].noDateTaken, TimestampKindSet{});
    EXPECT_EQ(preview.Changes()[0].planned[LastWrite], TakenA);
    // The two folders stay as they are.
    EXPECT_EQ(preview.Unchanged(), 2u);
}

TEST_F(DateTakenApplyTest, UndoPutsBackTheTimesTakenFromTheDates)
{
    UndoRecord record;
    RecordingFileSystem recording(fs, record);
    const ApplyReport report = ApplySelection(recording, choices, {{Root + L"\\F", true, true}});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    // b.png was written with the times it held: nothing to undo there.
    EXPECT_EQ(record.Size(), 3u);
    ASSERT_EQ(UndoApply(fs, record, nullptr).restored, 3u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\a.jpg"), TimesAt(2002));
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\sub\\c.mov"), TimesAt(2005));
}

} // namespace
