#include "engine/FolderWalk.h"

#include "tests/engine/MemoryFileSystem.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <string>
#include <vector>

namespace {

const std::wstring Root = L"M:\\root";

FileTimes TimesAt(int year, int day = 1)
{
    return {UtcTime(year, 1, day), UtcTime(year, 2, day), UtcTime(year, 3, day)};
}

HandlingRecord Operations(TimestampOperation creation, TimestampOperation access, TimestampOperation write)
{
    HandlingRecord record;
    record.operation[Creation] = creation;
    record.operation[LastAccess] = access;
    record.operation[LastWrite] = write;
    record.now = UtcTime(2030, 6, 1, 12);
    return record;
}

const HandlingRecord NoChange = Operations(OpDontChange, OpDontChange, OpDontChange);

struct Failure {
    HRESULT code;
    std::wstring path;
};

// Records what the walk asks and how many calls the file system had seen by then, and stops
// the walk at the call numbered stopAt (from 0).
class RecordingProgress final : public WalkProgress {
public:
    struct Call {
        std::wstring item;
        WalkCounts done;
        std::size_t logged; // file-system calls made before this one
    };

    explicit RecordingProgress(const MemoryFileSystem& fileSystem, std::size_t stopAt = SIZE_MAX)
        : fileSystem_(fileSystem), stopAt_(stopAt)
    {
    }

    bool Continue(const std::wstring& item, const WalkCounts& done) override
    {
        calls.push_back({item, done, fileSystem_.Log().size()});
        return calls.size() != stopAt_ + 1;
    }

    std::vector<Call> calls;

private:
    const MemoryFileSystem& fileSystem_;
    std::size_t stopAt_;
};

class FolderWalkTest : public testing::Test {
protected:
    WalkOutcome Walk(const HandlingRecord& general, const HandlingRecord& advanced, const wchar_t* patterns = nullptr,
                     bool recursive = false, const std::wstring& folder = Root)
    {
        options.namePatterns = patterns ? patterns : L"";
        options.recursive = recursive;
        return ApplyToFolder(fs, general, advanced, options, folder, [this](HRESULT code, const std::wstring& path) {
            failures.push_back({code, path});
        });
    }

    MemoryFileSystem fs;
    ApplyOptions options;
    std::vector<Failure> failures;
};

TEST_F(FolderWalkTest, NothingToDoTouchesNothing)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a.txt", TimesAt(2001));
    RecordingProgress progress(fs);
    options.progress = &progress;
    EXPECT_EQ(Walk(NoChange, NoChange, L"*.txt", true), WalkOutcome::Finished);
    EXPECT_TRUE(fs.Log().empty());
    EXPECT_TRUE(progress.calls.empty());
}

TEST_F(FolderWalkTest, PatternSelectsFilesAndSubfoldersStayWithoutRecursion)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a.txt", TimesAt(2001));
    fs.AddFile(Root + L"\\b.log", TimesAt(2002));
    fs.AddFolder(Root + L"\\S", TimesAt(2003));
    fs.AddFile(Root + L"\\S\\c.txt", TimesAt(2004));
    const HandlingRecord advanced = Operations(OpDontChange, OpDontChange, OpCurrentDateTime);

    ASSERT_EQ(Walk(NoChange, advanced, L"*.txt"), WalkOutcome::Finished);
    // Without folder operations the folder itself is neither read nor written.
    const std::vector<std::wstring> expected = {L"list M:\\root", L"read M:\\root\\a.txt", L"write M:\\root\\a.txt"};
    EXPECT_EQ(fs.Log(), expected);
    EXPECT_EQ(fs.TimesOf(Root + L"\\a.txt")[LastWrite], advanced.now);
    EXPECT_EQ(fs.TimesOf(Root + L"\\a.txt")[Creation], TimesAt(2001)[Creation]);
    EXPECT_EQ(fs.TimesOf(Root + L"\\b.log"), TimesAt(2002));
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\c.txt"), TimesAt(2004));
    EXPECT_TRUE(failures.empty());
}

TEST_F(FolderWalkTest, PatternTexts)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a.txt", TimesAt(2001));
    fs.AddFile(Root + L"\\b.log", TimesAt(2002));
    fs.AddFile(Root + L"\\README", TimesAt(2003));
    const HandlingRecord advanced = Operations(OpDontChange, OpDontChange, OpCurrentDateTime);
    struct Case {
        const wchar_t* patterns;
        std::size_t writes;
    };
    const Case cases[] = {
        {L"*.txt; *.log", 2}, {L"*.TXT", 1}, {L"*.*", 3}, {L"", 3}, {L"  ;", 3}, {L"?.log", 1}, {L"*.doc", 0},
    };
    for (const Case& c : cases) {
        MemoryFileSystem copy = fs;
        options.namePatterns = c.patterns ? c.patterns : L"";
        ASSERT_EQ(ApplyToFolder(copy, NoChange, advanced, options, Root, nullptr), WalkOutcome::Finished);
        EXPECT_EQ(copy.Count(L"write "), c.writes) << (c.patterns ? c.patterns : L"(none)");
    }
}

