#include "engine/MediaDate.h"

#include "tests/engine/GuardedBlock.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

std::optional<FileTime> Read(std::span<const std::byte> bytes)
{
    const GuardedBlock block(bytes);
    MemoryByteSource source(block.span());
    return ReadDateTaken(source);
}

constexpr std::uint64_t Tenths(int tenths)
{
    return static_cast<std::uint64_t>(tenths) * 1'000'000ull;
}

// Seconds since 1904 of 2024-05-01 12:00:00 UTC and of 2100-01-01 00:00:00 UTC (past 32 bits).
constexpr std::uint64_t May2024Noon = 3'797'409'600ull;
constexpr std::uint64_t Year2100 = 6'185'289'600ull;

Bytes Movie(std::span<const std::byte> movieChildren)
{
    return Concat({FileType("isom", {"isom", "mp42"}), Box("mdat", TextBytes("frames")), Box("moov", movieChildren)});
}

Bytes MovieWithKey(const std::string& text)
{
    return Movie(
        Concat({MovieHeader(May2024Noon, 0), QuickTimeMeta({{"com.apple.quicktime.creationdate", text}}, false)}));
}

TEST(MediaDate, EveryFormatGivesTheSampleMoment)
{
    for (const MediaSample& sample : MediaSamples())
        EXPECT_EQ(Read(sample.bytes), SampleMoment()) << sample.name;
}

TEST(MediaDate, TellsTheFormatsApartByTheirFirstBytes)
{
    const std::pair<Bytes, MediaFormat> cases[] = {
        {TextBytes("\xFF\xD8\xFF\xE0"), MediaFormat::Jpeg},
        {TextBytes(std::string_view("II*\0", 4)), MediaFormat::Tiff},
        {TextBytes(std::string_view("MM\0*", 4)), MediaFormat::Tiff},
        {TextBytes("IIRO"), MediaFormat::Tiff},
        {TextBytes("IIRS"), MediaFormat::Tiff},
        {TextBytes("MMOR"), MediaFormat::Tiff},
        {TextBytes(std::string_view("IIU\0", 4)), MediaFormat::Tiff},
        {TextBytes("\x89PNG\r\n\x1A\n"), MediaFormat::Png},
        {TextBytes(std::string_view("RIFF\x10\0\0\0WEBPVP8X", 16)), MediaFormat::WebP},
        {TextBytes(std::string_view("RIFF\x10\0\0\0WAVEfmt ", 16)), MediaFormat::None},
        {FileType("heic", {"mif1", "heic"}), MediaFormat::Heif},
        {FileType("mif1", {"mif1", "heic"}), MediaFormat::Heif},
        {FileType("avif", {"avif", "mif1", "miaf"}), MediaFormat::Heif},
        {FileType("isom", {"isom", "iso2", "avc1", "mp41"}), MediaFormat::IsoMovie},
        {FileType("qt  ", {"qt  "}), MediaFormat::IsoMovie},
        {FileType("3gp4", {"3gp4", "isom"}), MediaFormat::IsoMovie},
        {FileType("M4V ", {"M4V ", "M4A ", "mp42"}), MediaFormat::IsoMovie},
        {Box("wide", {}), MediaFormat::IsoMovie},
        {Box("moov", {}), MediaFormat::IsoMovie},
        {TextBytes("GIF89a"), MediaFormat::None},
        {TextBytes("\xFF\xD8"), MediaFormat::None},
        {Bytes{}, MediaFormat::None},
    };
    for (const auto& [head, format] : cases)
        EXPECT_EQ(DetectMediaFormat(head), format)
            << std::string(reinterpret_cast<const char*>(head.data()), head.size());
}

