#include "engine/IsoMediaReader.h"

#include "engine/ExifReader.h"
#include "engine/MediaDateText.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view CreationDateKey = "com.apple.quicktime.creationdate";
constexpr std::uint32_t Utf8Text = 1; // the well-known type of a QuickTime data box
// A creation date's text with fraction and zone is well below this.
constexpr std::uint64_t MaxDateTextBytes = 64;
// Extents of all items in an item location table, however few bytes each takes.
constexpr std::uint64_t MaxLocationExtents = 65536;

struct Box {
    std::uint32_t type = 0;
    std::uint64_t payload = 0; // where the box's contents start
    std::uint64_t end = 0;
};

// The box starting at `at`, which must end by `end`. A size of zero runs to `end`; a size of
// one is followed by a 64-bit size. False for a header or size that does not fit.
bool ReadBoxAt(ByteSource& source, std::uint64_t at, std::uint64_t end, Box& box)
{
    std::vector<std::byte> header;
    if (!RangeFits(at, 8, end) || !ReadBlock(source, at, 8, 8, header))
        return false;
    ByteCursor cursor(header);
    std::uint32_t size32 = 0;
    if (!cursor.U32(size32) || !cursor.U32(box.type))
        return false;
    std::uint64_t headerSize = 8;
    std::uint64_t size = size32;
    if (size32 == 1) {
        std::vector<std::byte> large;
        if (!RangeFits(at + 8, 8, end) || !ReadBlock(source, at + 8, 8, 8, large) || !ByteCursor(large).U64(size))
            return false;
        headerSize = 16;
    } else if (size32 == 0) {
        size = end - at;
    }
    if (box.type == FourCc("uuid"))
        headerSize += 16;
    if (size < headerSize || !RangeFits(at, size, end))
        return false;
    box.payload = at + headerSize;
    box.end = at + size;
    return true;
}

// Calls `visit` with each box in [begin, end) until it returns true; true when it did. Every
// box moves forward by at least its header, and each header counts against the budget.
template <class Visit>
bool ForEachBox(ByteSource& source, HeaderBudget& budget, std::uint64_t begin, std::uint64_t end, Visit visit)
{
    for (std::uint64_t at = begin; at < end;) {
        Box box;
        if (!budget.Take() || !ReadBoxAt(source, at, end, box))
            return false;
        if (visit(box))
            return true;
        at = box.end;
    }
    return false;
}

bool FindBox(ByteSource& source, HeaderBudget& budget, std::uint64_t begin, std::uint64_t end, std::uint32_t type,
             Box& found)
{
    return ForEachBox(source, budget, begin, end, [&](const Box& box) {
        if (box.type != type)
            return false;
        found = box;
        return true;
    });
}

// Where a meta box's children start: after the version and flags in the ISO form, at once in
// QuickTime's form (whose first child's size is never zero).
bool MetaChildren(ByteSource& source, const Box& meta, std::uint64_t& begin)
{
    std::vector<std::byte> first;
    std::uint32_t word = 0;
    if (!ReadBlock(source, meta.payload, 4, 4, first) || !ByteCursor(first).U32(word))
        return false;
    begin = word == 0 ? meta.payload + 4 : meta.payload;
    return begin <= meta.end;
}

bool ReadPayload(ByteSource& source, const Box& box, std::vector<std::byte>& payload)
{
    return ReadBlock(source, box.payload, box.end - box.payload, MaxMediaBlockBytes, payload);
}

std::optional<FileTime> ReadMovieHeader(ByteSource& source, const Box& mvhd)
{
    std::vector<std::byte> payload;
    if (!ReadBlock(source, mvhd.payload, std::min<std::uint64_t>(mvhd.end - mvhd.payload, 12), 12, payload))
        return std::nullopt;
    ByteCursor cursor(payload);
    std::uint8_t version = 0;
    std::uint64_t created = 0;
    if (!cursor.U8(version) || !cursor.Skip(3) || !cursor.Unsigned(version == 1 ? 8 : 4, created))
        return std::nullopt;
    return MovieSecondsToFileTime(created);
}

// The 1-based index of the creation-date key in a key list; 0 when it has none.
std::uint32_t CreationDateKeyIndex(std::span<const std::byte> keys)
{
    ByteCursor cursor(keys);
    std::uint32_t count = 0;
    if (!cursor.Skip(4) || !cursor.U32(count))
        return 0;
    for (std::uint32_t index = 1; index <= count; ++index) {
        std::uint32_t size = 0;
        std::uint32_t space = 0;
        std::span<const std::byte> name;
        if (!cursor.U32(size) || size < 8 || !cursor.U32(space) || !cursor.Bytes(size - 8, name))
            return 0;
        if (space == FourCc("mdta") && AsText(name) == CreationDateKey)
            return index;
    }
    return 0;
}