TEST_F(FolderWalkTest, DepthFirstWithEachFolderWrittenAfterItsEntries)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\A", TimesAt(2001));
    fs.AddFile(Root + L"\\A\\x.txt", TimesAt(2002));
    fs.AddFolder(Root + L"\\A\\B", TimesAt(2003));
    fs.AddFile(Root + L"\\z.txt", TimesAt(2004));
    const HandlingRecord general = Operations(OpDontChange, OpDontChange, OpLatestEntry);
    const HandlingRecord advanced = Operations(OpDontChange, OpCurrentDateTime, OpDontChange);

    ASSERT_EQ(Walk(general, advanced, L"", true), WalkOutcome::Finished);
    // Each item is read once, then written; the listed identifiers show that no subfolder is
    // an ancestor, so no folder is opened for its identity.
    const std::vector<std::wstring> expected = {
        L"list M:\\root",       L"list M:\\root\\A",     L"read M:\\root\\A\\x.txt", L"write M:\\root\\A\\x.txt",
        L"list M:\\root\\A\\B", L"read M:\\root\\A\\B",  L"write M:\\root\\A\\B",    L"read M:\\root\\A",
        L"write M:\\root\\A",   L"read M:\\root\\z.txt", L"write M:\\root\\z.txt",   L"read M:\\root",
        L"write M:\\root",
    };
    EXPECT_EQ(fs.Log(), expected);
}

TEST_F(FolderWalkTest, ExtremesAreTakenPerKind)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a", {UtcTime(2010, 1, 1), UtcTime(2015, 1, 1), UtcTime(2012, 1, 1)});
    fs.AddFile(Root + L"\\b", {UtcTime(2011, 1, 1), UtcTime(2013, 1, 1), UtcTime(2016, 1, 1)});
    fs.AddFolder(Root + L"\\c", {UtcTime(2009, 1, 1), UtcTime(2014, 1, 1), UtcTime(2017, 1, 1)});

    ASSERT_EQ(Walk(Operations(OpEarliestEntry, OpEarliestEntry, OpLatestEntry), NoChange), WalkOutcome::Finished);
    EXPECT_EQ(fs.TimesOf(Root), (FileTimes{UtcTime(2009, 1, 1), UtcTime(2013, 1, 1), UtcTime(2017, 1, 1)}));
    EXPECT_EQ(fs.Count(L"list M:\\root\\c"), 0u);
    EXPECT_EQ(fs.Count(L"read M:\\root\\c"), 0u);
    EXPECT_EQ(fs.Count(L"identify "), 0u);
}

TEST_F(FolderWalkTest, EmptyFolderKeepsItsOwnTimes)
{
    fs.AddFolder(Root, TimesAt(2000));
    ASSERT_EQ(Walk(Operations(OpEarliestEntry, OpLatestEntry, OpEarliestEntry), NoChange), WalkOutcome::Finished);
    EXPECT_EQ(fs.TimesOf(Root), TimesAt(2000));
    EXPECT_EQ(fs.Count(L"write M:\\root"), 1u);
}

TEST_F(FolderWalkTest, LatestTimePropagatesUpTheTreeWhenRecursive)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\A", TimesAt(2000));
    fs.AddFolder(Root + L"\\A\\B", TimesAt(2000));
    fs.AddFile(Root + L"\\A\\B\\deep.txt", TimesAt(2020));
    fs.AddFolder(Root + L"\\C", TimesAt(2000));
    fs.AddFile(Root + L"\\C\\old.txt", TimesAt(2005));
    fs.AddFile(Root + L"\\top.txt", TimesAt(2010));

    ASSERT_EQ(Walk(Operations(OpDontChange, OpDontChange, OpLatestEntry), NoChange, L"", true), WalkOutcome::Finished);
    const FileTime newest = TimesAt(2020)[LastWrite];
    EXPECT_EQ(fs.TimesOf(Root + L"\\A\\B")[LastWrite], newest);
    EXPECT_EQ(fs.TimesOf(Root + L"\\A")[LastWrite], newest);
    EXPECT_EQ(fs.TimesOf(Root)[LastWrite], newest);
    EXPECT_EQ(fs.TimesOf(Root + L"\\C")[LastWrite], TimesAt(2005)[LastWrite]);
    EXPECT_EQ(fs.TimesOf(Root)[Creation], TimesAt(2000)[Creation]);
    EXPECT_EQ(fs.Count(L"write M:\\root\\A\\B\\deep.txt"), 0u);
}

