#include "engine/ExifReader.h"

#include "engine/MediaBytes.h"
#include "engine/MediaDateText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

enum TiffTag : std::uint16_t {
    DateTime = 0x0132,
    ExifDirectory = 0x8769,
    DateTimeOriginal = 0x9003,
    DateTimeDigitized = 0x9004,
    OffsetTime = 0x9010,
    OffsetTimeOriginal = 0x9011,
    OffsetTimeDigitized = 0x9012,
    SubSecTime = 0x9290,
    SubSecTimeOriginal = 0x9291,
    SubSecTimeDigitized = 0x9292,
};

enum TiffType : std::uint16_t { Ascii = 2, Long = 4, Undefined = 7, Directory = 13 };

// The magic numbers after the byte order: TIFF's own, Olympus ORF ("RO", "RS") and Panasonic RW2.
constexpr std::uint16_t TiffMagics[] = {42, 0x4F52, 0x5352, 0x55};

constexpr std::uint64_t HeaderSize = 8;
constexpr std::uint64_t EntrySize = 12;
// Longer than any date, offset or sub-second text; the rest of a longer value is not read.
constexpr std::uint64_t MaxTextBytes = 64;

// Each date with the offset and sub-seconds that belong to it, in the order they are tried.
struct DateFields {
    std::uint16_t date;
    std::uint16_t offset;
    std::uint16_t subSeconds;
};
constexpr DateFields DateChoices[] = {
    {DateTimeOriginal, OffsetTimeOriginal, SubSecTimeOriginal},
    {DateTimeDigitized, OffsetTimeDigitized, SubSecTimeDigitized},
    {DateTime, OffsetTime, SubSecTime},
};

bool IsWanted(std::uint16_t tag)
{
    switch (tag) {
    case DateTime:
    case ExifDirectory:
    case DateTimeOriginal:
    case DateTimeDigitized:
    case OffsetTime:
    case OffsetTimeOriginal:
    case OffsetTimeDigitized:
    case SubSecTime:
    case SubSecTimeOriginal:
    case SubSecTimeDigitized:
        return true;
    default:
        return false;
    }
}

struct Entry {
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::array<std::byte, 4> value{};
};
using Entries = std::map<std::uint16_t, Entry>;

class TiffReader {
public:
    TiffReader(ByteSource& source, bool bigEndian) : source_(source), bigEndian_(bigEndian) {}

    // The wanted entries of the directory at `offset`, added to `entries` where not there yet.
    // A directory cut short by the end of the data gives the entries that fit.
    bool ReadDirectory(std::uint64_t offset, Entries& entries)
    {
        std::vector<std::byte> countBytes;
        if (!ReadBlock(source_, offset, 2, 2, countBytes))
            return false;
        std::uint16_t count = 0;
        if (!ByteCursor(countBytes, bigEndian_).U16(count))
            return false;
        const std::uint64_t fitting = (source_.Size() - offset - 2) / EntrySize;
        const std::uint64_t used =
            std::min<std::uint64_t>({count, fitting, static_cast<std::uint64_t>(MaxTiffDirectoryEntries)});
        std::vector<std::byte> table;
        if (!ReadBlock(source_, offset + 2, used * EntrySize, used * EntrySize, table))
            return false;
        ByteCursor cursor(table, bigEndian_);
        for (std::uint64_t index = 0; index < used; ++index) {
            std::uint16_t tag = 0;
            Entry entry;
            std::span<const std::byte> value;
            if (!cursor.U16(tag) || !cursor.U16(entry.type) || !cursor.U32(entry.count) || !cursor.Bytes(4, value))
                return false;
            if (!IsWanted(tag))
                continue;
            std::copy(value.begin(), value.end(), entry.value.begin());
            entries.emplace(tag, entry);
        }
        return true;
    }

    // The text of an ASCII entry up to its first zero; empty when it has none or cannot be read.
    std::string Text(const Entries& entries, std::uint16_t tag)
    {
        const auto found = entries.find(tag);
        if (found == entries.end() || (found->second.type != Ascii && found->second.type != Undefined))
            return {};
        const Entry& entry = found->second;
        std::span<const std::byte> bytes;
        std::vector<std::byte> outside;
        if (entry.count <= entry.value.size()) {
            bytes = std::span<const std::byte>(entry.value).first(entry.count);
        } else {
            std::uint32_t offset = 0;
            if (!ByteCursor(entry.value, bigEndian_).U32(offset))
                return {};
            const std::uint64_t length = std::min<std::uint64_t>(entry.count, MaxTextBytes);
            if (!ReadBlock(source_, offset, length, MaxTextBytes, outside))
                return {};
            bytes = outside;
        }
        const std::string_view text = AsText(bytes);
        return std::string(text.substr(0, text.find('\0')));
    }

    // The offset an entry of a directory pointer holds.
    bool Pointer(const Entries& entries, std::uint16_t tag, std::uint32_t& offset) const
    {
        const auto found = entries.find(tag);
        if (found == entries.end() || (found->second.type != Long && found->second.type != Directory) ||
            found->second.count == 0)
            return false;
        return ByteCursor(found->second.value, bigEndian_).U32(offset);
    }

private:
    ByteSource& source_;
    bool bigEndian_;
};

} // namespace

std::optional<FileTime> ReadTiffDate(ByteSource& tiff)
{
    std::vector<std::byte> header;
    if (!ReadBlock(tiff, 0, HeaderSize, HeaderSize, header))
        return std::nullopt;
    const std::string_view order = AsText(std::span<const std::byte>(header).first(2));
    if (order != "II" && order != "MM")
        return std::nullopt;
    const bool bigEndian = order == "MM";
    ByteCursor cursor(header, bigEndian);
    std::uint16_t magic = 0;
    std::uint32_t firstDirectory = 0;
    if (!cursor.Skip(2) || !cursor.U16(magic) || !cursor.U32(firstDirectory) ||
        std::find(std::begin(TiffMagics), std::end(TiffMagics), magic) == std::end(TiffMagics))
        return std::nullopt;

    TiffReader reader(tiff, bigEndian);
    Entries first;
    if (!reader.ReadDirectory(firstDirectory, first))
        return std::nullopt;
    // The Exif directory's entries come first: some raws repeat Exif dates in the first directory.
    Entries entries;
    std::uint32_t exifDirectory = 0;
    if (reader.Pointer(first, ExifDirectory, exifDirectory))
        static_cast<void>(reader.ReadDirectory(exifDirectory, entries));
    entries.merge(first);

    for (const DateFields& fields : DateChoices) {
        const std::string date = reader.Text(entries, fields.date);
        if (date.empty())
            continue;
        if (const auto taken =
                ExifDateToFileTime(date, reader.Text(entries, fields.offset), reader.Text(entries, fields.subSeconds)))
            return taken;
    }
    return std::nullopt;
}

std::optional<FileTime> ReadExifBlockDate(std::span<const std::byte> block)
{
    MemoryByteSource tiff(WithoutExifPrefix(block));
    return ReadTiffDate(tiff);
}
