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
const FileTime Chosen = UtcTime(2024, 1, 31, 12);
const FileTime Now = UtcTime(2030, 6, 1, 12);

FileTimes TimesAt(int year)
{
    return {UtcTime(year, 1, 1), UtcTime(year, 2, 1), UtcTime(year, 3, 1)};
}

// A folder whose write time becomes that of its newest entry, over files that get a chosen
// write time: the folder's new time depends on its entries' new times.
class PreviewUndoTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs.AddFolder(Root, TimesAt(2000));
        fs.AddFolder(Root + L"\\F", TimesAt(2001));
        fs.AddFile(Root + L"\\F\\a.txt", TimesAt(2002));
        fs.AddFile(Root + L"\\F\\b.txt", TimesAt(2003));
        fs.AddFile(Root + L"\\F\\same.txt", {UtcTime(2004, 1, 1), UtcTime(2004, 2, 1), Chosen});
        choices.general.operation[LastWrite] = OpLatestEntry;
        choices.advanced.operation[LastWrite] = OpSpecifiedDateTime;
        choices.advanced.value[LastWrite] = Chosen;
        choices.general.now = Now;
        choices.advanced.now = Now;
    }

    MemoryFileSystem fs;
    ApplyChoices choices;
    const std::vector<SelectedItem> items{{Root + L"\\F", true, true}, {Root + L"\\new.txt", false, false}};
};

TEST_F(PreviewUndoTest, ThePreviewWritesNothingAndAgreesWithTheApply)
{
    MemoryFileSystem applied = fs;
    PreviewFileSystem preview(fs);
    ASSERT_EQ(ApplySelection(preview, choices, items).outcome, WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"write "), 0u);
    EXPECT_EQ(fs.Count(L"create "), 0u);

    ASSERT_EQ(ApplySelection(applied, choices, items).outcome, WalkOutcome::Finished);
    // Every item the apply changed is planned, with the times it then held; an item written
    // with the value it already had counts as staying as it is.
    std::vector<std::wstring> planned;
    for (const PlannedChange& change : preview.Changes()) {
        planned.push_back(change.path);
        if (!change.created) {
            EXPECT_EQ(change.planned, applied.TimesOf(change.path)) << testing::PrintToString(change.path);
            EXPECT_NE(change.planned, fs.TimesOf(change.path)) << testing::PrintToString(change.path);
        }
    }
    EXPECT_EQ(planned, (std::vector<std::wstring>{Root + L"\\F\\a.txt", Root + L"\\F\\b.txt", Root + L"\\F",
                                                  Root + L"\\new.txt"}));
    EXPECT_EQ(applied.TimesOf(Root + L"\\F\\same.txt"), fs.TimesOf(Root + L"\\F\\same.txt"));
    // The folder takes its newest entry's new time, which the preview knew without writing.
    EXPECT_EQ(preview.Changes()[2].path, Root + L"\\F");
    EXPECT_TRUE(preview.Changes()[2].folder);
    EXPECT_EQ(preview.Changes()[2].planned[LastWrite], Chosen);
    EXPECT_EQ(preview.Changes()[2].current, TimesAt(2001));
    // The file to be made is listed as such; same.txt already holds the chosen time.
    EXPECT_TRUE(preview.Changes().back().created);
    EXPECT_EQ(preview.Unchanged(), 1u);
}

TEST_F(PreviewUndoTest, AnItemThatCannotBeReadEndsThePreviewWhereTheApplyWouldStop)
{
    fs.At(Root + L"\\F\\b.txt").readError = ERROR_ACCESS_DENIED;
    PreviewFileSystem preview(fs);
    const ApplyReport report = ApplySelection(preview, choices, items);
    EXPECT_EQ(report.outcome, WalkOutcome::Failed);
    EXPECT_EQ(report.failedPath, Root + L"\\F\\b.txt");
    EXPECT_EQ(report.failure, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(preview.Changes().size(), 1u);
}

TEST_F(PreviewUndoTest, UndoPutsBackWhatTheApplyWroteExceptWhereAnotherProgramWroteSince)
{
    const FileTimes before = fs.TimesOf(Root + L"\\F\\a.txt");
    UndoRecord record;
    RecordingFileSystem recording(fs, record);
    ASSERT_EQ(ApplySelection(recording, choices, items).outcome, WalkOutcome::Finished);
    // a.txt, b.txt and F. same.txt needed no write, and the new file was written with the
    // times it was made with: neither has anything to undo.
    ASSERT_EQ(record.Size(), 3u);
    EXPECT_EQ(record.PathOf(record.Entries()[0]), Root + L"\\F\\a.txt");
    EXPECT_EQ(record.PathOf(record.Entries()[2]), Root + L"\\F");

    // Another program writes b.txt after the apply; one that reads a.txt and lists F only
    // moves their access times, which writes neither.
    fs.At(Root + L"\\F\\b.txt").times[LastWrite] += TicksPerSecond;
    fs.At(Root + L"\\F\\a.txt").times[LastAccess] += TicksPerSecond;
    fs.At(Root + L"\\F").times[LastAccess] += TicksPerSecond;
    const UndoReport report = UndoApply(fs, record, nullptr);
    EXPECT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(report.restored, 2u);
    EXPECT_EQ(report.leftAlone, 1u);
    EXPECT_EQ(report.firstLeftAlone, Root + L"\\F\\b.txt");
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\a.txt"), before);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F"), TimesAt(2001));
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\b.txt")[LastWrite], Chosen + TicksPerSecond);

    // Another program's write that leaves the write time as it was (only the creation time
    // moves) is a write too.
    UndoRecord again;
    RecordingFileSystem recordingAgain(fs, again);
    ASSERT_EQ(ApplySelection(recordingAgain, choices, items).outcome, WalkOutcome::Finished);
    fs.At(Root + L"\\F\\a.txt").times[Creation] += 1;
    const UndoReport second = UndoApply(fs, again, nullptr);
    EXPECT_EQ(second.leftAlone, 1u);
    EXPECT_EQ(second.firstLeftAlone, Root + L"\\F\\a.txt");
}

TEST_F(PreviewUndoTest, AnItemThatCannotBeWrittenStopsTheUndoAndIsNamed)
{
    UndoRecord record;
    RecordingFileSystem recording(fs, record);
    ASSERT_EQ(ApplySelection(recording, choices, items).outcome, WalkOutcome::Finished);
    fs.At(Root + L"\\F\\b.txt").writeError = ERROR_ACCESS_DENIED;
    const UndoReport report = UndoApply(fs, record, nullptr);
    EXPECT_EQ(report.outcome, WalkOutcome::Failed);
    EXPECT_EQ(report.failedPath, Root + L"\\F\\b.txt");
    EXPECT_EQ(report.restored, 1u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F")[LastWrite], Chosen); // after the stop, nothing more

    // Undone again once the item can be written: the item put back before is not taken for
    // one another program changed.
    fs.At(Root + L"\\F\\b.txt").writeError = 0;
    const UndoReport again = UndoApply(fs, record, nullptr);
    EXPECT_EQ(again.outcome, WalkOutcome::Finished);
    EXPECT_EQ(again.restored, 3u);
    EXPECT_EQ(again.leftAlone, 0u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F"), TimesAt(2001));
}

} // namespace