TEST_F(FolderWalkTest, FoldsTheTimesTheFileSystemKept)
{
    fs.KeepWholeSeconds();
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a.txt", TimesAt(2001));
    HandlingRecord advanced = Operations(OpDontChange, OpDontChange, OpSpecifiedDateTime);
    advanced.value[LastWrite] = UtcTime(2040, 1, 1, 0, 0, 7, 654);

    ASSERT_EQ(Walk(Operations(OpDontChange, OpDontChange, OpLatestEntry), advanced), WalkOutcome::Finished);
    EXPECT_EQ(fs.TimesOf(Root)[LastWrite], UtcTime(2040, 1, 1, 0, 0, 7));
}

TEST_F(FolderWalkTest, HiddenAndSystemEntriesAreSkippedOnRequest)
{
    fs.AddFolder(Root, TimesAt(2000), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    fs.AddFile(Root + L"\\plain.txt", TimesAt(2005));
    fs.AddFile(Root + L"\\hidden.txt", TimesAt(2020), FILE_ATTRIBUTE_HIDDEN);
    fs.AddFile(Root + L"\\system.txt", TimesAt(2015), FILE_ATTRIBUTE_SYSTEM);
    fs.AddFolder(Root + L"\\HiddenDir", TimesAt(2001), FILE_ATTRIBUTE_HIDDEN);
    const HandlingRecord general = Operations(OpDontChange, OpDontChange, OpLatestEntry);
    const FileTimes before = fs.TimesOf(Root);
    options.recursive = true;

    MemoryFileSystem defaults = fs;
    ASSERT_EQ(ApplyToFolder(defaults, general, NoChange, options, Root, nullptr), WalkOutcome::Finished);
    EXPECT_EQ(defaults.TimesOf(Root)[LastWrite], TimesAt(2015)[LastWrite]);
    EXPECT_EQ(defaults.Count(L"list M:\\root\\HiddenDir"), 0u);

    options.excludeSystem = true;
    MemoryFileSystem both = fs;
    ASSERT_EQ(ApplyToFolder(both, general, NoChange, options, Root, nullptr), WalkOutcome::Finished);
    EXPECT_EQ(both.TimesOf(Root)[LastWrite], TimesAt(2005)[LastWrite]);

    options.excludeSystem = false;
    options.excludeHidden = false;
    MemoryFileSystem none = fs;
    ASSERT_EQ(ApplyToFolder(none, general, NoChange, options, Root, nullptr), WalkOutcome::Finished);
    EXPECT_EQ(none.TimesOf(Root)[LastWrite], TimesAt(2020)[LastWrite]);
    EXPECT_EQ(none.Count(L"list M:\\root\\HiddenDir"), 1u);
    EXPECT_NE(before, none.TimesOf(Root));
}

TEST_F(FolderWalkTest, FilesChangeWithoutFolderWrites)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\S", TimesAt(2001));
    fs.AddFile(Root + L"\\S\\a.txt", TimesAt(2002));
    const HandlingRecord advanced = Operations(OpCurrentDateTime, OpCurrentDateTime, OpCurrentDateTime);
    ASSERT_EQ(Walk(NoChange, advanced, L"", true), WalkOutcome::Finished);
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\a.txt"), (FileTimes{advanced.now, advanced.now, advanced.now}));
    EXPECT_EQ(fs.Count(L"write "), 1u);
    EXPECT_EQ(fs.Count(L"read M:\\root\\S\\a.txt"), 1u);
    EXPECT_EQ(fs.TimesOf(Root), TimesAt(2000));
}

TEST_F(FolderWalkTest, RootPathEndingInABackslash)
{
    fs.AddFolder(L"M:\\", TimesAt(2000));
    fs.AddFile(L"M:\\a.txt", TimesAt(2001));
    ASSERT_EQ(Walk(NoChange, Operations(OpCurrentDateTime, OpDontChange, OpDontChange), L"", false, L"M:\\"),
              WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"write M:\\a.txt"), 1u);
}

