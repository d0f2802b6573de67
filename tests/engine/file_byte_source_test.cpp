#include "engine/DatedFileTimes.h"
#include "engine/FileByteSource.h"

#include "platform/Handles.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool WriteBytes(const std::wstring& path, std::span<const std::byte> bytes)
{
    FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Bytes that tell their offset: the byte at i is (i * 7 + i / 251) mod 256.
Bytes Pattern(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::byte>(i * 7 + i / 251);
    return bytes;
}

constexpr FileTimes NoChange = {InvalidFileTime, InvalidFileTime, InvalidFileTime};
const FileTime OldAccess = 126'000'000'000'000'000ull;
const FileTime OldWrite = 126'100'000'000'000'000ull;

FileHandle OpenToRead(const std::wstring& path)
{
    return FileHandle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

struct DateRead {
    bool opened = false;
    DWORD error = 0;
    std::optional<FileTime> date;
};

// The date taken as the apply reads it, through the handle that writes the times; nothing is
// written.
DateRead ReadDate(const std::wstring& path)
{
    DateRead read;
    FileTimes stored;
    const auto change = [&read](const FileTimes&, const DateTakenReader& dateTaken) {
        read.date = dateTaken();
        return NoChange;
    };
    read.opened = ChangeFileTimesByDate(path.c_str(), change, stored);
    read.error = read.opened ? 0 : ::GetLastError();
    return read;
}

TEST(FileByteSource, EveryFormatsDateIsReadFromRealFiles)
{
    TempFolder temp;
    for (const MediaSample& sample : MediaSamples()) {
        const std::wstring path = temp.Child(std::wstring(sample.name.begin(), sample.name.end()));
        ASSERT_TRUE(WriteBytes(path, sample.bytes));
        const DateRead read = ReadDate(path);
        EXPECT_TRUE(read.opened) << sample.name;
        EXPECT_EQ(read.date, SampleMoment()) << sample.name;
    }
    const DateRead empty = ReadDate(temp.MakeFile(L"empty.jpg"));
    EXPECT_TRUE(empty.opened);
    EXPECT_EQ(empty.date, std::nullopt);
    const DateRead folder = ReadDate(temp.Path());
    EXPECT_TRUE(folder.opened);
    EXPECT_EQ(folder.date, std::nullopt);
    const DateRead missing = ReadDate(temp.Child(L"missing.jpg"));
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Reading the data moves the last-access time on Linux under Wine, not on Windows once asked
// not to: either way the file keeps it where the change leaves that kind, whether the change
// writes another kind or nothing.
TEST(FileByteSource, ReadingTheDateLeavesTheAccessTimeAsItWas)
{
    TempFolder temp;
    const std::wstring photo = temp.Child(L"photo.jpg");
    ASSERT_TRUE(WriteBytes(photo, MediaSamples()[2].bytes));
    const std::wstring undated = temp.MakeFile(L"undated.jpg");
    ASSERT_TRUE(WriteBytes(undated, Bytes(4096)));
    for (const std::wstring& path : {photo, undated}) {
        ASSERT_TRUE(WriteFileTimes(path.c_str(), {InvalidFileTime, OldAccess, OldWrite}));
        FileTimes stored{};
        const auto change = [](const FileTimes&, const DateTakenReader& dateTaken) {
            const std::optional<FileTime> date = dateTaken();
            return FileTimes{InvalidFileTime, InvalidFileTime, date.value_or(InvalidFileTime)};
        };
        ASSERT_TRUE(ChangeFileTimesByDate(path.c_str(), change, stored)) << ::GetLastError();
        const FileTime write = path == photo ? SampleMoment() : OldWrite;
        EXPECT_EQ(stored[LastAccess], OldAccess) << testing::PrintToString(path);
        EXPECT_EQ(stored[LastWrite], write) << testing::PrintToString(path);
        FileTimes after{};
        ASSERT_TRUE(ReadFileTimes(path.c_str(), after));
        EXPECT_EQ(after[LastAccess], OldAccess) << testing::PrintToString(path);
        EXPECT_EQ(after[LastWrite], write) << testing::PrintToString(path);
    }
}

// A program holding the file without sharing its reading keeps its data from us: the file has
// no date, and its other times are written as ever.
TEST(FileByteSource, AFileHeldWithoutReadSharingHasNoDateAndGetsItsOtherTimes)
{
    TempFolder temp;
    const std::wstring path = temp.Child(L"held.jpg");
    ASSERT_TRUE(WriteBytes(path, MediaSamples()[2].bytes));
    ASSERT_TRUE(WriteFileTimes(path.c_str(), {InvalidFileTime, OldAccess, OldWrite}));
    FileHandle holder(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    ASSERT_FALSE(OpenToRead(path)) << "the holder shares reading";
    bool asked = false;
    std::optional<FileTime> date;
    const auto change = [&](const FileTimes&, const DateTakenReader& dateTaken) {
        asked = true;
        date = dateTaken();
        return FileTimes{InvalidFileTime, OldWrite, date.value_or(InvalidFileTime)};
    };
    FileTimes stored{};
    ASSERT_TRUE(ChangeFileTimesByDate(path.c_str(), change, stored)) << ::GetLastError();
    EXPECT_TRUE(asked);
    EXPECT_EQ(date, std::nullopt);
    EXPECT_EQ(stored[LastAccess], OldWrite);
    EXPECT_EQ(stored[LastWrite], OldWrite);
}

TEST(FileByteSource, GivesTheFilesBytesAtAnyOffsetAndNothingPastTheEnd)
{
    TempFolder temp;
    const std::size_t size = FileByteSource::HeadBytes * 3 + 17;
    const Bytes bytes = Pattern(size);
    const std::wstring path = temp.Child(L"pattern.bin");
    ASSERT_TRUE(WriteBytes(path, bytes));
    const FileHandle file = OpenToRead(path);
    FileByteSource source;
    ASSERT_TRUE(source.Attach(file.get()));
    EXPECT_EQ(source.Size(), size);
    // Inside the first block, across its end, far past it, and the very last byte.
    const std::pair<std::uint64_t, std::size_t> ranges[] = {{0, 8},
                                                            {100, 4000},
                                                            {FileByteSource::HeadBytes - 3, 10},
                                                            {FileByteSource::HeadBytes * 2 + 5, 300},
                                                            {size - 1, 1}};
    for (const auto& [offset, length] : ranges) {
        Bytes got(length);
        ASSERT_TRUE(source.ReadAt(offset, got)) << offset;
        EXPECT_TRUE(std::equal(got.begin(), got.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset))) << offset;
    }
    // The first block once, then each range beyond it as asked.
    EXPECT_EQ(source.BytesRead(), FileByteSource::HeadBytes + 10 + 300 + 1);
    Bytes one(1);
    EXPECT_FALSE(source.ReadAt(size, one));
    Bytes two(2);
    EXPECT_FALSE(source.ReadAt(size - 1, two));
    EXPECT_FALSE(source.ReadAt(~std::uint64_t{0}, one));
}

// A movie whose movie box stands after 8 MiB of frames: the box headers and the movie box are
// all that is read.
TEST(FileByteSource, AMovieIsReadWithoutItsFrames)
{
    TempFolder temp;
    const Bytes frames(std::size_t{8} * 1024 * 1024);
    const Bytes movie = Concat(
        {FileType("mp42", {"mp42", "isom"}), Box("mdat", frames), Box("moov", MovieHeader(3'700'000'000ull, 0))});
    const std::wstring path = temp.Child(L"clip.mp4");
    ASSERT_TRUE(WriteBytes(path, movie));
    const FileHandle file = OpenToRead(path);
    FileByteSource source;
    ASSERT_TRUE(source.Attach(file.get()));
    // 3,700,000,000 s after 1904-01-01 is 2021-03-31 01:46:40 UTC.
    EXPECT_EQ(ReadDateTaken(source), FileTime{132'616'288'000'000'000ull});
    EXPECT_LT(source.BytesRead(), FileByteSource::HeadBytes + 4096);
}

// Another program writing the file keeps it open with read sharing only; the date is read all
// the same, and while the file is open for its date and times, others may still write, rename
// and delete it.
TEST(FileByteSource, ReadsAFileAnotherProgramHoldsOpenAndBlocksNoOne)
{
    TempFolder temp;
    const MediaSample jpeg = MediaSamples()[2];
    ASSERT_EQ(jpeg.name, "jpeg");
    const std::wstring path = temp.Child(L"photo.jpg");
    ASSERT_TRUE(WriteBytes(path, jpeg.bytes));
    {
        FileHandle writer(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer);
        EXPECT_EQ(ReadDate(path).date, SampleMoment());
    }
    const std::wstring moved = temp.Child(L"renamed.jpg");
    const auto change = [&](const FileTimes&, const DateTakenReader& dateTaken) {
        EXPECT_EQ(dateTaken(), SampleMoment());
        FileHandle writer(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(writer) << ::GetLastError();
        writer.reset();
        EXPECT_TRUE(::MoveFileW(path.c_str(), moved.c_str())) << ::GetLastError();
        return NoChange;
    };
    FileTimes stored{};
    EXPECT_TRUE(ChangeFileTimesByDate(path.c_str(), change, stored)) << ::GetLastError();
    EXPECT_TRUE(::DeleteFileW(moved.c_str())) << ::GetLastError();
}

} // namespace
