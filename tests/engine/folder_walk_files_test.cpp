#include "engine/FileTimeAccess.h"
#include "engine/FolderWalk.h"

#include "tests/engine/FileTree.h"
#include "tests/support/TempFolder.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Wine keeps written last-access and last-write times but not creation times, so the walk's
// handling of creation times is covered with the in-memory file system only.

const FileTime OldAccess = UtcTime(2001, 1, 1, 1, 1, 1);

FileTimes Times(FileTime write)
{
    return {InvalidFileTime, OldAccess, write};
}

FileTime WriteTimeOf(const std::wstring& path)
{
    FileTime write = 0;
    EXPECT_TRUE(ReadFileTimes(path.c_str(), nullptr, nullptr, &write)) << path;
    return write;
}

HandlingRecord Operations(TimestampOperation access, TimestampOperation write, FileTime value = 0)
{
    HandlingRecord record;
    record.operation[LastAccess] = access;
    record.operation[LastWrite] = write;
    record.value[LastAccess] = record.value[LastWrite] = value;
    record.now = CurrentFileTime();
    return record;
}

struct Failure {
    HRESULT code;
    std::wstring path;
};

class FolderWalkFilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        a = temp.MakeFile(L"a.txt");
        b = temp.MakeFile(L"b.log");
        hidden = temp.MakeFile(L"h.txt");
        sub = temp.MakeFolder(L"S");
        c = temp.MakeFile(L"S\\c.txt");
        ASSERT_TRUE(::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(WriteFileTimes(a.c_str(), Times(UtcTime(2002, 1, 1))));
        ASSERT_TRUE(WriteFileTimes(b.c_str(), Times(UtcTime(2003, 1, 1))));
        ASSERT_TRUE(WriteFileTimes(hidden.c_str(), Times(UtcTime(2009, 1, 1))));
        ASSERT_TRUE(WriteFileTimes(c.c_str(), Times(UtcTime(2008, 1, 1))));
        ASSERT_TRUE(WriteFileTimes(sub.c_str(), Times(UtcTime(2004, 1, 1))));
        ASSERT_TRUE(WriteFileTimes(temp.Path().c_str(), Times(UtcTime(2005, 1, 1))));
    }

    WalkOutcome Walk(const HandlingRecord& general, const HandlingRecord& advanced, const wchar_t* patterns,
                     bool recursive)
    {
        options.namePatterns = patterns ? patterns : L"";
        options.recursive = recursive;
        return ApplyToFolder(general, advanced, options, temp.Path(), [this](HRESULT code, const std::wstring& path) {
            failures.push_back({code, path});
        });
    }

    TempFolder temp;
    std::wstring a, b, hidden, sub, c;
    ApplyOptions options;
    std::vector<Failure> failures;
};

