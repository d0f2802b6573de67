#include "engine/FileByteSource.h"
#include "engine/FolderFileSystem.h"

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

TEST(FileByteSource, EveryFormatsDateIsReadFromRealFiles)
{
    TempFolder temp;
    Win32FolderFileSystem fileSystem;
    for (const MediaSample& sample : MediaSamples()) {
        const std::wstring path = temp.Child(std::wstring(sample.name.begin(), sample.name.end()));
        ASSERT_TRUE(WriteBytes(path, sample.bytes));
        EXPECT_EQ(fileSystem.DateTaken(path, EveryTimestampKind), SampleMoment()) << sample.name;
    }
    const std::wstring empty = temp.MakeFile(L"empty.jpg");
    EXPECT_EQ(fileSystem.DateTaken(empty, EveryTimestampKind), std::nullopt);
    EXPECT_EQ(fileSystem.DateTaken(temp.Child(L"missing.jpg"), EveryTimestampKind), std::nullopt);
    EXPECT_EQ(fileSystem.DateTaken(temp.Path(), EveryTimestampKind), std::nullopt);
}

TEST(FileByteSource, GivesTheFilesBytesAtAnyOffsetAndNothingPastTheEnd)
{
    TempFolder temp;
    const std::size_t size = FileByteSource::HeadBytes * 3 + 17;
    const Bytes bytes = Pattern(size);
    const std::wstring path = temp.Child(L"pattern.bin");
    ASSERT_TRUE(WriteBytes(path, bytes));
    FileByteSource source;
    ASSERT_TRUE(source.Open(path));
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
    FileByteSource source;
    ASSERT_TRUE(source.Open(path));
    // 3,700,000,000 s after 1904-01-01 is 2021-03-31 01:46:40 UTC.
    EXPECT_EQ(ReadDateTaken(source), FileTime{132'616'288'000'000'000ull});
    EXPECT_LT(source.BytesRead(), FileByteSource::HeadBytes + 4096);
}

// Another program writing the file keeps it open with read sharing only; the date is read all
// the same, and while the source holds the file, others may still write, rename and delete it.
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
        Win32FolderFileSystem fileSystem;
        EXPECT_EQ(fileSystem.DateTaken(path, EveryTimestampKind), SampleMoment());
    }
    FileByteSource source;
    ASSERT_TRUE(source.Open(path));
    Bytes head(4);
    ASSERT_TRUE(source.ReadAt(0, head));
    FileHandle writer(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(writer) << ::GetLastError();
    writer.reset();
    const std::wstring moved = temp.Child(L"renamed.jpg");
    EXPECT_TRUE(::MoveFileW(path.c_str(), moved.c_str())) << ::GetLastError();
    EXPECT_TRUE(::DeleteFileW(moved.c_str())) << ::GetLastError();
}

TEST(FileByteSource, AFileThatIsNotThereGivesItsCause)
{
    TempFolder temp;
    FileByteSource source;
    EXPECT_FALSE(source.Open(temp.Child(L"missing.jpg")));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

} // namespace
