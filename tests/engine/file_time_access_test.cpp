#include "engine/FileTimeAccess.h"

#include "tests/engine/FileTree.h"
#include "tests/support/TempFolder.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

namespace {

// Times with sub-second ticks, to see that they are stored at full precision.
const FileTime SetAccess = UtcTime(2011, 5, 6, 7, 8, 9, 123) + 4567;
const FileTime SetWrite = UtcTime(2012, 6, 7, 8, 9, 10, 234) + 5678;

TEST(FileTimeAccess, ReadsFilesAndFolders)
{
    TempFolder temp;
    const std::wstring file = temp.MakeFile(L"a.txt");
    FileTimes times = {};
    ASSERT_TRUE(ReadFileTimes(file.c_str(), times));
    EXPECT_GT(times[LastWrite], UtcTime(2000, 1, 1));
    ASSERT_TRUE(ReadFileTimes(temp.Path().c_str(), times));
    EXPECT_GT(times[LastWrite], UtcTime(2000, 1, 1));
}

TEST(FileTimeAccess, ReadsOnlyTheKindsAskedFor)
{
    TempFolder temp;
    const std::wstring file = temp.MakeFile(L"a.txt");
    ASSERT_TRUE(WriteFileTimes(file.c_str(), {InvalidFileTime, SetAccess, SetWrite}));
    FileTime write = 0;
    ASSERT_TRUE(ReadFileTimes(file.c_str(), nullptr, nullptr, &write));
    EXPECT_EQ(write, SetWrite);
    FileTime access = 0;
    ASSERT_TRUE(ReadFileTimes(file.c_str(), nullptr, &access, nullptr));
    EXPECT_EQ(access, SetAccess);
}

TEST(FileTimeAccess, ChangeComputesFromTheTimesReadAndWritesOnlyItsKinds)
{
    TempFolder temp;
    const std::wstring file = temp.MakeFile(L"a.txt");
    ASSERT_TRUE(WriteFileTimes(file.c_str(), {InvalidFileTime, SetAccess, SetWrite}));
    FileTimes seen{};
    FileTimes stored{};
    ASSERT_TRUE(ChangeFileTimes(
        file.c_str(),
        [&](const FileTimes& current) {
            seen = current;
            return FileTimes{InvalidFileTime, InvalidFileTime, current[LastWrite] + TicksPerDay};
        },
        stored));
    EXPECT_EQ(seen[LastAccess], SetAccess);
    EXPECT_EQ(seen[LastWrite], SetWrite);
    EXPECT_EQ(stored[LastAccess], SetAccess);
    EXPECT_EQ(stored[LastWrite], SetWrite + TicksPerDay);
    FileTimes read{};
    ASSERT_TRUE(ReadFileTimes(file.c_str(), read));
    EXPECT_EQ(read, stored);

    // Nothing to write: the times are only read.
    ASSERT_TRUE(ChangeFileTimes(
        file.c_str(),
        [](const FileTimes&) {
            return FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime};
        },
        stored));
    EXPECT_EQ(stored, read);

    bool called = false;
    EXPECT_FALSE(ChangeFileTimes(
        temp.Child(L"missing.txt").c_str(),
        [&](const FileTimes& current) {
            called = true;
            return current;
        },
        stored));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(called);
}

TEST(FileTimeAccess, MissingItemsFailWithTheCause)
{
    TempFolder temp;
    FileTimes times = {};
    EXPECT_FALSE(ReadFileTimes(temp.Child(L"missing.txt").c_str(), times));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(ReadFileTimes(temp.Child(L"missing\\a.txt").c_str(), times));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(WriteFileTimes(temp.Child(L"missing.txt").c_str(), times));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Wine accepts a written creation time but reports the last-write time in its place, so
// only the last-access and last-write times are compared after a write.
TEST(FileTimeAccess, WritesAtFullPrecision)
{
    TempFolder temp;
    const std::wstring file = temp.MakeFile(L"a.txt");
    const std::wstring folder = temp.MakeFolder(L"S");
    for (const std::wstring& path : {file, folder}) {
        ASSERT_TRUE(WriteFileTimes(path.c_str(), {UtcTime(2010, 1, 1), SetAccess, SetWrite}));
        FileTimes times = {};
        ASSERT_TRUE(ReadFileTimes(path.c_str(), times));
        EXPECT_EQ(times[LastAccess], SetAccess);
        EXPECT_EQ(times[LastWrite], SetWrite);
    }
}

TEST(FileTimeAccess, InvalidTimeLeavesThatTimeAsItWas)
{
    TempFolder temp;
    const std::wstring file = temp.MakeFile(L"a.txt");
    ASSERT_TRUE(WriteFileTimes(file.c_str(), {InvalidFileTime, SetAccess, SetWrite}));

    const FileTime otherAccess = UtcTime(2015, 1, 1);
    const FileTime otherWrite = UtcTime(2016, 1, 1);
    ASSERT_TRUE(WriteFileTimes(file.c_str(), {InvalidFileTime, otherAccess, InvalidFileTime}));
    FileTimes times = {};
    ASSERT_TRUE(ReadFileTimes(file.c_str(), times));
    EXPECT_EQ(times[LastAccess], otherAccess);
    EXPECT_EQ(times[LastWrite], SetWrite);

    ASSERT_TRUE(WriteFileTimes(file.c_str(), {InvalidFileTime, InvalidFileTime, otherWrite}));
    ASSERT_TRUE(ReadFileTimes(file.c_str(), times));
    EXPECT_EQ(times[LastAccess], otherAccess);
    EXPECT_EQ(times[LastWrite], otherWrite);

    ASSERT_TRUE(WriteFileTimes(file.c_str(), {InvalidFileTime, InvalidFileTime, InvalidFileTime}));
    ASSERT_TRUE(ReadFileTimes(file.c_str(), times));
    EXPECT_EQ(times[LastAccess], otherAccess);
    EXPECT_EQ(times[LastWrite], otherWrite);
}

TEST(FileTimeAccess, ImmutableFileIsReadButNotWritten)
{
    const FileTree tree;
    if (!tree.HasImmutableFile())
        GTEST_SKIP() << tree.ImmutableSkipReason();
    const std::wstring file = tree.Path(L"locked\\immutable.txt");
    FileTimes times = {};
    ASSERT_TRUE(ReadFileTimes(file.c_str(), times));
    EXPECT_FALSE(WriteFileTimes(file.c_str(), {InvalidFileTime, SetAccess, SetWrite}));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    FileTimes after = {};
    ASSERT_TRUE(ReadFileTimes(file.c_str(), after));
    EXPECT_EQ(after[LastWrite], times[LastWrite]);
}

} // namespace
