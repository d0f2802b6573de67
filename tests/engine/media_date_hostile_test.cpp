#include "engine/MediaDate.h"

#include "tests/engine/GuardedBlock.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <set>

namespace {

// A source over bytes placed against a no-access page that counts what is asked of it.
class CountingSource final : public ByteSource {
public:
    explicit CountingSource(std::span<const std::byte> block) : memory_(block) {}

    [[nodiscard]] std::uint64_t Size() const override { return memory_.Size(); }
    [[nodiscard]] bool ReadAt(std::uint64_t offset, std::span<std::byte> into) override
    {
        ++reads;
        bytes += into.size();
        return memory_.ReadAt(offset, into);
    }

    std::uint64_t reads = 0;
    std::uint64_t bytes = 0;

private:
    MemoryByteSource memory_;
};

// Whatever a file says, the reader asks for a bounded number of reads and bytes: headers
// (two reads at most for a box with a 64-bit size) and a few blocks, and nothing twice
// beyond what its extents may repeat.
void ExpectBoundedWork(const CountingSource& source, std::size_t fileSize)
{
    EXPECT_LE(source.reads, 2ull * MaxMediaHeaders + 64);
    EXPECT_LE(source.bytes, 16ull * MaxMediaHeaders + 4ull * MaxMediaBlockBytes + 4ull * fileSize);
}

std::optional<FileTime> ReadBounded(std::span<const std::byte> bytes)
{
    const GuardedBlock block(bytes);
    CountingSource source(block.span());
    const auto taken = ReadDateTaken(source);
    ExpectBoundedWork(source, bytes.size());
    return taken;
}

// What a cut sample may still say: nothing, its date, its date as local time when the
// offset was cut off, or one of the dates it holds as fallbacks (local 2011 and 2001 in the
// TIFFs, the movie header's time).
std::set<std::optional<FileTime>> AnswersOfPartOfASample()
{
    return {std::nullopt,          SampleMoment(),        LocalTime(2021, 6, 7, 8, 9, 10) + 5'000'000ull,
            LocalTime(2011, 1, 1), LocalTime(2001, 1, 1), UtcTime(1904, 1, 1) + 3'600'000'000ull * TicksPerSecond};
}

TEST(MediaDateHostile, EveryTruncationOfEverySampleStaysInsideAndGivesNothingOrAFieldItHolds)
{
    const auto allowed = AnswersOfPartOfASample();
    for (const MediaSample& sample : MediaSamples()) {
        for (std::size_t size = 0; size < sample.bytes.size(); ++size) {
            const auto taken = ReadBounded(std::span<const std::byte>(sample.bytes).first(size));
            EXPECT_TRUE(allowed.contains(taken)) << sample.name << " cut to " << size << ": " << taken.value_or(0);
        }
    }
}

TEST(MediaDateHostile, TiffOffsetsThatLoopPointOutsideOrCountTooMuch)
{
    const FileTime expected = UtcTime(2024, 3, 9, 14, 5, 6);
    // An Exif pointer to the first directory itself, past the end, at the last byte.
    for (const std::uint32_t pointer : {8u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0u}) {
        const Bytes tiff =
            TiffWriter().Raw(TagExifDirectory, 4, 1, pointer).Text(TagDateTime, "2024:03:09 14:05:06").Build();
        EXPECT_EQ(ReadBounded(tiff), LocalTime(2024, 3, 9, 14, 5, 6)) << pointer;
    }
    // The first directory past the end, at the last bytes, and at the header itself.
    TiffWriter writer(true);
    writer.Text(TagOriginal, "2024:03:09 14:05:06").Text(TagOffsetOriginal, "Z");
    const Bytes good = writer.Build();
    ASSERT_EQ(ReadBounded(good), expected);
    for (const std::uint32_t offset : {0xFFFFFFFFu, static_cast<std::uint32_t>(good.size() - 1), 0u}) {
        Bytes bad = good;
        PutBig(bad, 4, offset, 4);
        EXPECT_EQ(ReadBounded(bad), std::nullopt) << offset;
    }
    // A directory that claims 65535 entries: those that fit are read, the rest ignored.
    Bytes many = good;
    PutBig(many, writer.ExifDirectoryOffset(), 0xFFFF, 2);
    EXPECT_EQ(ReadBounded(many), expected);
    // A date value whose offset points outside: that field is missing, the next one counts.
    TiffWriter twoDates(true);
    twoDates.Text(TagOriginal, "2024:03:09 14:05:06")
        .Text(TagDigitized, "2020:02:02 02:02:02")
        .Text(TagOffsetDigitized, "Z");
    Bytes outside = twoDates.Build();
    const std::size_t originalEntry = twoDates.ExifDirectoryOffset() + 2;
    ASSERT_EQ(static_cast<int>(outside[originalEntry + 1]), 0x03);
    PutBig(outside, originalEntry + 8, 0xFFFFFFF0u, 4);
    EXPECT_EQ(ReadBounded(outside), UtcTime(2020, 2, 2, 2, 2, 2));
    PutBig(outside, originalEntry + 4, 0xFFFFFFFFu, 4); // and a count no file has
    EXPECT_EQ(ReadBounded(outside), UtcTime(2020, 2, 2, 2, 2, 2));
}

Bytes MovieFile(std::span<const std::byte> movie)
{
    return Concat({FileType("isom", {"isom"}), movie});
}

TEST(MediaDateHostile, BoxSizesThatAreTooSmallTooLargeOrRunPastTheirParent)
{
    const Bytes header = MovieHeader(3'797'409'600ull, 0);
    ASSERT_EQ(ReadBounded(MovieFile(Box("moov", header))), UtcTime(2024, 5, 1, 12));
    // Sizes below the header's own, past the end, and 64-bit sizes too small or too large.
    for (const std::uint64_t size : {4ull, 7ull, 0xFFFFFFFFull}) {
        Bytes bad = MovieFile(Box("moov", header));
        PutBig(bad, bad.size() - header.size() - 8, size, 4);
        EXPECT_EQ(ReadBounded(bad), std::nullopt) << size;
    }
    for (const std::uint64_t size : {0ull, 8ull, 15ull, 0xFFFFFFFFFFFFFFFFull, 0x8000000000000000ull}) {
        Bytes bad = FileType("isom", {"isom"});
        AppendBig(bad, 1, 4);
        AppendBig(bad, 0x6D646174, 4); // mdat
        AppendBig(bad, size, 8);
        const Bytes movie = Box("moov", header);
        bad.insert(bad.end(), movie.begin(), movie.end());
        EXPECT_EQ(ReadBounded(bad), std::nullopt) << size;
    }
    // A movie header that claims to run past the movie box holding it.
    Bytes past = MovieFile(Box("moov", header));
    PutBig(past, past.size() - header.size(), header.size() + 1, 4);
    EXPECT_EQ(ReadBounded(past), std::nullopt);
    // Seventy thousand empty boxes before the movie header: the header budget ends the walk.
    Bytes crowd;
    for (int i = 0; i < 70'000; ++i) {
        const Bytes free = Box("free", {});
        crowd.insert(crowd.end(), free.begin(), free.end());
    }
    EXPECT_EQ(ReadBounded(MovieFile(Box("moov", Concat({crowd, header})))), std::nullopt);
    // A key list that claims four billion keys leaves the movie header's time.
    Bytes keys(4);
    AppendBig(keys, 0xFFFFFFFF, 4);
    const Bytes meta = Box("meta", Concat({Box("keys", keys), Box("ilst", Box("data", Bytes(8)))}));
    EXPECT_EQ(ReadBounded(MovieFile(Box("moov", Concat({header, meta})))), UtcTime(2024, 5, 1, 12));
}

TEST(MediaDateHostile, ItemLocationsWithEmptyFieldsAndEndlessExtentsEndQuickly)
{
    Bytes information;
    AppendBig(information, 1, 2);
    information =
        Concat({information, FullBox("infe", 2, Concat({TextBytes(std::string_view("\0\x02\0\0Exif\0", 9))}))});
    // Every size zero, so that each extent takes no bytes at all, and the most extents per item.
    Bytes locations{std::byte{0}, std::byte{0}};
    AppendBig(locations, 0xFFFF, 2);
    for (int item = 0; item < 0xFFFF; ++item) {
        AppendBig(locations, 1, 2);
        AppendBig(locations, 0, 2);
        AppendBig(locations, 0xFFFF, 2);
    }
    const Bytes heif =
        Concat({FileType("heic", {"mif1", "heic"}),
                FullBox("meta", 0, Concat({FullBox("iinf", 0, information), FullBox("iloc", 0, locations)}))});
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadBounded(heif), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));

    // The Exif item's extents all over its bytes: its size is capped, not multiplied.
    Bytes repeated{std::byte{0x44}, std::byte{0}};
    AppendBig(repeated, 1, 2);
    AppendBig(repeated, 2, 2);
    AppendBig(repeated, 0, 2);
    AppendBig(repeated, 0xFFFF, 2);
    for (int extent = 0; extent < 0xFFFF; ++extent) {
        AppendBig(repeated, 0, 4);
        AppendBig(repeated, 0, 4); // the whole file
    }
    const Bytes wide =
        Concat({FileType("heic", {"mif1", "heic"}),
                FullBox("meta", 0, Concat({FullBox("iinf", 0, information), FullBox("iloc", 0, repeated)}))});
    EXPECT_EQ(ReadBounded(wide), std::nullopt);
}

TEST(MediaDateHostile, SegmentAndChunkLengthsThatLieOrNeverEnd)
{
    const Bytes tiff = TiffWriter().Text(TagOriginal, "2024:03:09 14:05:06").Text(TagOffsetOriginal, "Z").Build();
    // JPEG: a segment length below its own two bytes; a length past the end; endless fill bytes.
    for (const std::uint16_t length : {0, 1, 0xFFFF}) {
        Bytes jpeg = Jpeg({ExifSegment(tiff)});
        PutBig(jpeg, 4, length, 2);
        EXPECT_EQ(ReadBounded(jpeg), std::nullopt) << length;
    }
    Bytes fill = TextBytes("\xFF\xD8");
    fill.resize(200'000, std::byte{0xFF});
    EXPECT_EQ(ReadBounded(fill), std::nullopt);
    // PNG: chunk lengths past the end or above the format's limit.
    for (const std::uint32_t length : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        Bytes png = Png({{"eXIf", tiff}});
        PutBig(png, 33, length, 4);
        EXPECT_EQ(ReadBounded(png), std::nullopt) << length;
    }
    // WebP: a RIFF size past the end is cut to the file; chunk sizes past it give nothing.
    Bytes webp = WebP({{"EXIF", tiff}});
    PutBig(webp, 4, 0xFFFFFFFF, 4);
    EXPECT_EQ(ReadBounded(webp), UtcTime(2024, 3, 9, 14, 5, 6));
    for (const std::uint32_t size : {0xFFFFFFFFu, 0xFFFFFFFEu, static_cast<std::uint32_t>(tiff.size() + 1)}) {
        Bytes bad = WebP({{"EXIF", tiff}});
        const std::size_t sizeAt = 12 + 8 + 10 + 4;
        for (int i = 0; i < 4; ++i)
            bad[sizeAt + static_cast<std::size_t>(i)] = static_cast<std::byte>(size >> (8 * i));
        EXPECT_EQ(ReadBounded(bad), std::nullopt) << size;
    }
}

// Numbers that make offsets and sizes interesting: zero, one, just past a header, the
// largest, and values near the file's own size.
std::uint32_t InterestingNumber(std::mt19937& random, std::size_t fileSize)
{
    const std::uint32_t choices[] = {0,
                                     1,
                                     8,
                                     16,
                                     0x7FFFFFFF,
                                     0x80000000,
                                     0xFFFFFFFF,
                                     0xFFFFFFF8,
                                     static_cast<std::uint32_t>(fileSize),
                                     static_cast<std::uint32_t>(fileSize - 1),
                                     static_cast<std::uint32_t>(random() % (fileSize + 1))};
    return choices[random() % std::size(choices)];
}

void Mutate(Bytes& bytes, std::mt19937& random)
{
    const int steps = 1 + static_cast<int>(random() % 4);
    for (int step = 0; step < steps && !bytes.empty(); ++step) {
        const std::size_t at = random() % bytes.size();
        switch (random() % 6) {
        case 0:
            bytes[at] = static_cast<std::byte>(random());
            break;
        case 1:
            bytes[at] = random() % 2 ? std::byte{0} : std::byte{0xFF};
            break;
        case 2:
        case 3:
            if (bytes.size() - at >= 4) {
                const std::uint32_t value = InterestingNumber(random, bytes.size());
                for (int i = 0; i < 4; ++i) {
                    const int shift = random() % 2 ? 8 * (3 - i) : 8 * i; // either byte order
                    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> shift);
                }
            }
            break;
        case 4:
            bytes.resize(at);
            break;
        default: {
            const std::size_t length = std::min<std::size_t>(random() % 64, bytes.size() - at);
            const Bytes copy(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(random() % bytes.size()), copy.begin(),
                         copy.end());
            break;
        }
        }
    }
}

// Mutated samples against a no-access page: any read past the end faults. A fixed number
// of files from a fixed seed, so that every run feeds the same ones.
TEST(MediaDateFuzz, MutatedSamplesNeverReadOutsideTheirBytesAndWorkIsBounded)
{
    constexpr int MutantsPerSample = 12'500;
    std::mt19937 random(20240521);
    int dated = 0;
    int total = 0;
    for (const MediaSample& sample : MediaSamples()) {
        for (int i = 0; i < MutantsPerSample; ++i) {
            Bytes mutant = sample.bytes;
            Mutate(mutant, random);
            const GuardedBlock block(mutant);
            CountingSource source(block.span());
            const auto taken = ReadDateTaken(source);
            ExpectBoundedWork(source, mutant.size());
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << sample.name << " mutant " << i;
                return;
            }
            dated += taken.has_value() ? 1 : 0;
            ++total;
        }
    }
    // Most mutants keep enough of their sample to be read, some lose it: both paths ran.
    EXPECT_GT(dated, total / 10);
    EXPECT_LT(dated, total);
}

} // namespace
