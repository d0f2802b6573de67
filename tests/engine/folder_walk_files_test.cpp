#include "engine/FileTimeAccess.h"
#include "engine/FolderWalk.h"

#include "tests/engine/FileTree.h"
#include "tests/support/TempFolder.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

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

    bool Walk(const HandlingRecord& general, const HandlingRecord& advanced, const wchar_t* patterns, bool recursive)
    {
        return ApplyToFolder(general, advanced, options, temp.Path().c_str(), patterns, recursive,
                             [this](HRESULT code, const std::wstring& path) { failures.push_back({code, path}); });
    }

    TempFolder temp;
    std::wstring a, b, hidden, sub, c;
    ApplyOptions options;
    std::vector<Failure> failures;
};

TEST_F(FolderWalkFilesTest, MatchingVisibleFilesOfTheFolderChange)
{
    const FileTime value = UtcTime(2020, 2, 2, 2, 2, 2, 222) + 2;
    ASSERT_TRUE(Walk(Operations(OpDontChange, OpDontChange), Operations(OpDontChange, OpSpecifiedDateTime, value),
                     L"*.txt", false));
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
    ASSERT_TRUE(Walk(general, Operations(OpDontChange, OpDontChange), L"", true));
    EXPECT_EQ(WriteTimeOf(sub), UtcTime(2008, 1, 1));
    EXPECT_EQ(WriteTimeOf(temp.Path()), UtcTime(2008, 1, 1));

    options.excludeHidden = false;
    ASSERT_TRUE(Walk(general, Operations(OpDontChange, OpDontChange), L"", true));
    EXPECT_EQ(WriteTimeOf(temp.Path()), UtcTime(2009, 1, 1));
    EXPECT_TRUE(failures.empty());
}

TEST_F(FolderWalkFilesTest, EveryFileOfTheTreeGetsTheSameCurrentTime)
{
    const HandlingRecord advanced = Operations(OpCurrentDateTime, OpCurrentDateTime);
    ASSERT_TRUE(Walk(Operations(OpDontChange, OpDontChange), advanced, nullptr, true));
    for (const std::wstring& path : {a, b, c}) {
        FileTimes times = {};
        ASSERT_TRUE(ReadFileTimes(path.c_str(), times));
        EXPECT_EQ(times[LastWrite], advanced.now) << path;
        EXPECT_EQ(times[LastAccess], advanced.now) << path;
    }
    EXPECT_EQ(advanced.now % TicksPerSecond, 0u);
    EXPECT_EQ(WriteTimeOf(hidden), UtcTime(2009, 1, 1));
}

// Deletes a file the moment the listing hands out its entry.
class DeletingFileSystem final : public FolderFileSystem {
public:
    explicit DeletingFileSystem(std::wstring victim) : victim_(std::move(victim)) {}

    std::unique_ptr<FolderListing> List(const wchar_t* pattern, std::wstring& folderPath) override
    {
        std::unique_ptr<FolderListing> listing = platform_.List(pattern, folderPath);
        return listing ? std::make_unique<Listing>(std::move(listing), folderPath, victim_) : nullptr;
    }
    bool ReadTimes(const wchar_t* path, FileTimes& times) override { return platform_.ReadTimes(path, times); }
    bool WriteTimes(const wchar_t* path, const FileTimes& times) override { return platform_.WriteTimes(path, times); }
    bool FolderIdentity(const wchar_t* path, FileIdentity& identity) override
    {
        return platform_.FolderIdentity(path, identity);
    }

private:
    class Listing final : public FolderListing {
    public:
        Listing(std::unique_ptr<FolderListing> inner, std::wstring folder, const std::wstring& victim)
            : inner_(std::move(inner)), folder_(std::move(folder)), victim_(victim)
        {
        }
        bool Next(WIN32_FIND_DATAW& entry) override
        {
            if (!inner_->Next(entry))
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
    DeletingFileSystem fileSystem(b);
    const FileTime folderValue = UtcTime(2019, 9, 9);
    const bool finished =
        ApplyToFolder(fileSystem, Operations(OpDontChange, OpSpecifiedDateTime, folderValue),
                      Operations(OpDontChange, OpCurrentDateTime), options, temp.Path().c_str(), nullptr, false,
                      [this](HRESULT code, const std::wstring& path) { failures.push_back({code, path}); });
    EXPECT_FALSE(finished);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(failures[0].path, b);
    EXPECT_NE(WriteTimeOf(temp.Path()), folderValue);
}

TEST(FolderWalkFileTree, LinkBackToAnAncestorEnds)
{
    const FileTree tree;
    if (!tree.Exists())
        GTEST_SKIP() << "the test tree (CHRONSET_ENGINE_TREE) was not prepared";
    const std::wstring loop = tree.Path(L"loop");
    // Wine lists a link with its target's times: make them older than the files' new time.
    for (const wchar_t* folder : {L"loop", L"loop\\a", L"loop\\a\\b"})
        ASSERT_TRUE(WriteFileTimes(tree.Path(folder).c_str(), Times(UtcTime(2000, 1, 1))));
    std::vector<Failure> failures;
    HandlingRecord advanced = Operations(OpDontChange, OpSpecifiedDateTime, UtcTime(2021, 3, 3));
    const bool finished = ApplyToFolder(Operations(OpDontChange, OpLatestEntry), advanced, ApplyOptions{},
                                        loop.c_str(), nullptr, true,
                                        [&](HRESULT code, const std::wstring& path) { failures.push_back({code, path}); });
    EXPECT_TRUE(finished);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(WriteTimeOf(tree.Path(L"loop\\a\\b\\g.txt")), UtcTime(2021, 3, 3));
    EXPECT_EQ(WriteTimeOf(tree.Path(L"loop\\a\\f.txt")), UtcTime(2021, 3, 3));
    EXPECT_EQ(WriteTimeOf(loop), UtcTime(2021, 3, 3));
}

TEST(FolderWalkFileTree, ImmutableFileStopsTheWalkNamingIt)
{
    const FileTree tree;
    if (!tree.HasImmutableFile())
        GTEST_SKIP() << tree.ImmutableSkipReason();
    const std::wstring locked = tree.Path(L"locked");
    ASSERT_TRUE(WriteFileTimes(locked.c_str(), Times(UtcTime(2006, 1, 1))));
    std::vector<Failure> failures;
    const bool finished = ApplyToFolder(Operations(OpDontChange, OpCurrentDateTime),
                                        Operations(OpDontChange, OpCurrentDateTime), ApplyOptions{}, locked.c_str(),
                                        L"", false,
                                        [&](HRESULT code, const std::wstring& path) { failures.push_back({code, path}); });
    EXPECT_FALSE(finished);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    EXPECT_EQ(failures[0].path, tree.Path(L"locked\\immutable.txt"));
    EXPECT_EQ(WriteTimeOf(locked), UtcTime(2006, 1, 1));
}

} // namespace