// The text of an item's data box, when it is UTF-8.
std::optional<FileTime> ReadDateItem(ByteSource& source, HeaderBudget& budget, const Box& item)
{
    Box data;
    if (!FindBox(source, budget, item.payload, item.end, FourCc("data"), data))
        return std::nullopt;
    std::vector<std::byte> payload;
    if (!ReadBlock(source, data.payload, data.end - data.payload, 8 + MaxDateTextBytes, payload))
        return std::nullopt;
    ByteCursor cursor(payload);
    std::uint32_t type = 0;
    if (!cursor.U32(type) || (type & 0xFFFFFF) != Utf8Text || !cursor.Skip(4))
        return std::nullopt;
    std::span<const std::byte> text;
    if (!cursor.Bytes(cursor.Remaining(), text))
        return std::nullopt;
    return IsoDateToFileTime(AsText(text));
}

// The QuickTime creation date of a meta box: the key list names it, the item list holds it
// under the key's index.
std::optional<FileTime> ReadCreationDate(ByteSource& source, HeaderBudget& budget, const Box& meta)
{
    std::uint64_t begin = 0;
    Box keys;
    Box items;
    if (!MetaChildren(source, meta, begin) || !FindBox(source, budget, begin, meta.end, FourCc("keys"), keys) ||
        !FindBox(source, budget, begin, meta.end, FourCc("ilst"), items))
        return std::nullopt;
    std::vector<std::byte> keyList;
    if (!ReadPayload(source, keys, keyList))
        return std::nullopt;
    const std::uint32_t index = CreationDateKeyIndex(keyList);
    Box item;
    if (index == 0 || !FindBox(source, budget, items.payload, items.end, index, item))
        return std::nullopt;
    return ReadDateItem(source, budget, item);
}

std::optional<FileTime> ReadMovieDate(ByteSource& source, HeaderBudget& budget)
{
    Box movie;
    if (!FindBox(source, budget, 0, source.Size(), FourCc("moov"), movie))
        return std::nullopt;
    std::optional<FileTime> header;
    std::optional<FileTime> keyed;
    ForEachBox(source, budget, movie.payload, movie.end, [&](const Box& box) {
        if (box.type == FourCc("mvhd") && !header) {
            header = ReadMovieHeader(source, box);
        } else if (box.type == FourCc("meta")) {
            keyed = ReadCreationDate(source, budget, box);
        } else if (box.type == FourCc("udta")) {
            Box meta;
            if (FindBox(source, budget, box.payload, box.end, FourCc("meta"), meta))
                keyed = ReadCreationDate(source, budget, meta);
        }
        return keyed.has_value();
    });
    return keyed ? keyed : header;
}

// The item ID of the first item of type Exif in an item information box's payload.
bool FindExifItem(std::span<const std::byte> information, HeaderBudget& budget, std::uint32_t& itemId)
{
    ByteCursor cursor(information);
    std::uint8_t version = 0;
    if (!cursor.U8(version) || !cursor.Skip(3) || !cursor.Skip(version == 0 ? 2 : 4))
        return false;
    MemoryByteSource entries(information);
    return ForEachBox(entries, budget, cursor.Position(), information.size(), [&](const Box& box) {
        std::vector<std::byte> payload;
        if (box.type != FourCc("infe") || !ReadBlock(entries, box.payload, box.end - box.payload, box.end, payload))
            return false;
        ByteCursor entry(payload);
        std::uint8_t entryVersion = 0;
        std::uint64_t id = 0;
        std::uint32_t type = 0;
        if (!entry.U8(entryVersion) || entryVersion < 2 || !entry.Skip(3) ||
            !entry.Unsigned(entryVersion == 2 ? 2 : 4, id) || !entry.Skip(2) || !entry.U32(type) ||
            type != FourCc("Exif"))
            return false;
        itemId = static_cast<std::uint32_t>(id);
        return true;
    });
}

struct Extent {
    std::uint64_t offset = 0;
    std::uint64_t length = 0; // zero: to the end of the data it lies in
};

struct ItemLocation {
    int construction = 0; // 0: in the file; 1: in the meta box's item data
    std::vector<Extent> extents;
};

