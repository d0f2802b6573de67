#include "engine/SelectionApply.h"
#include "engine/UndoRecord.h"

#include "tests/engine/MemoryFileSystem.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

#include <cstdint>
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

HandlingRecord WriteTimeOperation(TimestampOperation operation)
{
    HandlingRecord record;
    record.operation[LastWrite] = operation;
    record.value[LastWrite] = Chosen;
    record.now = Now;
    return record;
}

// Stops the apply when asked about the item numbered stopAt (from 0), and records the calls.
class StoppingProgress final : public WalkProgress {
public:
    explicit StoppingProgress(std::size_t stopAt = SIZE_MAX) : stopAt_(stopAt) {}

    bool Continue(const std::wstring& item, const WalkCounts& done) override
    {
        items.push_back(item);
        counts.push_back(done);
        return items.size() != stopAt_ + 1;
    }

    std::vector<std::wstring> items;
    std::vector<WalkCounts> counts;

private:
    std::size_t stopAt_;
};

class SelectionApplyTest : public testing::Test {
protected:
    ApplyReport Apply(const std::vector<SelectedItem>& items) { return ApplySelection(fs, choices, items); }

    // Writes of exactly this item.
    std::size_t Writes(const std::wstring& path) const
    {
        std::size_t count = 0;
        for (const std::wstring& line : fs.Log())
            count += line == L"write " + path ? 1 : 0;
        return count;
    }

    static SelectedItem File(const std::wstring& path) { return {path, false, true}; }
    static SelectedItem Folder(const std::wstring& path) { return {path, true, true}; }

    MemoryFileSystem fs;
    ApplyChoices choices{WriteTimeOperation(OpSpecifiedDateTime), WriteTimeOperation(OpCurrentDateTime), {}};
};

TEST_F(SelectionApplyTest, EveryItemIsWrittenOnceWithTheOperationsOfItsOwnTurn)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\F", TimesAt(2001));
    fs.AddFile(Root + L"\\F\\selected.txt", TimesAt(2002));
    fs.AddFile(Root + L"\\F\\other.txt", TimesAt(2003));
    fs.AddFolder(Root + L"\\F\\S", TimesAt(2004));
    fs.AddFile(Root + L"\\F\\S\\deep.txt", TimesAt(2005));
    fs.AddFile(Root + L"\\b.txt", TimesAt(2006));
    // A second name of b.txt, as a hard link gives (listed as a plain file).
    fs.AddLink(Root + L"\\hard.txt", Root + L"\\b.txt").listedAsLink = false;
    choices.options.recursive = true;

    // The folder comes before a file inside it; a subfolder of it is selected too, b.txt
    // twice and once more through its second name.
    const ApplyReport report =
        Apply({Folder(Root + L"\\F"), File(Root + L"\\F\\selected.txt"), Folder(Root + L"\\F\\S"),
               File(Root + L"\\b.txt"), File(Root + L"\\b.txt"), File(Root + L"\\hard.txt")});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);

    for (const wchar_t* name :
         {L"\\F", L"\\F\\selected.txt", L"\\F\\other.txt", L"\\F\\S", L"\\F\\S\\deep.txt", L"\\b.txt"}) {
        EXPECT_EQ(Writes(Root + name), 1u) << name;
    }
    EXPECT_EQ(Writes(Root + L"\\hard.txt"), 0u);
    // A selected file gets the selection's operations, not those of the files in a folder.
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\selected.txt")[LastWrite], Chosen);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\other.txt")[LastWrite], Now);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\S\\deep.txt")[LastWrite], Now);
    EXPECT_EQ(fs.TimesOf(Root + L"\\b.txt")[LastWrite], Chosen);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\S")[LastWrite], Chosen);
}

TEST_F(SelectionApplyTest, FilesAreOpenedOnceEachAndListedOnlyWhereASecondWriteWouldDiffer)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\F", TimesAt(2000));
    std::vector<SelectedItem> items;
    for (const wchar_t* name : {L"\\a", L"\\b", L"\\F\\c"}) {
        fs.AddFile(Root + name, TimesAt(2001));
        items.push_back(File(Root + name));
    }
    // A second name of a, as a hard link gives.
    fs.AddLink(Root + L"\\hard", Root + L"\\a").listedAsLink = false;
    items.push_back(File(Root + L"\\hard"));

    // A shift moves a file selected twice a second time: the selection is known by its
    // folders' listings, one listing and one volume query per folder.
    choices.general.operation[LastWrite] = OpShiftBySpan;
    choices.general.span[LastWrite] = {0, TicksPerSecond};
    ApplyReport report = Apply(items);
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"identify "), 2u);
    EXPECT_EQ(fs.Count(L"list "), 2u);
    EXPECT_EQ(fs.Count(L"read "), 4u);
    EXPECT_EQ(fs.Count(L"write "), 3u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\a")[LastWrite], TimesAt(2001)[LastWrite] + TicksPerSecond);
    EXPECT_EQ(report.done.files, 4u);

    // A fixed date gives the same times however often it is written: nothing is listed, and
    // the undo record keeps the one write that changed the file.
    fs.ClearLog();
    choices.general = WriteTimeOperation(OpSpecifiedDateTime);
    UndoRecord record;
    RecordingFileSystem recording(fs, record);
    report = ApplySelection(recording, choices, items);
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"identify "), 0u);
    EXPECT_EQ(fs.Count(L"list "), 0u);
    EXPECT_EQ(fs.Count(L"read "), 4u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\a")[LastWrite], Chosen);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\c")[LastWrite], Chosen);
    EXPECT_EQ(record.Entries().size(), 3u);
    EXPECT_EQ(report.done.files, 4u);

    // A selected folder's walk may reach the other selected items: listed again.
    fs.ClearLog();
    items.push_back(Folder(Root + L"\\F"));
    report = Apply(items);
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_GE(fs.Count(L"list "), 2u);
    EXPECT_EQ(Writes(Root + L"\\F\\c"), 1u);
}

