#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Small writers of the media files the date reader's tests feed it, byte by byte as the
// formats lay them out.

using Bytes = std::vector<std::byte>;

Bytes TextBytes(std::string_view text);
Bytes Concat(std::initializer_list<std::span<const std::byte>> parts);
void AppendBig(Bytes& bytes, std::uint64_t value, int width);
void PutBig(Bytes& bytes, std::size_t at, std::uint64_t value, int width);

// Exif tags the reader knows.
enum ExifTag : std::uint16_t {
    TagDateTime = 0x0132,
    TagExifDirectory = 0x8769,
    TagOriginal = 0x9003,
    TagDigitized = 0x9004,
    TagOffset = 0x9010,
    TagOffsetOriginal = 0x9011,
    TagOffsetDigitized = 0x9012,
    TagSubSec = 0x9290,
    TagSubSecOriginal = 0x9291,
    TagSubSecDigitized = 0x9292,
};

// A TIFF with a first directory and, when it has fields, an Exif directory after it; values
// that do not fit an entry follow the directories. Date, offset and sub-second fields go to
// the Exif directory, DateTime to the first, as cameras write them.
class TiffWriter {
public:
    explicit TiffWriter(bool bigEndian = false) : bigEndian_(bigEndian) {}

    // An ASCII field; the terminating zero is added.
    TiffWriter& Text(std::uint16_t tag, std::string_view text);
    // Any field as given, in the first directory (an Exif pointer of one's own, say).
    TiffWriter& Raw(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value);
    // The byte order and magic of a raw format ("IIRO", "IIU\0", ...) instead of TIFF's.
    TiffWriter& Signature(std::string_view fourBytes);
    // Image bytes placed between the header and the first directory.
    TiffWriter& DataBeforeDirectories(std::size_t size);

    [[nodiscard]] Bytes Build() const;
    // Where Build places the directories.
    [[nodiscard]] std::size_t FirstDirectoryOffset() const { return 8 + dataBefore_; }
    [[nodiscard]] std::size_t ExifDirectoryOffset() const;

private:
    struct Field {
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        Bytes value; // the bytes of an ASCII value; empty for a raw value
        std::uint32_t raw;
    };
    void Put(Bytes& bytes, std::size_t at, std::uint64_t value, int width) const;

    bool bigEndian_;
    std::string signature_;
    std::size_t dataBefore_ = 0;
    std::vector<Field> first_;
    std::vector<Field> exif_;
};

// A JPEG: SOI, a JFIF APP0, the given segments (marker and payload), a scan and EOI.
struct JpegSegment {
    std::uint8_t marker;
    Bytes payload;
};
JpegSegment ExifSegment(std::span<const std::byte> tiff);
Bytes Jpeg(const std::vector<JpegSegment>& segments);

// A PNG: signature, IHDR, the given chunks with their checksums, IEND.
struct PngChunk {
    std::string type;
    Bytes data;
};
Bytes Png(const std::vector<PngChunk>& chunks);

// A WebP: RIFF header, VP8X, the given chunks (each padded to an even size).
struct RiffChunk {
    std::string fourCc;
    Bytes data;
};
Bytes WebP(const std::vector<RiffChunk>& chunks);

// ISO base media boxes.
Bytes Box(std::string_view type, std::span<const std::byte> payload);
Bytes FullBox(std::string_view type, std::uint8_t version, std::span<const std::byte> payload);
Bytes FileType(std::string_view major, std::initializer_list<std::string_view> compatible);
// A movie header with the creation time in seconds since 1904 (version 1 writes 64 bits).
Bytes MovieHeader(std::uint64_t created, std::uint8_t version);
// A meta box with keys and items: each key's value as UTF-8 text.
Bytes QuickTimeMeta(const std::vector<std::pair<std::string, std::string>>& values, bool isoForm);

// A HEIF image: file type, meta box with an image item and an Exif item, and the Exif item's
// bytes (a TIFF header offset, "Exif\0\0", the TIFF) in the media data box, or in the meta
// box's item data when `inItemData`; split into two extents when `split`.
struct HeifOptions {
    std::string brand = "heic";
    std::uint8_t locationVersion = 1;
    bool inItemData = false;
    bool split = false;
};
Bytes Heif(std::span<const std::byte> tiff, const HeifOptions& options);

std::uint32_t PngCrc(std::span<const std::byte> bytes);

// One file of each format and byte order, each saying it was taken at SampleMoment().
struct MediaSample {
    std::string name;
    Bytes bytes;
};
std::vector<MediaSample> MediaSamples();
// 2021-06-07 06:09:10.5 UTC, written as 08:09:10 at +02:00 with the sub-second digit 5.
std::uint64_t SampleMoment();