// The location of `itemId` in an item location box's payload.
bool FindItemLocation(std::span<const std::byte> locations, std::uint32_t itemId, ItemLocation& location)
{
    ByteCursor cursor(locations);
    std::uint8_t version = 0;
    std::uint8_t sizes = 0;
    std::uint8_t moreSizes = 0;
    if (!cursor.U8(version) || version > 2 || !cursor.Skip(3) || !cursor.U8(sizes) || !cursor.U8(moreSizes))
        return false;
    const std::size_t offsetSize = sizes >> 4;
    const std::size_t lengthSize = sizes & 15;
    const std::size_t baseSize = moreSizes >> 4;
    const std::size_t indexSize = version == 0 ? 0 : moreSizes & 15;
    std::uint64_t itemCount = 0;
    if (!cursor.Unsigned(version < 2 ? 2 : 4, itemCount))
        return false;
    std::uint64_t extentsSeen = 0;
    for (std::uint64_t item = 0; item < itemCount; ++item) {
        std::uint64_t id = 0;
        std::uint16_t method = 0;
        std::uint64_t base = 0;
        std::uint16_t extentCount = 0;
        if (!cursor.Unsigned(version < 2 ? 2 : 4, id) || (version > 0 && !cursor.U16(method)) || !cursor.Skip(2) ||
            !cursor.Unsigned(baseSize, base) || !cursor.U16(extentCount))
            return false;
        // Fields of size zero take no bytes: the count alone must not make the work endless.
        extentsSeen += extentCount;
        if (extentsSeen > MaxLocationExtents)
            return false;
        ItemLocation read{method & 15, {}};
        for (std::uint16_t index = 0; index < extentCount; ++index) {
            Extent extent;
            std::uint64_t ignored = 0;
            if (!cursor.Unsigned(indexSize, ignored) || !cursor.Unsigned(offsetSize, extent.offset) ||
                !cursor.Unsigned(lengthSize, extent.length) || extent.offset > UINT64_MAX - base)
                return false;
            extent.offset += base;
            read.extents.push_back(extent);
        }
        if (id == itemId) {
            location = std::move(read);
            return true;
        }
    }
    return false;
}

// The item's bytes, its extents one after the other, from the file or from the item data box.
bool ReadItem(ByteSource& source, const ItemLocation& location, const Box* itemData, std::vector<std::byte>& bytes)
{
    std::uint64_t begin = 0;
    std::uint64_t end = source.Size();
    if (location.construction == 1) {
        if (itemData == nullptr)
            return false;
        begin = itemData->payload;
        end = itemData->end;
    } else if (location.construction != 0) {
        return false;
    }
    bytes.clear();
    for (const Extent& extent : location.extents) {
        if (extent.offset > end - begin)
            return false;
        const std::uint64_t start = begin + extent.offset;
        const std::uint64_t length = extent.length == 0 ? end - start : extent.length;
        std::vector<std::byte> part;
        if (!RangeFits(start, length, end) ||
            !ReadBlock(source, start, length, MaxMediaBlockBytes - bytes.size(), part))
            return false;
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return !bytes.empty();
}

// An Exif item starts with the offset of its TIFF header from the end of that field.
std::optional<FileTime> ReadExifItem(std::span<const std::byte> item)
{
    ByteCursor cursor(item);
    std::uint32_t headerOffset = 0;
    if (!cursor.U32(headerOffset) || !cursor.Skip(headerOffset))
        return std::nullopt;
    return ReadExifBlockDate(item.subspan(cursor.Position()));
}

std::optional<FileTime> ReadImageDate(ByteSource& source, HeaderBudget& budget)
{
    Box meta;
    std::uint64_t begin = 0;
    if (!FindBox(source, budget, 0, source.Size(), FourCc("meta"), meta) || !MetaChildren(source, meta, begin))
        return std::nullopt;
    Box information;
    Box locations;
    Box itemData;
    bool hasItemData = false;
    ForEachBox(source, budget, begin, meta.end, [&](const Box& box) {
        if (box.type == FourCc("iinf"))
            information = box;
        else if (box.type == FourCc("iloc"))
            locations = box;
        else if (box.type == FourCc("idat") && !hasItemData) {
            itemData = box;
            hasItemData = true;
        }
        return false;
    });
    std::vector<std::byte> informationBytes;
    std::vector<std::byte> locationBytes;
    std::uint32_t itemId = 0;
    ItemLocation location;
    std::vector<std::byte> item;
    if (information.type == 0 || locations.type == 0 || !ReadPayload(source, information, informationBytes) ||
        !FindExifItem(informationBytes, budget, itemId) || !ReadPayload(source, locations, locationBytes) ||
        !FindItemLocation(locationBytes, itemId, location) ||
        !ReadItem(source, location, hasItemData ? &itemData : nullptr, item))
        return std::nullopt;
    return ReadExifItem(item);
}

} // namespace

std::optional<FileTime> ReadIsoMediaDate(ByteSource& source, IsoMediaKind kind, HeaderBudget& budget)
{
    if (kind == IsoMediaKind::Image) {
        if (const auto taken = ReadImageDate(source, budget))
            return taken;
        return ReadMovieDate(source, budget);
    }
    if (const auto taken = ReadMovieDate(source, budget))
        return taken;
    return ReadImageDate(source, budget);
}