TEST_F(SelectionApplyTest, ProgressRunsAcrossTheItemsAndAStopEndsBeforeTheNextItem)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a", TimesAt(2001));
    fs.AddFolder(Root + L"\\F", TimesAt(2002));
    fs.AddFile(Root + L"\\F\\x", TimesAt(2003));
    fs.AddFile(Root + L"\\b", TimesAt(2004));
    StoppingProgress progress(4); // a, F, F\x, F again before its own write, then b
    choices.options.progress = &progress;

    const ApplyReport report = Apply({File(Root + L"\\a"), Folder(Root + L"\\F"), File(Root + L"\\b")});
    EXPECT_EQ(report.outcome, WalkOutcome::Stopped);
    EXPECT_EQ(report.failure, S_OK);
    ASSERT_EQ(progress.items.size(), 5u); // a, F, F\x, F (its own write), b
    EXPECT_EQ(progress.items[4], Root + L"\\b");
    EXPECT_EQ(progress.counts[4], (WalkCounts{2, 1}));
    EXPECT_EQ(fs.TimesOf(Root + L"\\a")[LastWrite], Chosen);
    EXPECT_EQ(fs.TimesOf(Root + L"\\F\\x")[LastWrite], Now);
    EXPECT_EQ(fs.TimesOf(Root + L"\\b"), TimesAt(2004));
}