TEST_F(FolderWalkTest, FolderThatCannotBeListedStopsTheWalkByName)
{
    // Neither an unlistable folder nor a listing that breaks off may pass for an empty one.
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\S", TimesAt(2001)).listError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(Walk(Operations(OpLatestEntry, OpDontChange, OpCurrentDateTime), NoChange, nullptr, true),
              WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(failures[0].path, Root + L"\\S");
    EXPECT_EQ(fs.Count(L"write "), 0u);

    MemoryFileSystem broken;
    broken.AddFolder(Root, TimesAt(2000)).listBreaksAfter = 3;
    broken.AddFile(Root + L"\\a.txt", TimesAt(2001));
    broken.AddFile(Root + L"\\b.txt", TimesAt(2002));
    failures.clear();
    std::swap(fs, broken);
    EXPECT_EQ(Walk(Operations(OpLatestEntry, OpDontChange, OpDontChange),
                   Operations(OpDontChange, OpDontChange, OpCurrentDateTime)),
              WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_NETNAME_DELETED));
    EXPECT_EQ(failures[0].path, Root);
    EXPECT_EQ(fs.Count(L"write M:\\root\\a.txt"), 1u);
    EXPECT_EQ(fs.TimesOf(Root), TimesAt(2000));
    EXPECT_EQ(fs.TimesOf(Root + L"\\b.txt"), TimesAt(2002));
}

TEST_F(FolderWalkTest, ListedTimesThatLagAreNeverWrittenBack)
{
    // The listing shows older times than the file holds (as through another hard link): only
    // the kind that changes is written, computed from the file's own times, and the folder
    // takes the times the file then holds.
    const FileTimes real = {UtcTime(2020, 5, 5, 10, 20, 30), UtcTime(2021, 6, 6, 11, 22, 33),
                            UtcTime(2022, 7, 7, 12, 24, 36)};
    fs.AddFolder(Root, TimesAt(2000));
    MemoryFileSystem::Item& file = fs.AddFile(Root + L"\\linked.txt", real);
    file.listedLagging = true;
    file.listedTimes = TimesAt(2001);
    MemoryFileSystem::Item& folder = fs.AddFolder(Root + L"\\S", TimesAt(2010));
    folder.listedLagging = true;
    folder.listedTimes = TimesAt(2002);

    ASSERT_EQ(Walk(Operations(OpLatestEntry, OpDontChange, OpDontChange),
                   Operations(OpDontChange, OpDontChange, OpSecondToZero)),
              WalkOutcome::Finished);
    EXPECT_EQ(fs.TimesOf(Root + L"\\linked.txt"),
              (FileTimes{real[Creation], real[LastAccess], UtcTime(2022, 7, 7, 12, 24)}));
    EXPECT_EQ(fs.TimesOf(Root)[Creation], real[Creation]);
    EXPECT_EQ(fs.TimesOf(Root)[LastAccess], TimesAt(2000)[LastAccess]);

    // Recursive: the subfolder is read from itself, and its unchanged kinds stay.
    ASSERT_EQ(Walk(Operations(OpDontChange, OpCurrentDateTime, OpDontChange), NoChange, nullptr, true),
              WalkOutcome::Finished);
    EXPECT_EQ(fs.TimesOf(Root + L"\\S"),
              (FileTimes{TimesAt(2010)[Creation], UtcTime(2030, 6, 1, 12), TimesAt(2010)[LastWrite]}));
    EXPECT_TRUE(failures.empty());
}

TEST_F(FolderWalkTest, AShiftMovesEveryItemByTheSpan)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a.txt", TimesAt(2001));
    fs.AddFolder(Root + L"\\S", TimesAt(2002));
    fs.AddFile(Root + L"\\S\\b.txt", TimesAt(2003));
    HandlingRecord general = Operations(OpDontChange, OpDontChange, OpShiftBySpan);
    general.span[LastWrite] = {0, 90 * static_cast<std::int64_t>(TicksPerMinute)};
    HandlingRecord advanced = Operations(OpShiftBySpan, OpDontChange, OpSameAsFirstOther);
    advanced.span[Creation] = {0, -static_cast<std::int64_t>(TicksPerDay) - 1};

    EXPECT_EQ(Walk(general, advanced, nullptr, true), WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    for (const auto& [name, year] : {std::pair{L"\\a.txt", 2001}, std::pair{L"\\S\\b.txt", 2003}}) {
        const FileTime created = TimesAt(year)[Creation] - TicksPerDay - 1;
        EXPECT_EQ(fs.TimesOf(Root + name), (FileTimes{created, TimesAt(year)[LastAccess], created}));
    }
    for (const auto& [name, year] : {std::pair{L"", 2000}, std::pair{L"\\S", 2002}}) {
        const FileTimes old = TimesAt(year);
        EXPECT_EQ(fs.TimesOf(Root + name),
                  (FileTimes{old[Creation], old[LastAccess], old[LastWrite] + 90 * TicksPerMinute}));
    }
}

