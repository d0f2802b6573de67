#include "engine/MediaDate.h"

#include "engine/ExifReader.h"
#include "engine/IsoMediaReader.h"
#include "engine/MediaBytes.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view PngSignature("\x89PNG\r\n\x1A\n", 8);
constexpr std::string_view ExifSignature("Exif\0", 5);

// Brands of the HEIF family (HEIC, AVIF and their sequences).
constexpr std::uint32_t HeifBrands[] = {
    FourCc("heic"), FourCc("heix"), FourCc("heim"), FourCc("heis"), FourCc("hevc"), FourCc("hevx"), FourCc("hevm"),
    FourCc("hevs"), FourCc("mif1"), FourCc("mif2"), FourCc("msf1"), FourCc("avif"), FourCc("avis"), FourCc("avio"),
};
// Top-level boxes a QuickTime movie without a file type box may start with.
constexpr std::uint32_t MovieStartBoxes[] = {FourCc("moov"), FourCc("mdat"), FourCc("free"),
                                             FourCc("skip"), FourCc("wide"), FourCc("pnot")};

bool IsHeifBrand(std::uint32_t brand)
{
    return std::find(std::begin(HeifBrands), std::end(HeifBrands), brand) != std::end(HeifBrands);
}

bool IsTiffSignature(std::string_view head)
{
    for (const std::string_view signature :
         {std::string_view("II*\0", 4), std::string_view("MM\0*", 4), std::string_view("IIRO", 4),
          std::string_view("IIRS", 4), std::string_view("MMOR", 4), std::string_view("IIU\0", 4)}) {
        if (head.starts_with(signature))
            return true;
    }
    return false;
}

MediaFormat DetectIsoMedia(std::span<const std::byte> head)
{
    ByteCursor cursor(head);
    std::uint32_t size = 0;
    std::uint32_t type = 0;
    if (!cursor.U32(size) || !cursor.U32(type))
        return MediaFormat::None;
    if (type != FourCc("ftyp")) {
        const bool movie =
            std::find(std::begin(MovieStartBoxes), std::end(MovieStartBoxes), type) != std::end(MovieStartBoxes);
        return movie ? MediaFormat::IsoMovie : MediaFormat::None;
    }
    // The major brand, the minor version, then compatible brands up to the box's end.
    std::uint32_t brand = 0;
    if (!cursor.U32(brand))
        return MediaFormat::None;
    bool heif = IsHeifBrand(brand);
    if (cursor.Skip(4)) {
        while (!heif && cursor.Position() + 4 <= size && cursor.U32(brand))
            heif = IsHeifBrand(brand);
    }
    return heif ? MediaFormat::Heif : MediaFormat::IsoMovie;
}

std::uint16_t BigEndian16(std::span<const std::byte> bytes)
{
    return static_cast<std::uint16_t>((std::to_integer<unsigned>(bytes[0]) << 8) | std::to_integer<unsigned>(bytes[1]));
}