TEST_F(SelectionApplyTest, MissingItemsAreCreatedOnlyWhereTheyDidNotExistBefore)
{
    fs.AddFolder(Root, TimesAt(2000));

    // A file that did not exist when the sheet opened is made and written.
    ApplyReport report = Apply({{Root + L"\\new.txt", false, false}});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"create M:\\root\\new.txt"), 1u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\new.txt")[LastWrite], Chosen);

    // A folder that has gone since is reported, never made a file; nothing after it is touched.
    fs.AddFile(Root + L"\\after.txt", TimesAt(2001));
    report = Apply({Folder(Root + L"\\gone"), File(Root + L"\\after.txt")});
    EXPECT_EQ(report.outcome, WalkOutcome::Failed);
    EXPECT_EQ(report.failure, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(report.failedPath, Root + L"\\gone");
    EXPECT_EQ(fs.Count(L"create M:\\root\\gone"), 0u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\after.txt"), TimesAt(2001));

    // So is a file that existed; an item the file system cannot reach keeps its cause.
    report = Apply({File(Root + L"\\vanished.txt")});
    EXPECT_EQ(report.failedPath, Root + L"\\vanished.txt");
    report = Apply({File(L"M:\\nowhere\\x.txt")});
    EXPECT_EQ(report.failure, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(fs.Count(L"create "), 1u);
}

TEST_F(SelectionApplyTest, AFailureStopsTheApplyAndNamesTheItemWhatWasWrittenStays)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a", TimesAt(2001));
    fs.AddFolder(Root + L"\\F", TimesAt(2002));
    fs.AddFile(Root + L"\\F\\locked", TimesAt(2003)).writeError = ERROR_ACCESS_DENIED;
    fs.AddFile(Root + L"\\b", TimesAt(2004));

    const ApplyReport report = Apply({File(Root + L"\\a"), Folder(Root + L"\\F"), File(Root + L"\\b")});
    EXPECT_EQ(report.outcome, WalkOutcome::Failed);
    EXPECT_EQ(report.failure, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(report.failedPath, Root + L"\\F\\locked");
    EXPECT_EQ(fs.TimesOf(Root + L"\\a")[LastWrite], Chosen);
    EXPECT_EQ(fs.TimesOf(Root + L"\\b"), TimesAt(2004));
}

TEST_F(SelectionApplyTest, ASingleItemThatCannotBeShiftedIsReportedBeforeAnythingIsWritten)
{
    const FileTimes early = {UtcTime(2001, 1, 1), UtcTime(2001, 1, 2), UtcTime(1601, 1, 1, 0, 0, 30)};
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a", early);
    choices.general.operation[Creation] = OpCurrentDateTime;
    choices.general.operation[LastWrite] = OpShiftBySpan;
    choices.general.span[LastWrite] = {0, -60 * static_cast<std::int64_t>(TicksPerSecond)};

    const ApplyReport report = Apply({File(Root + L"\\a")});
    EXPECT_EQ(report.outcome, WalkOutcome::Failed);
    EXPECT_EQ(report.failure, UnwritableTimeResult);
    EXPECT_EQ(report.failedPath, Root + L"\\a");
    EXPECT_EQ(fs.TimesOf(Root + L"\\a"), early);
    EXPECT_EQ(fs.Count(L"write "), 0u);
    EXPECT_EQ(report.done.files, 0u);
}

TEST_F(SelectionApplyTest, AShiftMovesEachItemOnceAndStopsAtTheOneItCannotWrite)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a", TimesAt(2001));
    fs.AddFile(Root + L"\\b", {UtcTime(2002, 1, 1), UtcTime(2002, 1, 2), LargestFileTime});
    fs.AddFile(Root + L"\\c", TimesAt(2003));
    choices.general.operation[LastWrite] = OpShiftBySpan;
    choices.general.span[LastWrite] = {0, 1};

    const ApplyReport report =
        Apply({File(Root + L"\\a"), File(Root + L"\\a"), File(Root + L"\\b"), File(Root + L"\\c")});
    EXPECT_EQ(report.outcome, WalkOutcome::Failed);
    EXPECT_EQ(report.failure, UnwritableTimeResult);
    EXPECT_EQ(report.failedPath, Root + L"\\b");
    EXPECT_EQ(fs.TimesOf(Root + L"\\a")[LastWrite], TimesAt(2001)[LastWrite] + 1);
    EXPECT_EQ(Writes(Root + L"\\a"), 1u);
    EXPECT_EQ(Writes(Root + L"\\b"), 0u);
    EXPECT_EQ(fs.TimesOf(Root + L"\\c"), TimesAt(2003));
    EXPECT_EQ(fs.Count(L"read " + Root + L"\\c"), 0u);
}

TEST_F(SelectionApplyTest, ZeroIdentitiesMatchNothingAndLoopsThatAreSkippedAreNamed)
{
    // Listings and opened folders without identifiers: no subfolder may pass for a loop, and
    // selected items are told apart by their paths.
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\A", TimesAt(2001));
    fs.AddFolder(Root + L"\\A\\B", TimesAt(2002));
    fs.AddFile(Root + L"\\A\\B\\x", TimesAt(2003));
    fs.ListWithoutIds();
    fs.IdentifyAsZero();
    choices.options.recursive = true;
    ApplyReport report = Apply({Folder(Root + L"\\A"), Folder(Root + L"\\A")});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    EXPECT_TRUE(report.skippedLoops.empty());
    for (const wchar_t* name : {L"\\A", L"\\A\\B", L"\\A\\B\\x"})
        EXPECT_EQ(Writes(Root + name), 1u) << name;
    EXPECT_EQ(fs.TimesOf(Root + L"\\A\\B\\x")[LastWrite], Now);

    // A real link back to a folder above is not entered, and the apply says which it was.
    MemoryFileSystem withLoop;
    withLoop.AddFolder(Root, TimesAt(2000));
    withLoop.AddFolder(Root + L"\\A", TimesAt(2001));
    withLoop.AddLink(Root + L"\\A\\up", Root);
    report = ApplySelection(withLoop, choices, {Folder(Root)});
    ASSERT_EQ(report.outcome, WalkOutcome::Finished);
    ASSERT_EQ(report.skippedLoops.size(), 1u);
    EXPECT_EQ(report.skippedLoops[0].folder, Root + L"\\A\\up");
    EXPECT_EQ(report.skippedLoops[0].leadsTo, Root);
}

TEST(WriteLedgerTest, ItemsAreKnownByIdentityOrElseByPathLetterCaseAside)
{
    FileIdentity one;
    one.volume = 7;
    one.id[0] = 1;
    FileIdentity sameIdOtherVolume = one;
    sameIdOtherVolume.volume = 8;
    const FileIdentity unknown;

    WriteLedger ledger;
    ledger.Reserve(one, L"C:\\a");
    EXPECT_FALSE(ledger.Claim(one, L"C:\\elsewhere", false)); // a walk leaves it to its turn
    EXPECT_TRUE(ledger.Claim(one, L"C:\\a", true));
    EXPECT_FALSE(ledger.Claim(one, L"C:\\a", true)); // written once
    EXPECT_TRUE(ledger.Claim(sameIdOtherVolume, L"D:\\a", false));

    EXPECT_TRUE(ledger.Claim(unknown, L"C:\\Dir\\File.txt", true));
    EXPECT_FALSE(ledger.Claim(unknown, L"c:\\dir\\FILE.TXT", false));
    EXPECT_TRUE(ledger.Claim(unknown, L"C:\\Dir\\Other.txt", false));
}

} // namespace