TEST_F(FolderWalkFilesTest, MatchingVisibleFilesOfTheFolderChange)
{
    const FileTime value = UtcTime(2020, 2, 2, 2, 2, 2, 222) + 2;
    ASSERT_EQ(Walk(Operations(OpDontChange, OpDontChange), Operations(OpDontChange, OpSpecifiedDateTime, value),
                   L"*.txt", false),
              WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(WriteTimeOf(a), value);
    EXPECT_EQ(WriteTimeOf(b), UtcTime(2003, 1, 1));
    EXPECT_EQ(WriteTimeOf(hidden), UtcTime(2009, 1, 1));
    EXPECT_EQ(WriteTimeOf(c), UtcTime(2008, 1, 1));
    EXPECT_EQ(WriteTimeOf(sub), UtcTime(2004, 1, 1));
    EXPECT_EQ(WriteTimeOf(temp.Path()), UtcTime(2005, 1, 1));
}

TEST_F(FolderWalkFilesTest, LatestTimeRisesThroughTheTree)
{
    const HandlingRecord general = Operations(OpDontChange, OpLatestEntry);
    ASSERT_EQ(Walk(general, Operations(OpDontChange, OpDontChange), L"", true), WalkOutcome::Finished);
    EXPECT_EQ(WriteTimeOf(sub), UtcTime(2008, 1, 1));
    EXPECT_EQ(WriteTimeOf(temp.Path()), UtcTime(2008, 1, 1));

    options.excludeHidden = false;
    ASSERT_EQ(Walk(general, Operations(OpDontChange, OpDontChange), L"", true), WalkOutcome::Finished);
    EXPECT_EQ(WriteTimeOf(temp.Path()), UtcTime(2009, 1, 1));
    EXPECT_TRUE(failures.empty());
}

TEST_F(FolderWalkFilesTest, EveryFileOfTheTreeGetsTheSameCurrentTime)
{
    const HandlingRecord advanced = Operations(OpCurrentDateTime, OpCurrentDateTime);
    ASSERT_EQ(Walk(Operations(OpDontChange, OpDontChange), advanced, nullptr, true), WalkOutcome::Finished);
    for (const std::wstring& path : {a, b, c}) {
        FileTimes times = {};
        ASSERT_TRUE(ReadFileTimes(path.c_str(), times));
        EXPECT_EQ(times[LastWrite], advanced.now) << path;
        EXPECT_EQ(times[LastAccess], advanced.now) << path;
    }
    EXPECT_EQ(advanced.now % TicksPerSecond, 0u);
    EXPECT_EQ(WriteTimeOf(hidden), UtcTime(2009, 1, 1));
}

// Stops the walk when it is about to open the second of the given files.
class StopAtSecondFile final : public WalkProgress {
public:
    explicit StopAtSecondFile(std::vector<std::wstring> files) : files_(std::move(files)) {}

    bool Continue(const std::wstring& item, const WalkCounts& done) override
    {
        if (std::find(files_.begin(), files_.end(), item) == files_.end())
            return true;
        asked.push_back(item);
        counted = done.files;
        return asked.size() < 2;
    }

    std::vector<std::wstring> asked;
    unsigned long long counted = 0;

private:
    std::vector<std::wstring> files_;
};

TEST_F(FolderWalkFilesTest, StopKeepsTheFilesWrittenAndLeavesTheRest)
{
    StopAtSecondFile progress({a, b, c});
    options.progress = &progress;
    const FileTime value = UtcTime(2021, 1, 1);
    ASSERT_EQ(Walk(Operations(OpDontChange, OpSpecifiedDateTime, value),
                   Operations(OpDontChange, OpSpecifiedDateTime, value), nullptr, true),
              WalkOutcome::Stopped);
    EXPECT_TRUE(failures.empty());
    ASSERT_EQ(progress.asked.size(), 2u);
    EXPECT_EQ(progress.counted, 1u);
    // The listing's order decides which file comes first; only that one is written.
    const std::pair<std::wstring, FileTime> files[] = {
        {a, UtcTime(2002, 1, 1)}, {b, UtcTime(2003, 1, 1)}, {c, UtcTime(2008, 1, 1)}};
    for (const auto& [file, before] : files)
        EXPECT_EQ(WriteTimeOf(file), file == progress.asked[0] ? value : before) << file;
    EXPECT_EQ(WriteTimeOf(temp.Path()), UtcTime(2005, 1, 1));
}

// The platform's file system, counting the listings, and deleting a file the moment the
// listing hands out its entry.
class WatchedFileSystem final : public FolderFileSystem {
public:
    explicit WatchedFileSystem(std::wstring victim = std::wstring()) : victim_(std::move(victim)) {}

    std::unique_ptr<FolderListing> List(const std::wstring& folder) override
    {
        listed.push_back(folder);
        std::unique_ptr<FolderListing> listing = platform_.List(folder);
        return listing ? std::make_unique<Listing>(std::move(listing), folder, victim_) : nullptr;
    }
    bool ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored) override
    {
        return platform_.ChangeTimes(path, change, stored);
    }
    bool FolderIdentity(const std::wstring& path, FileIdentity& identity) override
    {
        identified.push_back(path);
        return platform_.FolderIdentity(path, identity);
    }
    DWORD Attributes(const std::wstring& path) override { return platform_.Attributes(path); }
    bool CreateEmptyFile(const std::wstring& path) override { return platform_.CreateEmptyFile(path); }
    bool ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers, const DatedTimesChange& change,
                           FileTimes& stored) override
    {
        return platform_.ChangeTimesByDate(path, takers, change, stored);
    }

    std::vector<std::wstring> listed;
    std::vector<std::wstring> identified;

