#pragma once

#include "engine/FileTime.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The moment a photo or video was taken, as its own data records it. The reader takes bytes
// and gives a time or nothing: it opens no file and shows nothing. It reads through a
// ByteSource and asks only for the parts that hold the metadata (an image's segment or chunk
// headers and its Exif block, a movie's box headers and the few boxes inside its movie box),
// never the whole of a large file.
//
// Nothing in the bytes is trusted: every offset and length is checked against the source
// before it is read, and the work and memory a file can cause are bounded by the limits
// below, whatever its counts say.

enum class MediaFormat { None, Jpeg, Tiff, Heif, Png, WebP, IsoMovie };

// Random access to a file's bytes. ReadAt fills all of `into` from `offset`, or returns false
// (a range past the end, a failed read); the reader never asks for a range past Size(). Its
// requests are few and small (8 to 16 bytes per header, one block per metadata part), so a
// source that reads the file at each call needs no buffer of its own.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    [[nodiscard]] virtual std::uint64_t Size() const = 0;
    [[nodiscard]] virtual bool ReadAt(std::uint64_t offset, std::span<std::byte> into) = 0;

protected:
    ByteSource() = default;
    ByteSource(const ByteSource&) = default;
    ByteSource& operator=(const ByteSource&) = default;
};

// A source over bytes already in memory (an Exif block, a test's file).
class MemoryByteSource final : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::byte> bytes) : bytes_(bytes) {}
    [[nodiscard]] std::uint64_t Size() const override { return bytes_.size(); }
    [[nodiscard]] bool ReadAt(std::uint64_t offset, std::span<std::byte> into) override;

private:
    std::span<const std::byte> bytes_;
};

// How many bytes from the start of a file DetectMediaFormat needs to tell every format apart.
inline constexpr std::size_t MediaSignatureBytes = 32;

// The largest block read into memory at once: an Exif block, a HEIF item table, a key list.
inline constexpr std::size_t MaxMediaBlockBytes = std::size_t{2} * 1024 * 1024;
// Box, chunk or segment headers read per file, over all levels together.
inline constexpr int MaxMediaHeaders = 65536;
// Entries of one TIFF directory looked at; the rest of a longer directory is ignored.
inline constexpr int MaxTiffDirectoryEntries = 1024;

// The format of a file from its first bytes (up to MediaSignatureBytes; fewer for a short
// file). TIFF covers the TIFF-based raw formats; HEIF covers AVIF.
[[nodiscard]] MediaFormat DetectMediaFormat(std::span<const std::byte> head);

// When the file's data says it was taken or recorded, in UTC, with the sub-seconds it gives;
// nothing for a file without such a date or whose data cannot be read.
//  - Exif (JPEG APP1, TIFF and raws, the HEIF Exif item, PNG eXIf, WebP EXIF): the original
//    date with its offset and sub-seconds, else the digitized date with theirs, else the
//    file's date and time with theirs. A date without an offset is the machine's local time.
//  - MP4/MOV/M4V/3GP: the QuickTime creation-date key (ISO 8601 text, local time when it has
//    no zone), else the movie header's creation time (UTC; zero means none).
[[nodiscard]] std::optional<FileTime> ReadDateTaken(ByteSource& source);