// The segments before the image data, up to the first APP1 segment holding Exif.
std::optional<FileTime> ReadJpegDate(ByteSource& source, HeaderBudget& budget)
{
    std::uint64_t at = 2;
    std::vector<std::byte> header;
    while (budget.Take() && ReadBlock(source, at, 4, 4, header)) {
        if (header[0] != std::byte{0xFF})
            return std::nullopt;
        const auto marker = std::to_integer<unsigned>(header[1]);
        if (marker == 0xFF) { // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // the image data, or the end
            return std::nullopt;
        const std::uint16_t length = BigEndian16(std::span<const std::byte>(header).subspan(2));
        if (length < 2)
            return std::nullopt;
        if (marker == 0xE1) {
            std::vector<std::byte> payload;
            if (ReadBlock(source, at + 4, length - 2u, MaxMediaBlockBytes, payload) &&
                AsText(payload).starts_with(ExifSignature)) {
                if (const auto taken = ReadExifBlockDate(payload))
                    return taken;
            }
        }
        at += 2u + length;
    }
    return std::nullopt;
}

std::uint32_t Crc32(std::span<const std::byte> bytes, std::uint32_t crc = 0xFFFFFFFFu)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> entries{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    for (const std::byte b : bytes)
        crc = table[(crc ^ std::to_integer<std::uint32_t>(b)) & 0xFF] ^ (crc >> 8);
    return crc;
}

// The eXIf chunk, wherever it stands before the end; its checksum must be right.
std::optional<FileTime> ReadPngDate(ByteSource& source, HeaderBudget& budget)
{
    std::uint64_t at = PngSignature.size();
    std::vector<std::byte> header;
    while (budget.Take() && ReadBlock(source, at, 8, 8, header)) {
        ByteCursor cursor(header);
        std::uint32_t length = 0;
        std::uint32_t type = 0;
        if (!cursor.U32(length) || !cursor.U32(type) || length > 0x7FFFFFFFu || type == FourCc("IEND"))
            return std::nullopt;
        if (type == FourCc("eXIf")) {
            std::vector<std::byte> chunk;
            std::uint32_t stored = 0;
            if (!ReadBlock(source, at + 4, 4ull + length + 4, MaxMediaBlockBytes, chunk) ||
                !ByteCursor(std::span<const std::byte>(chunk).last(4)).U32(stored) ||
                (Crc32(std::span<const std::byte>(chunk).first(chunk.size() - 4)) ^ 0xFFFFFFFFu) != stored)
                return std::nullopt;
            return ReadExifBlockDate(std::span<const std::byte>(chunk).subspan(4, length));
        }
        at += 12ull + length;
    }
    return std::nullopt;
}

// The EXIF chunk of the RIFF container, which usually follows the image data.
std::optional<FileTime> ReadWebPDate(ByteSource& source, HeaderBudget& budget)
{
    std::vector<std::byte> header;
    if (!ReadBlock(source, 0, 12, 12, header))
        return std::nullopt;
    std::uint32_t riffSize = 0;
    ByteCursor riff(header, false);
    if (!riff.Skip(4) || !riff.U32(riffSize))
        return std::nullopt;
    const std::uint64_t end = std::min<std::uint64_t>(8ull + riffSize, source.Size());
    std::uint64_t at = 12;
    while (RangeFits(at, 8, end) && budget.Take() && ReadBlock(source, at, 8, 8, header)) {
        ByteCursor cursor(header, false);
        std::uint32_t size = 0;
        if (!cursor.Skip(4) || !cursor.U32(size))
            return std::nullopt;
        if (AsText(std::span<const std::byte>(header).first(4)) == "EXIF") {
            std::vector<std::byte> chunk;
            if (!RangeFits(at + 8, size, end) || !ReadBlock(source, at + 8, size, MaxMediaBlockBytes, chunk))
                return std::nullopt;
            return ReadExifBlockDate(chunk);
        }
        at += 8ull + size + (size & 1);
    }
    return std::nullopt;
}

} // namespace

MediaFormat DetectMediaFormat(std::span<const std::byte> head)
{
    const std::string_view text = AsText(head);
    if (text.starts_with("\xFF\xD8\xFF"))
        return MediaFormat::Jpeg;
    if (IsTiffSignature(text))
        return MediaFormat::Tiff;
    if (text.starts_with(PngSignature))
        return MediaFormat::Png;
    if (text.size() >= 12 && text.starts_with("RIFF") && text.substr(8, 4) == "WEBP")
        return MediaFormat::WebP;
    return DetectIsoMedia(head);
}

std::optional<FileTime> ReadDateTaken(ByteSource& source)
{
    std::vector<std::byte> head;
    if (!ReadBlock(source, 0, std::min<std::uint64_t>(source.Size(), MediaSignatureBytes), MediaSignatureBytes, head))
        return std::nullopt;
    HeaderBudget budget;
    switch (DetectMediaFormat(head)) {
    case MediaFormat::Jpeg:
        return ReadJpegDate(source, budget);
    case MediaFormat::Tiff:
        return ReadTiffDate(source);
    case MediaFormat::Png:
        return ReadPngDate(source, budget);
    case MediaFormat::WebP:
        return ReadWebPDate(source, budget);
    case MediaFormat::Heif:
        return ReadIsoMediaDate(source, IsoMediaKind::Image, budget);
    case MediaFormat::IsoMovie:
        return ReadIsoMediaDate(source, IsoMediaKind::Movie, budget);
    case MediaFormat::None:
        break;
    }
    return std::nullopt;
}