private:
    class Listing final : public FolderListing {
    public:
        Listing(std::unique_ptr<FolderListing> inner, std::wstring folder, const std::wstring& victim)
            : inner_(std::move(inner)), folder_(std::move(folder)), victim_(victim)
        {
        }
        bool Next(WIN32_FIND_DATAW& entry, ListedFileId& id) override
        {
            if (!inner_->Next(entry, id))
                return false;
            const std::wstring path = folder_ + L"\\" + entry.cFileName;
            if (path == victim_)
                ::DeleteFileW(path.c_str());
            return true;
        }

    private:
        std::unique_ptr<FolderListing> inner_;
        std::wstring folder_;
        const std::wstring& victim_;
    };

    Win32FolderFileSystem platform_;
    std::wstring victim_;
};

TEST_F(FolderWalkFilesTest, FileDeletedBetweenListingAndWritingStopsTheWalk)
{
    WatchedFileSystem fileSystem(b);
    const FileTime folderValue = UtcTime(2019, 9, 9);
    const WalkOutcome outcome = ApplyToFolder(fileSystem, Operations(OpDontChange, OpSpecifiedDateTime, folderValue),
                                              Operations(OpDontChange, OpCurrentDateTime), options, temp.Path(),
                                              [this](HRESULT code, const std::wstring& path) {
                                                  failures.push_back({code, path});
                                              });
    EXPECT_EQ(outcome, WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(failures[0].path, b);
    EXPECT_NE(WriteTimeOf(temp.Path()), folderValue);
}

ApplyOptions Recursive(const wchar_t* patterns = L"")
{
    ApplyOptions options;
    options.recursive = true;
    options.namePatterns = patterns;
    return options;
}

WalkFailureReporter Collect(std::vector<Failure>& failures)
{
    return [&failures](HRESULT code, const std::wstring& path) { failures.push_back({code, path}); };
}

TEST(FolderWalkFileTree, TwoLinksBackToAncestorsEndTheWalkAtOnce)
{
    const FileTree tree;
    if (!tree.Exists())
        GTEST_SKIP() << "the test tree (CHRONSET_ENGINE_TREE) was not prepared";
    const std::wstring loop = tree.Path(L"loop");
    // Wine lists a link with its target's times: make them older than the files' new time.
    for (const wchar_t* folder : {L"loop", L"loop\\a", L"loop\\a\\b"})
        ASSERT_TRUE(WriteFileTimes(tree.Path(folder).c_str(), Times(UtcTime(2000, 1, 1))));
    std::vector<Failure> failures;
    WatchedFileSystem fileSystem;
    HandlingRecord advanced = Operations(OpDontChange, OpSpecifiedDateTime, UtcTime(2021, 3, 3));
    EXPECT_EQ(ApplyToFolder(fileSystem, Operations(OpDontChange, OpLatestEntry), advanced, Recursive(), loop,
                            Collect(failures)),
              WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    // Each real folder is listed once; neither link is entered.
    EXPECT_EQ(fileSystem.listed, (std::vector<std::wstring>{loop, tree.Path(L"loop\\a"), tree.Path(L"loop\\a\\b")}));
    // The plain folders are told apart by their listed identifiers; only the links are opened.
    for (const std::wstring& path : fileSystem.identified)
        EXPECT_TRUE(path == loop || path.ends_with(L"\\up") || path.ends_with(L"\\back")) << path;
    EXPECT_EQ(WriteTimeOf(tree.Path(L"loop\\a\\b\\g.txt")), UtcTime(2021, 3, 3));
    EXPECT_EQ(WriteTimeOf(tree.Path(L"loop\\a\\f.txt")), UtcTime(2021, 3, 3));
    EXPECT_EQ(WriteTimeOf(loop), UtcTime(2021, 3, 3));
}

TEST(FolderWalkFileTree, OnlyTheNameWithTheTrailingBlankChanges)
{
    const FileTree tree;
    if (!tree.Exists())
        GTEST_SKIP() << "the test tree (CHRONSET_ENGINE_TREE) was not prepared";
    const std::wstring plain = tree.Path(L"names\\x");
    const std::wstring blank = tree.Path(L"names\\x ");
    ASSERT_TRUE(WriteFileTimes(plain.c_str(), Times(UtcTime(2002, 2, 2))));
    ASSERT_TRUE(WriteFileTimes(blank.c_str(), Times(UtcTime(2003, 3, 3))));
    EXPECT_EQ(WriteTimeOf(plain), UtcTime(2002, 2, 2));
    EXPECT_EQ(WriteTimeOf(blank), UtcTime(2003, 3, 3));

    // In a walk: "x?" selects "x " alone.
    std::vector<Failure> failures;
    EXPECT_EQ(ApplyToFolder(Operations(OpDontChange, OpDontChange),
                            Operations(OpDontChange, OpSpecifiedDateTime, UtcTime(2024, 4, 4)), Recursive(L"x?"),
                            tree.Path(L"names"), Collect(failures)),
              WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(WriteTimeOf(blank), UtcTime(2024, 4, 4));
    EXPECT_EQ(WriteTimeOf(plain), UtcTime(2002, 2, 2));

    // As the item itself.
    FileTimes stored{};
    ASSERT_TRUE(ChangeFileTimes(
        blank.c_str(),
        [](const FileTimes&) {
            return FileTimes{InvalidFileTime, InvalidFileTime, UtcTime(2025, 5, 5)};
        },
        stored));
    EXPECT_EQ(stored[LastWrite], UtcTime(2025, 5, 5));
    EXPECT_EQ(WriteTimeOf(blank), UtcTime(2025, 5, 5));
    EXPECT_EQ(WriteTimeOf(plain), UtcTime(2002, 2, 2));
}

TEST(FolderWalkFileTree, FileFarBeyondTheOldPathLimitIsReached)
{
    const FileTree tree;
    if (!tree.Exists())
        GTEST_SKIP() << "the test tree (CHRONSET_ENGINE_TREE) was not prepared";
    const std::wstring file = tree.DeepFile();
    ASSERT_GT(file.size(), 400u + tree.Path(L"deep").size());
    ASSERT_TRUE(WriteFileTimes(file.c_str(), Times(UtcTime(2002, 2, 2))));
    EXPECT_EQ(WriteTimeOf(file), UtcTime(2002, 2, 2));

    std::vector<Failure> failures;
    const HandlingRecord general = Operations(OpDontChange, OpLatestEntry);
    EXPECT_EQ(ApplyToFolder(general, Operations(OpDontChange, OpSpecifiedDateTime, UtcTime(2024, 4, 4)), Recursive(),
                            tree.Path(L"deep"), Collect(failures)),
              WalkOutcome::Finished);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(WriteTimeOf(file), UtcTime(2024, 4, 4));
    EXPECT_EQ(WriteTimeOf(tree.Path(L"deep")), UtcTime(2024, 4, 4));
}

TEST(FolderWalkFileTree, ImmutableFileStopsTheWalkNamingIt)
{
    const FileTree tree;
    if (!tree.HasImmutableFile())
        GTEST_SKIP() << tree.ImmutableSkipReason();
    const std::wstring locked = tree.Path(L"locked");
    ASSERT_TRUE(WriteFileTimes(locked.c_str(), Times(UtcTime(2006, 1, 1))));
    std::vector<Failure> failures;
    const WalkOutcome outcome =
        ApplyToFolder(Operations(OpDontChange, OpCurrentDateTime), Operations(OpDontChange, OpCurrentDateTime),
                      ApplyOptions{}, locked, Collect(failures));
    EXPECT_EQ(outcome, WalkOutcome::Failed);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(failures[0].path, tree.Path(L"locked\\immutable.txt"));
    EXPECT_EQ(WriteTimeOf(locked), UtcTime(2006, 1, 1));
}

} // namespace
