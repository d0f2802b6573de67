#include "tests/support/MediaFiles.h"

#include <algorithm>
#include <cstring>

Bytes TextBytes(std::string_view text)
{
    Bytes bytes(text.size());
    if (!text.empty())
        std::memcpy(bytes.data(), text.data(), text.size());
    return bytes;
}

Bytes Concat(std::initializer_list<std::span<const std::byte>> parts)
{
    Bytes bytes;
    for (const auto part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

void AppendBig(Bytes& bytes, std::uint64_t value, int width)
{
    bytes.resize(bytes.size() + static_cast<std::size_t>(width));
    PutBig(bytes, bytes.size() - static_cast<std::size_t>(width), value, width);
}

void PutBig(Bytes& bytes, std::size_t at, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> (8 * (width - 1 - i)));
}

namespace {

void AppendLittle(Bytes& bytes, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes.push_back(static_cast<std::byte>(value >> (8 * i)));
}

Bytes BoxOfType(std::uint32_t type, std::span<const std::byte> payload)
{
    Bytes bytes;
    AppendBig(bytes, 8 + payload.size(), 4);
    AppendBig(bytes, type, 4);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

std::uint32_t TypeCode(std::string_view type)
{
    std::uint32_t code = 0;
    for (const char c : type)
        code = (code << 8) | static_cast<unsigned char>(c);
    return code;
}

} // namespace

TiffWriter& TiffWriter::Text(std::uint16_t tag, std::string_view text)
{
    Bytes value = TextBytes(text);
    value.push_back(std::byte{0});
    auto& directory = tag == TagDateTime ? first_ : exif_;
    directory.push_back(Field{tag, 2, static_cast<std::uint32_t>(value.size()), value, 0});
    return *this;
}

TiffWriter& TiffWriter::Raw(std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t value)
{
    first_.push_back(Field{tag, type, count, {}, value});
    return *this;
}

TiffWriter& TiffWriter::Signature(std::string_view fourBytes)
{
    signature_ = std::string(fourBytes);
    return *this;
}

TiffWriter& TiffWriter::DataBeforeDirectories(std::size_t size)
{
    dataBefore_ = size;
    return *this;
}

std::size_t TiffWriter::ExifDirectoryOffset() const
{
    return FirstDirectoryOffset() + 2 + 12 * (first_.size() + (exif_.empty() ? 0 : 1)) + 4;
}

void TiffWriter::Put(Bytes& bytes, std::size_t at, std::uint64_t value, int width) const
{
    for (int i = 0; i < width; ++i) {
        const int shift = 8 * (bigEndian_ ? width - 1 - i : i);
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::byte>(value >> shift);
    }
}

Bytes TiffWriter::Build() const
{
    std::vector<Field> first = first_;
    if (!exif_.empty())
        first.push_back(Field{TagExifDirectory, 4, 1, {}, static_cast<std::uint32_t>(ExifDirectoryOffset())});
    const auto byTag = [](const Field& a, const Field& b) { return a.tag < b.tag; };
    std::stable_sort(first.begin(), first.end(), byTag);
    std::vector<Field> exif = exif_;
    std::stable_sort(exif.begin(), exif.end(), byTag);

    const std::size_t valuesAt =
        exif.empty() ? ExifDirectoryOffset() : ExifDirectoryOffset() + 2 + 12 * exif.size() + 4;
    Bytes bytes(valuesAt, std::byte{0xAB});
    if (signature_.empty()) {
        bytes[0] = bytes[1] = static_cast<std::byte>(bigEndian_ ? 'M' : 'I');
        Put(bytes, 2, 42, 2);
    } else {
        std::memcpy(bytes.data(), signature_.data(), 4);
    }
    Put(bytes, 4, FirstDirectoryOffset(), 4);

    const auto writeDirectory = [&](std::size_t at, const std::vector<Field>& fields) {
        Put(bytes, at, fields.size(), 2);
        at += 2;
        for (const Field& field : fields) {
            Put(bytes, at, field.tag, 2);
            Put(bytes, at + 2, field.type, 2);
            Put(bytes, at + 4, field.count, 4);
            if (field.value.empty()) {
                Put(bytes, at + 8, field.raw, 4);
            } else if (field.value.size() <= 4) {
                std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(at + 8), 4, std::byte{0});
                std::copy(field.value.begin(), field.value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at + 8));
            } else {
                Put(bytes, at + 8, bytes.size(), 4);
                bytes.insert(bytes.end(), field.value.begin(), field.value.end());
                if (bytes.size() % 2 != 0)
                    bytes.push_back(std::byte{0});
            }
            at += 12;
        }
        Put(bytes, at, 0, 4);
    };
    writeDirectory(FirstDirectoryOffset(), first);
    if (!exif.empty())
        writeDirectory(ExifDirectoryOffset(), exif);
    return bytes;
}