TEST_F(FolderWalkTest, ATimeThatCannotBeWrittenStopsTheWalkAtItsItemUnwritten)
{
    // Half an hour after the earliest file time, an hour's shift back leaves the range.
    const FileTimes early = {UtcTime(1601, 1, 1, 0, 30), UtcTime(2003, 1, 1), UtcTime(2003, 2, 1)};
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\first.txt", TimesAt(2001));
    fs.AddFolder(Root + L"\\S", TimesAt(2002));
    fs.AddFile(Root + L"\\S\\early.txt", early);
    fs.AddFile(Root + L"\\S\\last.txt", TimesAt(2004));
    const HandlingRecord general = Operations(OpCurrentDateTime, OpDontChange, OpDontChange);
    HandlingRecord advanced = Operations(OpShiftBySpan, OpDontChange, OpCurrentDateTime);
    advanced.span[Creation] = {0, -60 * static_cast<std::int64_t>(TicksPerMinute)};

    EXPECT_EQ(Walk(general, advanced, nullptr, true), WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, UnwritableTimeResult);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_INVALID_TIME));
    EXPECT_EQ(failures[0].path, Root + L"\\S\\early.txt");
    // Neither of its times is written, nor anything after it.
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\early.txt"), early);
    EXPECT_EQ(fs.Log().back(), L"read M:\\root\\S\\early.txt");
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\last.txt"), TimesAt(2004));
    EXPECT_EQ(fs.TimesOf(Root + L"\\S"), TimesAt(2002));
    EXPECT_EQ(fs.TimesOf(Root + L"\\first.txt")[LastWrite], advanced.now);
}

TEST_F(FolderWalkTest, AFolderWhoseShiftLeavesTheRangeIsNamed)
{
    const FileTimes late = {UtcTime(2001, 1, 1), UtcTime(2001, 1, 2), 0x7FFFFFFFFFFFFFFFull - TicksPerSecond};
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\S", late);
    fs.AddFile(Root + L"\\S\\a.txt", TimesAt(2003));
    HandlingRecord general = Operations(OpDontChange, OpDontChange, OpShiftBySpan);
    general.span[LastWrite] = {0, 2 * static_cast<std::int64_t>(TicksPerSecond)};

    EXPECT_EQ(Walk(general, NoChange, nullptr, true), WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, UnwritableTimeResult);
    EXPECT_EQ(failures[0].path, Root + L"\\S");
    EXPECT_EQ(fs.TimesOf(Root + L"\\S"), late);
    EXPECT_EQ(fs.TimesOf(Root), TimesAt(2000));
}

TEST_F(FolderWalkTest, FileWriteFailureStopsTheWalk)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\S", TimesAt(2001));
    fs.AddFile(Root + L"\\S\\first.txt", TimesAt(2002));
    fs.AddFile(Root + L"\\S\\locked.txt", TimesAt(2003)).writeError = ERROR_ACCESS_DENIED;
    fs.AddFile(Root + L"\\S\\last.txt", TimesAt(2004));
    fs.AddFile(Root + L"\\after.txt", TimesAt(2005));
    const HandlingRecord general = Operations(OpCurrentDateTime, OpDontChange, OpDontChange);
    const HandlingRecord advanced = Operations(OpDontChange, OpDontChange, OpCurrentDateTime);

    EXPECT_EQ(Walk(general, advanced, nullptr, true), WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(failures[0].path, Root + L"\\S\\locked.txt");
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\first.txt")[LastWrite], advanced.now);
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\last.txt"), TimesAt(2004));
    EXPECT_EQ(fs.TimesOf(Root + L"\\after.txt"), TimesAt(2005));
    EXPECT_EQ(fs.TimesOf(Root + L"\\S"), TimesAt(2001));
    EXPECT_EQ(fs.TimesOf(Root), TimesAt(2000));
    EXPECT_EQ(fs.Log().back(), L"write M:\\root\\S\\locked.txt");
}