TEST(MediaDateExif, ReadsTheOriginalDateWithItsOffsetAndSubSecondsInBothByteOrders)
{
    const std::pair<std::string, FileTime> offsets[] = {
        {"+09:00", UtcTime(2024, 3, 9, 5, 5, 6)}, {"-05:30", UtcTime(2024, 3, 9, 19, 35, 6)},
        {"+0100", UtcTime(2024, 3, 9, 13, 5, 6)}, {"+00:00", UtcTime(2024, 3, 9, 14, 5, 6)},
        {"Z", UtcTime(2024, 3, 9, 14, 5, 6)},     {"+14:00", UtcTime(2024, 3, 9, 0, 5, 6)},
    };
    for (const bool bigEndian : {false, true}) {
        for (const auto& [offset, expected] : offsets) {
            const Bytes tiff = TiffWriter(bigEndian)
                                   .Text(TagOriginal, "2024:03:09 14:05:06")
                                   .Text(TagOffsetOriginal, offset)
                                   .Text(TagSubSecOriginal, "25")
                                   .Text(TagDigitized, "2020:01:01 00:00:00")
                                   .Text(TagOffsetDigitized, "+00:00")
                                   .Text(TagDateTime, "2019:01:01 00:00:00")
                                   .Build();
            EXPECT_EQ(Read(tiff), expected + Tenths(2) + 500'000) << offset << " big-endian " << bigEndian;
        }
    }
    // Sub-seconds: up to seven digits count, blanks around them do not, other text is ignored.
    const std::pair<std::string, std::uint64_t> fractions[] = {
        {"1234567", 1'234'567}, {"123456789", 1'234'567}, {"05 ", 500'000}, {"", 0}, {"1x", 0}, {"-1", 0},
    };
    for (const auto& [digits, ticks] : fractions) {
        const Bytes tiff = TiffWriter()
                               .Text(TagOriginal, "2024:03:09 14:05:06")
                               .Text(TagOffsetOriginal, "Z")
                               .Text(TagSubSecOriginal, digits)
                               .Build();
        EXPECT_EQ(Read(tiff), UtcTime(2024, 3, 9, 14, 5, 6) + ticks) << digits;
    }
}

TEST(MediaDateExif, FallsBackFromOriginalToDigitizedToDateTimeEachWithItsOwnOffsetAndSubSeconds)
{
    // No original date at all, a blank one, a zero one and an impossible one: the digitized date
    // counts, with its own offset and sub-seconds, never the original's.
    for (const std::optional<std::string>& original :
         {std::optional<std::string>(), std::optional<std::string>("    :  :     :  :  "),
          std::optional<std::string>("0000:00:00 00:00:00"), std::optional<std::string>(""),
          std::optional<std::string>("2023:02:29 10:00:00"), std::optional<std::string>("2023:13:01 10:00:00")}) {
        TiffWriter writer(true);
        if (original)
            writer.Text(TagOriginal, *original);
        writer.Text(TagOffsetOriginal, "+09:00")
            .Text(TagSubSecOriginal, "9")
            .Text(TagDigitized, "2023:12:31 23:59:59")
            .Text(TagOffsetDigitized, "+01:00")
            .Text(TagSubSecDigitized, "5")
            .Text(TagDateTime, "2019:01:01 00:00:00")
            .Text(TagOffset, "+00:00");
        EXPECT_EQ(Read(writer.Build()), UtcTime(2023, 12, 31, 22, 59, 59) + Tenths(5)) << original.value_or("none");
    }
    // Neither: the file's date and time, with the offset and sub-seconds of that field.
    const Bytes dateTime = TiffWriter()
                               .Text(TagOriginal, "0000:00:00 00:00:00")
                               .Text(TagDigitized, "")
                               .Text(TagOffsetDigitized, "+05:00")
                               .Text(TagDateTime, "2022:02:28 10:00:00")
                               .Text(TagOffset, "-08:00")
                               .Text(TagSubSec, "75")
                               .Build();
    EXPECT_EQ(Read(dateTime), UtcTime(2022, 2, 28, 18) + Tenths(7) + 500'000);
    // None of the three holds a date.
    EXPECT_EQ(
        Read(TiffWriter().Text(TagOriginal, "0000:00:00 00:00:00").Text(TagDateTime, "    :  :     :  :  ").Build()),
        std::nullopt);
    EXPECT_EQ(Read(TiffWriter().Text(TagOffsetOriginal, "+01:00").Text(TagSubSecOriginal, "5").Build()), std::nullopt);
    // A blank or unreadable offset leaves the date in local time, like one without an offset.
    const FileTime local = LocalTime(2024, 7, 15, 10, 20, 30);
    for (const char* offset : {"   :  ", "+9:00", "+25:00", "+09:60", "09:00"}) {
        const Bytes tiff =
            TiffWriter().Text(TagOriginal, "2024:07:15 10:20:30").Text(TagOffsetOriginal, offset).Build();
        EXPECT_EQ(Read(tiff), local) << offset;
    }
}

// The same wall-clock readings in each zone the tests run in, as UTC.
struct LocalReadings {
    FileTime summer; // 2024-07-15 10:20:30 local
    FileTime winter; // 2024-01-15 10:20:30 local
};
const Expected<LocalReadings> LocalReadingsByZone[] = {
    {L"UTC", {UtcTime(2024, 7, 15, 10, 20, 30), UtcTime(2024, 1, 15, 10, 20, 30)}},
    {L"Asia/Tokyo", {UtcTime(2024, 7, 15, 1, 20, 30), UtcTime(2024, 1, 15, 1, 20, 30)}},
    {L"America/New_York", {UtcTime(2024, 7, 15, 14, 20, 30), UtcTime(2024, 1, 15, 15, 20, 30)}},
};

TEST(MediaDate, DatesWithoutAZoneAreTheMachinesLocalTime)
{
    const LocalReadings* expected = ForRunZone(LocalReadingsByZone);
    ASSERT_NE(expected, nullptr);
    const Bytes summer = TiffWriter().Text(TagOriginal, "2024:07:15 10:20:30").Text(TagSubSecOriginal, "75").Build();
    EXPECT_EQ(Read(summer), expected->summer + Tenths(7) + 500'000);
    const Bytes winter = Jpeg({ExifSegment(TiffWriter(true).Text(TagDateTime, "2024:01:15 10:20:30").Build())});
    EXPECT_EQ(Read(winter), expected->winter);
    EXPECT_EQ(Read(MovieWithKey("2024-07-15T10:20:30")), expected->summer);
    EXPECT_EQ(Read(MovieWithKey("2024-01-15T10:20:30.25")), expected->winter + Tenths(2) + 500'000);
}

TEST(MediaDateExif, ReadsTheRawFormatsSignaturesAndDirectoriesAfterTheImageData)
{
    for (const auto& [signature, bigEndian] :
         {std::pair<std::string_view, bool>{"IIRO", false}, {"IIRS", false}, {"MMOR", true}, {"IIU\0", false}}) {
        const Bytes raw = TiffWriter(bigEndian)
                              .Signature(std::string(signature.data(), 4))
                              .Text(TagOriginal, "2024:03:09 14:05:06")
                              .Text(TagOffsetOriginal, "+01:00")
                              .Build();
        EXPECT_EQ(Read(raw), UtcTime(2024, 3, 9, 13, 5, 6)) << signature;
    }
    // Canon's CR2 header: the TIFF header, "CR", a version and the raw directory's offset.
    TiffWriter cr2;
    cr2.DataBeforeDirectories(8).Text(TagOriginal, "2024:03:09 14:05:06").Text(TagOffsetOriginal, "Z");
    Bytes cr2Bytes = cr2.Build();
    const Bytes cr2Header = TextBytes(std::string_view("CR\x02\0\0\0\0\0", 8));
    std::copy(cr2Header.begin(), cr2Header.end(), cr2Bytes.begin() + 8);
    EXPECT_EQ(Read(cr2Bytes), UtcTime(2024, 3, 9, 14, 5, 6));
    // A TIFF whose directories follow a megabyte of image data.
    const Bytes late = TiffWriter(true)
                           .DataBeforeDirectories(1 << 20)
                           .Text(TagDateTime, "2024:03:09 14:05:06")
                           .Text(TagOffset, "Z")
                           .Build();
    EXPECT_EQ(Read(late), UtcTime(2024, 3, 9, 14, 5, 6));
    // Other magic numbers are no TIFF.
    Bytes other = TiffWriter().Text(TagDateTime, "2024:03:09 14:05:06").Build();
    other[2] = std::byte{43};
    EXPECT_EQ(Read(other), std::nullopt);
}

TEST(MediaDateContainers, FindTheExifBlockAmongOtherSegmentsAndChunks)
{
    const Bytes tiff = TiffWriter().Text(TagOriginal, "2024:03:09 14:05:06").Text(TagOffsetOriginal, "Z").Build();
    const FileTime expected = UtcTime(2024, 3, 9, 14, 5, 6);

    // JPEG: an XMP segment (also APP1) and an ICC profile before the Exif segment, fill bytes
    // before a marker.
    const JpegSegment xmp{0xE1, TextBytes(std::string_view("http://ns.adobe.com/xap/1.0/\0<x/>", 34))};
    const JpegSegment icc{0xE2, Bytes(300, std::byte{0x11})};
    EXPECT_EQ(Read(Jpeg({xmp, icc, ExifSegment(tiff)})), expected);
    Bytes filled = Jpeg({icc, ExifSegment(tiff)});
    filled.insert(filled.begin() + 20, 3, std::byte{0xFF});
    EXPECT_EQ(Read(filled), expected);
    // Exif only after the scan begins does not count; neither does a JPEG without one.
    Bytes afterScan = Jpeg({});
    const JpegSegment late = ExifSegment(tiff);
    Bytes lateSegment = TextBytes("\xFF\xE1");
    AppendBig(lateSegment, late.payload.size() + 2, 2);
    lateSegment.insert(lateSegment.end(), late.payload.begin(), late.payload.end());
    afterScan.insert(afterScan.end() - 2, lateSegment.begin(), lateSegment.end());
    EXPECT_EQ(Read(afterScan), std::nullopt);
    EXPECT_EQ(Read(Jpeg({xmp, icc})), std::nullopt);

    // PNG: eXIf before or after the image data; a damaged chunk is not read.
    EXPECT_EQ(Read(Png({{"tEXt", TextBytes("Comment")}, {"eXIf", tiff}, {"IDAT", Bytes(100)}})), expected);
    EXPECT_EQ(Read(Png({{"IDAT", Bytes(100)}, {"IDAT", Bytes(7)}, {"eXIf", tiff}})), expected);
    Bytes damaged = Png({{"eXIf", tiff}});
    damaged[33 + 8 + 20] ^= std::byte{1};
    EXPECT_EQ(Read(damaged), std::nullopt);
    EXPECT_EQ(Read(Png({{"IDAT", Bytes(100)}})), std::nullopt);

    // WebP: EXIF after image data of odd size (padded), with or without the JPEG prefix.
    EXPECT_EQ(Read(WebP({{"VP8 ", Bytes(7)}, {"ICCP", Bytes(3)}, {"EXIF", tiff}})), expected);
    EXPECT_EQ(Read(WebP({{"VP8L", Bytes(8)}, {"EXIF", ExifSegment(tiff).payload}})), expected);
    EXPECT_EQ(Read(WebP({{"VP8 ", Bytes(7)}, {"XMP ", Bytes(9)}})), std::nullopt);
}

TEST(MediaDateHeif, ReadsTheExifItemWhereverItsLocationsPutIt)
{
    const Bytes tiff = TiffWriter(true)
                           .Text(TagOriginal, "2024:03:09 14:05:06")
                           .Text(TagOffsetOriginal, "-03:00")
                           .Text(TagSubSecOriginal, "1")
                           .Build();
    const FileTime expected = UtcTime(2024, 3, 9, 17, 5, 6) + Tenths(1);
    for (const std::uint8_t version : {0, 1, 2}) {
        for (const bool split : {false, true}) {
            EXPECT_EQ(Read(Heif(tiff, HeifOptions{"heic", version, false, split})), expected)
                << "version " << int{version} << " split " << split;
        }
    }
    EXPECT_EQ(Read(Heif(tiff, HeifOptions{"avif", 1, true, false})), expected);
    EXPECT_EQ(Read(Heif(tiff, HeifOptions{"heic", 2, true, true})), expected);
    // A HEIF image without an Exif item has no date.
    Bytes noExif = Heif(tiff, HeifOptions{});
    const Bytes exifType = TextBytes("Exif");
    const auto at = std::search(noExif.begin(), noExif.end(), exifType.begin(), exifType.end());
    ASSERT_NE(at, noExif.end());
    *at = std::byte{'x'};
    EXPECT_EQ(Read(noExif), std::nullopt);
}

TEST(MediaDateMovie, ReadsTheMovieHeaderInBothVersionsAndZeroMeansNone)
{
    EXPECT_EQ(Read(Movie(MovieHeader(May2024Noon, 0))), UtcTime(2024, 5, 1, 12));
    EXPECT_EQ(Read(Movie(MovieHeader(Year2100, 1))), UtcTime(2100, 1, 1));
    EXPECT_EQ(Read(Movie(MovieHeader(0, 0))), std::nullopt);
    EXPECT_EQ(Read(Movie(MovieHeader(0, 1))), std::nullopt);
    // An old QuickTime file without a file type box; a movie box that runs to the end (size 0).
    const Bytes old = Concat({Box("wide", {}), Box("mdat", Bytes(40)), Box("moov", MovieHeader(May2024Noon, 0))});
    EXPECT_EQ(Read(old), UtcTime(2024, 5, 1, 12));
    Bytes open = Movie(MovieHeader(May2024Noon, 0));
    PutBig(open, open.size() - MovieHeader(May2024Noon, 0).size() - 8, 0, 4);
    EXPECT_EQ(Read(open), UtcTime(2024, 5, 1, 12));
    // A media data box with a 64-bit size before the movie box.
    Bytes large = FileType("mp42", {"mp42"});
    AppendBig(large, 1, 4);
    const Bytes mdat = TextBytes("mdat");
    large.insert(large.end(), mdat.begin(), mdat.end());
    AppendBig(large, 16 + 5, 8);
    large.resize(large.size() + 5);
    const Bytes movie = Box("moov", MovieHeader(Year2100, 1));
    large.insert(large.end(), movie.begin(), movie.end());
    EXPECT_EQ(Read(large), UtcTime(2100, 1, 1));
}

TEST(MediaDateMovie, TheQuickTimeCreationDateWinsWithItsZone)
{
    const std::pair<std::string, FileTime> texts[] = {
        {"2023-08-20T18:30:00+0900", UtcTime(2023, 8, 20, 9, 30)},
        {"2023-08-20T18:30:00+09:00", UtcTime(2023, 8, 20, 9, 30)},
        {"2023-08-20T18:30:00-0400", UtcTime(2023, 8, 20, 22, 30)},
        {"2023-08-20T18:30:00Z", UtcTime(2023, 8, 20, 18, 30)},
        {"2023-08-20T18:30:00.123456Z", UtcTime(2023, 8, 20, 18, 30) + 1'234'560},
        {"2023-08-20 18:30:00+0000", UtcTime(2023, 8, 20, 18, 30)},
    };
    for (const auto& [text, expected] : texts)
        EXPECT_EQ(Read(MovieWithKey(text)), expected) << text;
    // Text that is not such a date leaves the movie header's time.
    for (const char* text : {"", "2023-08-20", "2023-08-20T18:30:00+9", "2023-08-20T18:30:00 junk",
                             "2023:08:20 18:30:00", "0000-00-00T00:00:00Z", "2023-08-20T18:30:00."})
        EXPECT_EQ(Read(MovieWithKey(text)), UtcTime(2024, 5, 1, 12)) << text;

    // The metadata in the ISO form, inside the user data box, after other keys.
    const Bytes inUserData =
        Movie(Concat({MovieHeader(May2024Noon, 1),
                      Box("udta", QuickTimeMeta({{"com.apple.quicktime.location.ISO6709", "+35.6+139.7/"},
                                                 {"com.apple.quicktime.creationdate", "2023-08-20T18:30:00+0900"}},
                                                true))}));
    EXPECT_EQ(Read(inUserData), UtcTime(2023, 8, 20, 9, 30));
    // A key list without the creation date leaves the movie header's time.
    const Bytes otherKeys = Movie(Concat(
        {QuickTimeMeta({{"com.apple.quicktime.make", "2023-08-20T18:30:00Z"}}, false), MovieHeader(May2024Noon, 0)}));
    EXPECT_EQ(Read(otherKeys), UtcTime(2024, 5, 1, 12));
}

// A file that is mostly not there: a few pieces of bytes at their offsets, zeros elsewhere;
// it records what is asked of it.
class SparseSource final : public ByteSource {
public:
    SparseSource(std::uint64_t size, std::map<std::uint64_t, Bytes> pieces) : size_(size), pieces_(std::move(pieces)) {}

    [[nodiscard]] std::uint64_t Size() const override { return size_; }
    [[nodiscard]] bool ReadAt(std::uint64_t offset, std::span<std::byte> into) override
    {
        reads.emplace_back(offset, into.size());
        if (offset > size_ || into.size() > size_ - offset)
            return false;
        std::fill(into.begin(), into.end(), std::byte{0});
        for (const auto& [at, bytes] : pieces_) {
            const std::uint64_t from = std::max<std::uint64_t>(at, offset);
            const std::uint64_t to = std::min<std::uint64_t>(at + bytes.size(), offset + into.size());
            for (std::uint64_t i = from; i < to; ++i)
                into[i - offset] = bytes[i - at];
        }
        return true;
    }

    std::vector<std::pair<std::uint64_t, std::size_t>> reads;

private:
    std::uint64_t size_;
    std::map<std::uint64_t, Bytes> pieces_;
};

std::uint64_t BytesRead(const SparseSource& source)
{
    std::uint64_t total = 0;
    for (const auto& read : source.reads)
        total += read.second;
    return total;
}

TEST(MediaDateMovie, ReadsOnlyBoxHeadersAndTheMovieBoxOfALargeFile)
{
    // 6 GiB: file type, a media data box with a 64-bit size, then the movie box with a track
    // whose tables are large, the movie header and the QuickTime metadata.
    constexpr std::uint64_t FileSize = 6ull << 30;
    const Bytes fileType = FileType("qt  ", {"qt  "});
    Bytes trackTables = Box("trak", Bytes(4 << 20, std::byte{0x5A}));
    const Bytes meta = QuickTimeMeta({{"com.apple.quicktime.creationdate", "2023-08-20T18:30:00+0900"}}, false);
    const Bytes movie = Box("moov", Concat({trackTables, MovieHeader(May2024Noon, 0), meta}));
    const std::uint64_t movieAt = FileSize - movie.size();
    Bytes mediaHeader = TextBytes(std::string_view("\0\0\0\x01mdat", 8));
    AppendBig(mediaHeader, movieAt - fileType.size(), 8);
    SparseSource source(FileSize, {{0, fileType}, {fileType.size(), mediaHeader}, {movieAt, movie}});

    EXPECT_EQ(ReadDateTaken(source), UtcTime(2023, 8, 20, 9, 30));
    const std::uint64_t trackPayload = movieAt + 8 + 8;
    for (const auto& [offset, size] : source.reads) {
        const bool header = offset < fileType.size() + 16;
        const bool inMovie = offset >= movieAt && offset + size <= FileSize;
        const bool inTrackTables = offset >= trackPayload && offset < trackPayload + (4 << 20);
        EXPECT_TRUE(header || (inMovie && !inTrackTables)) << offset << " +" << size;
    }
    EXPECT_LT(BytesRead(source), 512u);
}

TEST(MediaDateContainers, ReadOnlyHeadersAndTheMetadataOfLargeImages)
{
    // A WebP whose EXIF chunk follows 100 MB of image data: only chunk headers and the EXIF
    // chunk are read.
    const Bytes tiff = TiffWriter().Text(TagOriginal, "2024:03:09 14:05:06").Text(TagOffsetOriginal, "Z").Build();
    constexpr std::uint32_t ImageSize = 100'000'000;
    Bytes webpHead = TextBytes("RIFF");
    const std::uint64_t riffSize = 4 + 8 + ImageSize + 8 + tiff.size();
    for (int i = 0; i < 4; ++i)
        webpHead.push_back(static_cast<std::byte>(riffSize >> (8 * i)));
    const Bytes rest = TextBytes(std::string_view("WEBPVP8 \x00\xE1\xF5\x05", 12));
    webpHead.insert(webpHead.end(), rest.begin(), rest.end());
    Bytes exifChunk = TextBytes("EXIF");
    for (int i = 0; i < 4; ++i)
        exifChunk.push_back(static_cast<std::byte>(tiff.size() >> (8 * i)));
    exifChunk.insert(exifChunk.end(), tiff.begin(), tiff.end());
    SparseSource webp(8 + riffSize, {{0, webpHead}, {20 + ImageSize, exifChunk}});
    EXPECT_EQ(ReadDateTaken(webp), UtcTime(2024, 3, 9, 14, 5, 6));
    EXPECT_LT(BytesRead(webp), 2 * tiff.size() + 128);
}

} // namespace