JpegSegment ExifSegment(std::span<const std::byte> tiff)
{
    return JpegSegment{0xE1, Concat({TextBytes(std::string_view("Exif\0\0", 6)), tiff})};
}

Bytes Jpeg(const std::vector<JpegSegment>& segments)
{
    Bytes bytes = TextBytes("\xFF\xD8");
    const auto segment = [&](std::uint8_t marker, std::span<const std::byte> payload) {
        bytes.push_back(std::byte{0xFF});
        bytes.push_back(static_cast<std::byte>(marker));
        AppendBig(bytes, payload.size() + 2, 2);
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    };
    segment(0xE0, TextBytes(std::string_view("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14)));
    for (const JpegSegment& s : segments)
        segment(s.marker, s.payload);
    segment(0xDA, TextBytes(std::string_view("\x01\x01\0\0\x3F\0", 6)));
    const Bytes scan = TextBytes(std::string_view("\x12\x34\xFF\x00\x56", 5));
    bytes.insert(bytes.end(), scan.begin(), scan.end());
    bytes.push_back(std::byte{0xFF});
    bytes.push_back(std::byte{0xD9});
    return bytes;
}

std::uint32_t PngCrc(std::span<const std::byte> bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::byte b : bytes) {
        crc ^= std::to_integer<std::uint32_t>(b);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

Bytes Png(const std::vector<PngChunk>& chunks)
{
    Bytes bytes = TextBytes("\x89PNG\r\n\x1A\n");
    const auto chunk = [&](std::string_view type, std::span<const std::byte> data) {
        AppendBig(bytes, data.size(), 4);
        const Bytes typed = Concat({TextBytes(type), data});
        bytes.insert(bytes.end(), typed.begin(), typed.end());
        AppendBig(bytes, PngCrc(typed), 4);
    };
    chunk("IHDR", TextBytes(std::string_view("\0\0\0\x01\0\0\0\x01\x08\0\0\0\0", 13)));
    for (const PngChunk& c : chunks)
        chunk(c.type, c.data);
    chunk("IEND", {});
    return bytes;
}

Bytes WebP(const std::vector<RiffChunk>& chunks)
{
    Bytes body = TextBytes("WEBP");
    const auto chunk = [&](std::string_view fourCc, std::span<const std::byte> data) {
        const Bytes code = TextBytes(fourCc);
        body.insert(body.end(), code.begin(), code.end());
        AppendLittle(body, data.size(), 4);
        body.insert(body.end(), data.begin(), data.end());
        if (data.size() % 2 != 0)
            body.push_back(std::byte{0});
    };
    chunk("VP8X", TextBytes(std::string_view("\x08\0\0\0\0\0\0\0\0\0", 10)));
    for (const RiffChunk& c : chunks)
        chunk(c.fourCc, c.data);
    Bytes bytes = TextBytes("RIFF");
    AppendLittle(bytes, body.size(), 4);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

Bytes Box(std::string_view type, std::span<const std::byte> payload)
{
    return BoxOfType(TypeCode(type), payload);
}

Bytes FullBox(std::string_view type, std::uint8_t version, std::span<const std::byte> payload)
{
    Bytes body{static_cast<std::byte>(version), std::byte{0}, std::byte{0}, std::byte{0}};
    body.insert(body.end(), payload.begin(), payload.end());
    return Box(type, body);
}

Bytes FileType(std::string_view major, std::initializer_list<std::string_view> compatible)
{
    Bytes payload = TextBytes(major);
    AppendBig(payload, 0, 4);
    for (const std::string_view brand : compatible) {
        const Bytes code = TextBytes(brand);
        payload.insert(payload.end(), code.begin(), code.end());
    }
    return Box("ftyp", payload);
}

Bytes MovieHeader(std::uint64_t created, std::uint8_t version)
{
    Bytes payload;
    const int width = version == 1 ? 8 : 4;
    AppendBig(payload, created, width);
    AppendBig(payload, created + 60, width); // modified
    AppendBig(payload, 600, 4);              // time scale
    AppendBig(payload, 6000, width);         // duration
    payload.resize(payload.size() + 80);     // rate, volume, matrix, next track
    return FullBox("mvhd", version, payload);
}

Bytes QuickTimeMeta(const std::vector<std::pair<std::string, std::string>>& values, bool isoForm)
{
    Bytes handler(4);
    const Bytes mdta = TextBytes("mdta");
    handler.insert(handler.end(), mdta.begin(), mdta.end());
    handler.resize(handler.size() + 13);
    Bytes keys;
    AppendBig(keys, values.size(), 4);
    Bytes items;
    std::uint32_t index = 0;
    for (const auto& [key, text] : values) {
        AppendBig(keys, 8 + key.size(), 4);
        keys.insert(keys.end(), mdta.begin(), mdta.end());
        const Bytes name = TextBytes(key);
        keys.insert(keys.end(), name.begin(), name.end());
        Bytes data;
        AppendBig(data, 1, 4); // UTF-8
        AppendBig(data, 0, 4); // locale
        const Bytes value = TextBytes(text);
        data.insert(data.end(), value.begin(), value.end());
        const Bytes item = BoxOfType(++index, Box("data", data));
        items.insert(items.end(), item.begin(), item.end());
    }
    const Bytes children = Concat({FullBox("hdlr", 0, handler), FullBox("keys", 0, keys), Box("ilst", items)});
    return isoForm ? FullBox("meta", 0, children) : Box("meta", children);
}

namespace {

Bytes HeifMeta(std::size_t exifSize, std::size_t imageAt, std::size_t exifAt, const HeifOptions& options,
               std::span<const std::byte> exifItem)
{
    const std::uint8_t v = options.locationVersion;
    Bytes handler(4);
    const Bytes pict = TextBytes("pict");
    handler.insert(handler.end(), pict.begin(), pict.end());
    handler.resize(handler.size() + 13);

    Bytes primary;
    AppendBig(primary, 1, 2);

    Bytes information;
    AppendBig(information, 2, 2);
    for (const auto& [id, type] : {std::pair<int, std::string_view>{1, "hvc1"}, {2, "Exif"}}) {
        Bytes entry;
        AppendBig(entry, static_cast<std::uint64_t>(id), 2);
        AppendBig(entry, 0, 2);
        const Bytes code = TextBytes(type);
        entry.insert(entry.end(), code.begin(), code.end());
        entry.push_back(std::byte{0});
        const Bytes box = FullBox("infe", 2, entry);
        information.insert(information.end(), box.begin(), box.end());
    }

    Bytes locations{std::byte{0x44}, std::byte{0x00}};
    const int idWidth = v < 2 ? 2 : 4;
    AppendBig(locations, 2, idWidth);
    const auto item = [&](int id, int method, std::vector<std::pair<std::size_t, std::size_t>> extents) {
        AppendBig(locations, static_cast<std::uint64_t>(id), idWidth);
        if (v > 0)
            AppendBig(locations, static_cast<std::uint64_t>(method), 2);
        AppendBig(locations, 0, 2); // data reference
        AppendBig(locations, extents.size(), 2);
        for (const auto& [offset, length] : extents) {
            AppendBig(locations, offset, 4);
            AppendBig(locations, length, 4);
        }
    };
    item(1, 0, {{imageAt, 4}});
    const std::size_t first = options.split ? 10 : exifSize;
    std::vector<std::pair<std::size_t, std::size_t>> extents{{exifAt, first}};
    if (options.split)
        extents.emplace_back(exifAt + first, exifSize - first);
    item(2, options.inItemData ? 1 : 0, extents);

    Bytes children = Concat({FullBox("hdlr", 0, handler), FullBox("pitm", 0, primary), FullBox("iinf", 0, information),
                             FullBox("iloc", v, locations)});
    if (options.inItemData) {
        const Bytes data = Box("idat", exifItem);
        children.insert(children.end(), data.begin(), data.end());
    }
    return FullBox("meta", 0, children);
}

} // namespace

Bytes Heif(std::span<const std::byte> tiff, const HeifOptions& options)
{
    Bytes exifItem;
    AppendBig(exifItem, 6, 4);
    const Bytes prefix = TextBytes(std::string_view("Exif\0\0", 6));
    exifItem.insert(exifItem.end(), prefix.begin(), prefix.end());
    exifItem.insert(exifItem.end(), tiff.begin(), tiff.end());

    const Bytes fileType = FileType(options.brand, {"mif1", options.brand});
    const Bytes image = TextBytes("\x11\x22\x33\x44");
    // The meta box's size does not depend on the offsets it holds: lay it out once to learn it.
    const std::size_t metaSize = HeifMeta(exifItem.size(), 0, 0, options, exifItem).size();
    const std::size_t mediaAt = fileType.size() + metaSize + 8;
    const std::size_t exifAt = options.inItemData ? 0 : mediaAt + image.size();
    const Bytes meta = HeifMeta(exifItem.size(), mediaAt, exifAt, options, exifItem);
    const Bytes media = options.inItemData ? Box("mdat", image) : Box("mdat", Concat({image, exifItem}));
    return Concat({fileType, meta, media});
}

std::uint64_t SampleMoment()
{
    // 2021-06-07 06:09:10 UTC in 100-ns ticks since 1601, and half a second.
    return 132'675'197'500'000'000ull + 5'000'000ull;
}

std::vector<MediaSample> MediaSamples()
{
    const auto tiff = [](bool bigEndian) {
        return TiffWriter(bigEndian)
            .Text(TagDateTime, "2001:01:01 00:00:00")
            .Text(TagOriginal, "2021:06:07 08:09:10")
            .Text(TagOffsetOriginal, "+02:00")
            .Text(TagSubSecOriginal, "5")
            .Text(TagDigitized, "2011:01:01 00:00:00")
            .Build();
    };
    const Bytes little = tiff(false);
    const Bytes big = tiff(true);
    const Bytes movie =
        Concat({FileType("qt  ", {"qt  "}), Box("wide", {}), Box("mdat", TextBytes("frames")),
                Box("moov", Concat({MovieHeader(3'600'000'000ull, 0),
                                    QuickTimeMeta({{"com.apple.quicktime.make", "Apple"},
                                                   {"com.apple.quicktime.creationdate", "2021-06-07T08:09:10.5+0200"}},
                                                  false)}))});
    return {
        {"tiff-le", little},
        {"tiff-be", big},
        {"jpeg", Jpeg({ExifSegment(big)})},
        {"png", Png({{"eXIf", little}, {"IDAT", TextBytes("pixels")}})},
        {"webp", WebP({{"VP8 ", TextBytes("frame")}, {"EXIF", big}})},
        {"heif", Heif(little, HeifOptions{})},
        {"avif-idat", Heif(big, HeifOptions{"avif", 1, true, true})},
        {"mov", movie},
    };
}