TEST_F(FolderWalkTest, EachReadFailureNamesItsItem)
{
    struct Case {
        std::wstring failing;
        bool read;
    };
    const Case cases[] = {
        {Root + L"\\S", true},    // the subfolder's own read
        {Root, true},             // the target itself
        {Root + L"\\S", false},   // the subfolder's own write
        {Root + L"\\a.txt", true} // a file's read
    };
    for (const Case& c : cases) {
        MemoryFileSystem tree;
        tree.AddFolder(Root, TimesAt(2000));
        tree.AddFolder(Root + L"\\S", TimesAt(2001));
        tree.AddFile(Root + L"\\a.txt", TimesAt(2002));
        MemoryFileSystem::Item& item = tree.At(c.failing);
        (c.read ? item.readError : item.writeError) = ERROR_SHARING_VIOLATION;
        std::vector<Failure> reported;
        options.recursive = true;
        EXPECT_EQ(ApplyToFolder(tree, Operations(OpCurrentDateTime, OpDontChange, OpDontChange),
                                Operations(OpDontChange, OpCurrentDateTime, OpDontChange), options, Root,
                                [&](HRESULT code, const std::wstring& path) {
                                    reported.push_back({code, path});
                                }),
                  WalkOutcome::Failed);
        ASSERT_EQ(reported.size(), 1u) << c.failing;
        EXPECT_EQ(reported[0].code, HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(reported[0].path, c.failing);
    }
}

TEST_F(FolderWalkTest, FileDeletedAfterListingIsNotFound)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\gone.txt", TimesAt(2001));
    fs.DeleteAfterListing(Root + L"\\gone.txt");
    EXPECT_EQ(Walk(NoChange, Operations(OpDontChange, OpDontChange, OpCurrentDateTime)), WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(failures[0].path, Root + L"\\gone.txt");
}

TEST_F(FolderWalkTest, FolderIdentityFailureStopsTheWalk)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\S", TimesAt(2001)).identifyError = ERROR_ACCESS_DENIED;
    fs.AddFile(Root + L"\\S\\a.txt", TimesAt(2002));
    fs.ListWithoutIds(); // so that the subfolder must be opened for its identity
    EXPECT_EQ(Walk(NoChange, Operations(OpCurrentDateTime, OpDontChange, OpDontChange), nullptr, true),
              WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(failures[0].path, Root + L"\\S");
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\a.txt"), TimesAt(2002));
}

TEST_F(FolderWalkTest, FoldersAtAnyDepthAreListedAndWritten)
{
    std::wstring deep = Root;
    fs.AddFolder(Root, TimesAt(2000));
    for (int level = 0; level < 8; ++level) {
        deep += L"\\" + std::wstring(120, static_cast<wchar_t>(L'a' + level));
        fs.AddFolder(deep, TimesAt(2001));
    }
    fs.AddFile(deep + L"\\a.txt", TimesAt(2002));
    ASSERT_GT(deep.size(), 900u);
    ASSERT_EQ(Walk(Operations(OpLatestEntry, OpDontChange, OpDontChange),
                   Operations(OpCurrentDateTime, OpDontChange, OpDontChange), nullptr, true),
              WalkOutcome::Finished);
    EXPECT_EQ(fs.Count(L"list " + deep), 1u);
    EXPECT_EQ(fs.TimesOf(deep + L"\\a.txt")[Creation], UtcTime(2030, 6, 1, 12));
    EXPECT_EQ(fs.TimesOf(Root)[Creation], UtcTime(2030, 6, 1, 12));
}

TEST_F(FolderWalkTest, LinksBackToAncestorsAreNotEntered)
{
    // Two links back up: followed blindly, the tree would grow without end in depth and breadth.
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\a", TimesAt(2001));
    fs.AddFile(Root + L"\\a\\f.txt", TimesAt(2002));
    fs.AddLink(Root + L"\\a\\up", Root);
    fs.AddLink(Root + L"\\loop", Root);
    fs.AddFolder(Root + L"\\b", TimesAt(2003));
    fs.AddLink(Root + L"\\b\\side", Root + L"\\a");
    const HandlingRecord general = Operations(OpDontChange, OpDontChange, OpLatestEntry);
    const HandlingRecord advanced = Operations(OpDontChange, OpCurrentDateTime, OpDontChange);

    ASSERT_EQ(Walk(general, advanced, nullptr, true), WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    // The side link to a folder that is no ancestor is walked like a folder.
    const std::vector<std::wstring> lists = {L"list M:\\root", L"list M:\\root\\a", L"list M:\\root\\b",
                                             L"list M:\\root\\b\\side"};
    std::vector<std::wstring> seen;
    for (const std::wstring& line : fs.Log())
        if (line.compare(0, 5, L"list ") == 0)
            seen.push_back(line);
    EXPECT_EQ(seen, lists);
    EXPECT_EQ(fs.TimesOf(Root + L"\\a\\f.txt")[LastAccess], advanced.now);
    // Only the links, the ancestors they are compared with, and b (an ancestor of side) are opened.
    EXPECT_EQ(fs.Count(L"identify "), 6u);
}

TEST_F(FolderWalkTest, LinksTheListingDoesNotFlagAreCaughtToo)
{
    // A server-side link looks like a plain folder; with no path limit left, only the
    // identity check ends the walk.
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\a", TimesAt(2001));
    fs.AddFile(Root + L"\\a\\f.txt", TimesAt(2002));
    fs.AddLink(Root + L"\\a\\up", Root).listedAsLink = false;
    fs.AddLink(Root + L"\\a\\up2", Root + L"\\a").listedAsLink = false;
    const HandlingRecord general = Operations(OpDontChange, OpDontChange, OpLatestEntry);
    const HandlingRecord advanced = Operations(OpDontChange, OpCurrentDateTime, OpDontChange);

    MemoryFileSystem withoutIds = fs;
    ASSERT_EQ(Walk(general, advanced, nullptr, true), WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(fs.Count(L"list "), 2u);
    EXPECT_EQ(fs.Count(L"write M:\\root\\a\\f.txt"), 1u);

    // Where the listing names no identifiers, every subfolder is opened for its identity.
    withoutIds.ListWithoutIds();
    std::swap(fs, withoutIds);
    ASSERT_EQ(Walk(general, advanced, nullptr, true), WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(fs.Count(L"list "), 2u);
    EXPECT_EQ(fs.Count(L"identify M:\\root\\a"), 3u); // a, a\up and a\up2
}

// A tree with a file the pattern leaves out, an empty folder and a link back to the target.
class FolderWalkProgressTest : public FolderWalkTest {
protected:
    void SetUp() override
    {
        fs.AddFolder(Root, TimesAt(2000));
        fs.AddFolder(Root + L"\\A", TimesAt(2001));
        fs.AddFile(Root + L"\\A\\x.txt", TimesAt(2002));
        fs.AddLink(Root + L"\\A\\up", Root);
        fs.AddFolder(Root + L"\\A\\B", TimesAt(2003));
        fs.AddFile(Root + L"\\skip.log", TimesAt(2004));
        fs.AddFile(Root + L"\\z.txt", TimesAt(2005));
        options.namePatterns = L"*.txt";
        options.recursive = true;
    }

    // The item each call names is the next one the file system is asked about.
    static void ExpectEachCallBeforeItsItem(const RecordingProgress& progress, const MemoryFileSystem& fileSystem)
    {
        for (const RecordingProgress::Call& call : progress.calls) {
            ASSERT_LT(call.logged, fileSystem.Log().size()) << call.item;
            const std::wstring& next = fileSystem.Log()[call.logged];
            EXPECT_EQ(next.substr(next.find(L' ') + 1), call.item);
        }
    }

    static std::vector<std::wstring> Items(const RecordingProgress& progress)
    {
        std::vector<std::wstring> items;
        for (const RecordingProgress::Call& call : progress.calls)
            items.push_back(call.item);
        return items;
    }

    static std::vector<WalkCounts> Counts(const RecordingProgress& progress)
    {
        std::vector<WalkCounts> counts;
        for (const RecordingProgress::Call& call : progress.calls)
            counts.push_back(call.done);
        return counts;
    }

    const HandlingRecord general = Operations(OpDontChange, OpDontChange, OpLatestEntry);
    const HandlingRecord advanced = Operations(OpDontChange, OpCurrentDateTime, OpDontChange);
};

TEST_F(FolderWalkProgressTest, EachItemIsAskedAboutBeforeItIsTouched)
{
    MemoryFileSystem unfollowed = fs;
    RecordingProgress progress(fs);
    options.progress = &progress;
    ASSERT_EQ(ApplyToFolder(fs, general, advanced, options, Root, nullptr), WalkOutcome::Finished);

    // Each folder is asked about when entered and again before its own write; the link back
    // is asked about before it is opened for its identity, and is not counted.
    const std::vector<std::wstring> items = {Root,
                                             Root + L"\\A",
                                             Root + L"\\A\\x.txt",
                                             Root + L"\\A\\up",
                                             Root + L"\\A\\B",
                                             Root + L"\\A\\B",
                                             Root + L"\\A",
                                             Root + L"\\z.txt",
                                             Root};
    const std::vector<WalkCounts> counts = {{0, 0}, {0, 0}, {0, 0}, {1, 0}, {1, 0}, {1, 0}, {1, 1}, {1, 2}, {2, 2}};
    EXPECT_EQ(Items(progress), items);
    EXPECT_EQ(Counts(progress), counts);
    ExpectEachCallBeforeItsItem(progress, fs);

    // Followed or not, the walk asks the file system the same and writes the same.
    ASSERT_EQ(ApplyToFolder(unfollowed, general, advanced, options, Root, nullptr), WalkOutcome::Finished);
    EXPECT_EQ(unfollowed.Log(), fs.Log());
    for (const wchar_t* path : {L"", L"\\A", L"\\A\\x.txt", L"\\A\\B", L"\\z.txt"})
        EXPECT_EQ(unfollowed.TimesOf(Root + path), fs.TimesOf(Root + path)) << path;
}

TEST_F(FolderWalkProgressTest, WithoutFolderOperationsAFolderCountsOnceItsEntriesAreDone)
{
    RecordingProgress progress(fs);
    options.progress = &progress;
    ASSERT_EQ(ApplyToFolder(fs, NoChange, advanced, options, Root, nullptr), WalkOutcome::Finished);
    const std::vector<std::wstring> items = {
        Root, Root + L"\\A", Root + L"\\A\\x.txt", Root + L"\\A\\up", Root + L"\\A\\B", Root + L"\\z.txt"};
    const std::vector<WalkCounts> counts = {{0, 0}, {0, 0}, {0, 0}, {1, 0}, {1, 0}, {1, 2}};
    EXPECT_EQ(Items(progress), items);
    EXPECT_EQ(Counts(progress), counts);
    ExpectEachCallBeforeItsItem(progress, fs);
}

TEST_F(FolderWalkProgressTest, StopAtAnyItemKeepsWhatWasWrittenAndTouchesNothingMore)
{
    MemoryFileSystem whole = fs;
    RecordingProgress all(whole);
    options.progress = &all;
    ASSERT_EQ(ApplyToFolder(whole, general, advanced, options, Root, nullptr), WalkOutcome::Finished);
    ASSERT_EQ(all.calls.size(), 9u);

    for (std::size_t stop = 0; stop < all.calls.size(); ++stop) {
        MemoryFileSystem tree = fs;
        RecordingProgress progress(tree, stop);
        options.progress = &progress;
        std::vector<Failure> reported;
        EXPECT_EQ(ApplyToFolder(tree, general, advanced, options, Root,
                                [&](HRESULT code, const std::wstring& path) {
                                    reported.push_back({code, path});
                                }),
                  WalkOutcome::Stopped)
            << stop;
        EXPECT_TRUE(reported.empty()) << stop;
        EXPECT_EQ(progress.calls.size(), stop + 1);
        // The file system saw exactly what the whole walk had done before that item.
        const std::vector<std::wstring> before(whole.Log().begin(), whole.Log().begin() + all.calls[stop].logged);
        EXPECT_EQ(tree.Log(), before) << all.calls[stop].item;
    }

    // Stopped at z.txt: the subfolder and its file keep their new times; the target and the
    // file are as they were.
    MemoryFileSystem tree = fs;
    RecordingProgress progress(tree, 7);
    options.progress = &progress;
    ASSERT_EQ(ApplyToFolder(tree, general, advanced, options, Root, nullptr), WalkOutcome::Stopped);
    ASSERT_EQ(progress.calls.back().item, Root + L"\\z.txt");
    EXPECT_EQ(tree.TimesOf(Root + L"\\A\\x.txt")[LastAccess], advanced.now);
    EXPECT_EQ(tree.TimesOf(Root + L"\\A")[LastWrite], TimesAt(2003)[LastWrite]);
    EXPECT_EQ(tree.TimesOf(Root + L"\\z.txt"), TimesAt(2005));
    EXPECT_EQ(tree.TimesOf(Root), TimesAt(2000));

    // Stopped before the empty folder's write: neither it nor any folder above it is written.
    MemoryFileSystem early = fs;
    RecordingProgress beforeWrite(early, 5);
    options.progress = &beforeWrite;
    ASSERT_EQ(ApplyToFolder(early, general, advanced, options, Root, nullptr), WalkOutcome::Stopped);
    EXPECT_EQ(early.TimesOf(Root + L"\\A\\x.txt")[LastAccess], advanced.now);
    EXPECT_EQ(early.Count(L"read M:\\root\\A\\B"), 0u);
    EXPECT_EQ(early.TimesOf(Root + L"\\A"), TimesAt(2001));
    EXPECT_EQ(early.TimesOf(Root), TimesAt(2000));
}

TEST_F(FolderWalkProgressTest, AFailureWhileFollowedIsStillAFailure)
{
    fs.At(Root + L"\\z.txt").writeError = ERROR_ACCESS_DENIED;
    RecordingProgress progress(fs);
    options.progress = &progress;
    std::vector<Failure> reported;
    EXPECT_EQ(ApplyToFolder(fs, general, advanced, options, Root,
                            [&](HRESULT code, const std::wstring& path) {
                                reported.push_back({code, path});
                            }),
              WalkOutcome::Failed);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].path, Root + L"\\z.txt");
    ASSERT_EQ(progress.calls.size(), 8u);
    EXPECT_EQ(progress.calls.back().item, Root + L"\\z.txt");
    EXPECT_EQ(fs.TimesOf(Root), TimesAt(2000));
}

} // namespace
