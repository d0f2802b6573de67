#include "engine/MediaBytes.h"

#include <cstring>

bool MemoryByteSource::ReadAt(std::uint64_t offset, std::span<std::byte> into)
{
    if (!RangeFits(offset, into.size(), bytes_.size()))
        return false;
    if (!into.empty())
        std::memcpy(into.data(), bytes_.data() + offset, into.size());
    return true;
}

bool ReadBlock(ByteSource& source, std::uint64_t offset, std::uint64_t length, std::uint64_t limit,
               std::vector<std::byte>& block)
{
    block.clear();
    if (length > limit || !RangeFits(offset, length, source.Size()))
        return false;
    block.resize(static_cast<std::size_t>(length));
    if (!source.ReadAt(offset, block)) {
        block.clear();
        return false;
    }
    return true;
}

bool ByteCursor::Seek(std::uint64_t position)
{
    if (position > bytes_.size())
        return false;
    position_ = static_cast<std::size_t>(position);
    return true;
}

bool ByteCursor::Skip(std::uint64_t count)
{
    if (count > Remaining())
        return false;
    position_ += static_cast<std::size_t>(count);
    return true;
}

bool ByteCursor::Unsigned(std::size_t width, std::uint64_t& value)
{
    if (width > 8 || width > Remaining())
        return false;
    value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const auto next = static_cast<std::uint64_t>(bytes_[position_ + (bigEndian_ ? i : width - 1 - i)]);
        value = (value << 8) | next;
    }
    position_ += width;
    return true;
}

bool ByteCursor::U8(std::uint8_t& value)
{
    std::uint64_t wide = 0;
    if (!Unsigned(1, wide))
        return false;
    value = static_cast<std::uint8_t>(wide);
    return true;
}

bool ByteCursor::U16(std::uint16_t& value)
{
    std::uint64_t wide = 0;
    if (!Unsigned(2, wide))
        return false;
    value = static_cast<std::uint16_t>(wide);
    return true;
}

bool ByteCursor::U32(std::uint32_t& value)
{
    std::uint64_t wide = 0;
    if (!Unsigned(4, wide))
        return false;
    value = static_cast<std::uint32_t>(wide);
    return true;
}

bool ByteCursor::U64(std::uint64_t& value)
{
    return Unsigned(8, value);
}

bool ByteCursor::Bytes(std::uint64_t count, std::span<const std::byte>& bytes)
{
    if (count > Remaining())
        return false;
    bytes = bytes_.subspan(position_, static_cast<std::size_t>(count));
    position_ += static_cast<std::size_t>(count);
    return true;
}

std::span<const std::byte> WithoutExifPrefix(std::span<const std::byte> block)
{
    constexpr std::string_view prefix("Exif\0", 5);
    if (block.size() >= 6 && AsText(block.first(5)) == prefix)
        return block.subspan(6);
    return block;
}
