#include "engine/FolderWalk.h"

#include "tests/engine/MemoryFileSystem.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

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

class FolderWalkTest : public testing::Test {
protected:
    bool Walk(const HandlingRecord& general, const HandlingRecord& advanced, const wchar_t* patterns = nullptr,
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
    EXPECT_TRUE(Walk(NoChange, NoChange, L"*.txt", true));
    EXPECT_TRUE(fs.Log().empty());
}

TEST_F(FolderWalkTest, PatternSelectsFilesAndSubfoldersStayWithoutRecursion)
{
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFile(Root + L"\\a.txt", TimesAt(2001));
    fs.AddFile(Root + L"\\b.log", TimesAt(2002));
    fs.AddFolder(Root + L"\\S", TimesAt(2003));
    fs.AddFile(Root + L"\\S\\c.txt", TimesAt(2004));
    const HandlingRecord advanced = Operations(OpDontChange, OpDontChange, OpCurrentDateTime);

    ASSERT_TRUE(Walk(NoChange, advanced, L"*.txt"));
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
        ASSERT_TRUE(ApplyToFolder(copy, NoChange, advanced, options, Root, nullptr));
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

    ASSERT_TRUE(Walk(general, advanced, L"", true));
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

    ASSERT_TRUE(Walk(Operations(OpEarliestEntry, OpEarliestEntry, OpLatestEntry), NoChange));
    EXPECT_EQ(fs.TimesOf(Root), (FileTimes{UtcTime(2009, 1, 1), UtcTime(2013, 1, 1), UtcTime(2017, 1, 1)}));
    EXPECT_EQ(fs.Count(L"list M:\\root\\c"), 0u);
    EXPECT_EQ(fs.Count(L"read M:\\root\\c"), 0u);
    EXPECT_EQ(fs.Count(L"identify "), 0u);
}

TEST_F(FolderWalkTest, EmptyFolderKeepsItsOwnTimes)
{
    fs.AddFolder(Root, TimesAt(2000));
    ASSERT_TRUE(Walk(Operations(OpEarliestEntry, OpLatestEntry, OpEarliestEntry), NoChange));
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

    ASSERT_TRUE(Walk(Operations(OpDontChange, OpDontChange, OpLatestEntry), NoChange, L"", true));
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

    ASSERT_TRUE(Walk(Operations(OpDontChange, OpDontChange, OpLatestEntry), advanced));
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
    ASSERT_TRUE(ApplyToFolder(defaults, general, NoChange, options, Root, nullptr));
    EXPECT_EQ(defaults.TimesOf(Root)[LastWrite], TimesAt(2015)[LastWrite]);
    EXPECT_EQ(defaults.Count(L"list M:\\root\\HiddenDir"), 0u);

    options.excludeSystem = true;
    MemoryFileSystem both = fs;
    ASSERT_TRUE(ApplyToFolder(both, general, NoChange, options, Root, nullptr));
    EXPECT_EQ(both.TimesOf(Root)[LastWrite], TimesAt(2005)[LastWrite]);

    options.excludeSystem = false;
    options.excludeHidden = false;
    MemoryFileSystem none = fs;
    ASSERT_TRUE(ApplyToFolder(none, general, NoChange, options, Root, nullptr));
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
    ASSERT_TRUE(Walk(NoChange, advanced, L"", true));
    EXPECT_EQ(fs.TimesOf(Root + L"\\S\\a.txt"), (FileTimes{advanced.now, advanced.now, advanced.now}));
    EXPECT_EQ(fs.Count(L"write "), 1u);
    EXPECT_EQ(fs.Count(L"read M:\\root\\S\\a.txt"), 1u);
    EXPECT_EQ(fs.TimesOf(Root), TimesAt(2000));
}

TEST_F(FolderWalkTest, RootPathEndingInABackslash)
{
    fs.AddFolder(L"M:\\", TimesAt(2000));
    fs.AddFile(L"M:\\a.txt", TimesAt(2001));
    ASSERT_TRUE(Walk(NoChange, Operations(OpCurrentDateTime, OpDontChange, OpDontChange), L"", false, L"M:\\"));
    EXPECT_EQ(fs.Count(L"write M:\\a.txt"), 1u);
}

TEST_F(FolderWalkTest, FolderThatCannotBeListedStopsTheWalkByName)
{
    // Neither an unlistable folder nor a listing that breaks off may pass for an empty one.
    fs.AddFolder(Root, TimesAt(2000));
    fs.AddFolder(Root + L"\\S", TimesAt(2001)).listError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(Walk(Operations(OpLatestEntry, OpDontChange, OpCurrentDateTime), NoChange, nullptr, true));
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
    EXPECT_FALSE(Walk(Operations(OpLatestEntry, OpDontChange, OpDontChange),
                      Operations(OpDontChange, OpDontChange, OpCurrentDateTime)));
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

    ASSERT_TRUE(Walk(Operations(OpLatestEntry, OpDontChange, OpDontChange),
                     Operations(OpDontChange, OpDontChange, OpSecondToZero)));
    EXPECT_EQ(fs.TimesOf(Root + L"\\linked.txt"),
              (FileTimes{real[Creation], real[LastAccess], UtcTime(2022, 7, 7, 12, 24)}));
    EXPECT_EQ(fs.TimesOf(Root)[Creation], real[Creation]);
    EXPECT_EQ(fs.TimesOf(Root)[LastAccess], TimesAt(2000)[LastAccess]);

    // Recursive: the subfolder is read from itself, and its unchanged kinds stay.
    ASSERT_TRUE(Walk(Operations(OpDontChange, OpCurrentDateTime, OpDontChange), NoChange, nullptr, true));
    EXPECT_EQ(fs.TimesOf(Root + L"\\S"),
              (FileTimes{TimesAt(2010)[Creation], UtcTime(2030, 6, 1, 12), TimesAt(2010)[LastWrite]}));
    EXPECT_TRUE(failures.empty());
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

    EXPECT_FALSE(Walk(general, advanced, nullptr, true));
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
        EXPECT_FALSE(ApplyToFolder(tree, Operations(OpCurrentDateTime, OpDontChange, OpDontChange),
                                   Operations(OpDontChange, OpCurrentDateTime, OpDontChange), options, Root,
                                   [&](HRESULT code, const std::wstring& path) {
                                       reported.push_back({code, path});
                                   }));
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
    EXPECT_FALSE(Walk(NoChange, Operations(OpDontChange, OpDontChange, OpCurrentDateTime)));
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
    EXPECT_FALSE(Walk(NoChange, Operations(OpCurrentDateTime, OpDontChange, OpDontChange), nullptr, true));
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
    ASSERT_TRUE(Walk(Operations(OpLatestEntry, OpDontChange, OpDontChange),
                     Operations(OpCurrentDateTime, OpDontChange, OpDontChange), nullptr, true));
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

    ASSERT_TRUE(Walk(general, advanced, nullptr, true));
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
    ASSERT_TRUE(Walk(general, advanced, nullptr, true));
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(fs.Count(L"list "), 2u);
    EXPECT_EQ(fs.Count(L"write M:\\root\\a\\f.txt"), 1u);

    // Where the listing names no identifiers, every subfolder is opened for its identity.
    withoutIds.ListWithoutIds();
    std::swap(fs, withoutIds);
    ASSERT_TRUE(Walk(general, advanced, nullptr, true));
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(fs.Count(L"list "), 2u);
    EXPECT_EQ(fs.Count(L"identify M:\\root\\a"), 3u); // a, a\up and a\up2
}

} // namespace
