#pragma once

#include "engine/MediaDate.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// What the media readers share: checked reads from a source and from memory.

// A four-character code as the formats store it (first character in the highest byte).
constexpr std::uint32_t FourCc(const char (&code)[5])
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
}

// True when [offset, offset + length) lies inside `size`, without overflow.
constexpr bool RangeFits(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

// `length` bytes at `offset`; false, with `block` empty, when they do not lie inside the
// source, are more than `limit`, or cannot be read.
[[nodiscard]] bool ReadBlock(ByteSource& source, std::uint64_t offset, std::uint64_t length, std::uint64_t limit,
                             std::vector<std::byte>& block);

// A cursor over bytes in memory in one byte order; every read checks what is left.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::byte> bytes, bool bigEndian = true) : bytes_(bytes), bigEndian_(bigEndian)
    {
    }

    [[nodiscard]] std::size_t Position() const { return position_; }
    [[nodiscard]] std::size_t Remaining() const { return bytes_.size() - position_; }

    [[nodiscard]] bool Seek(std::uint64_t position);
    [[nodiscard]] bool Skip(std::uint64_t count);
    // An unsigned number of `width` bytes (0 reads as zero; 1, 2, 4 or 8).
    [[nodiscard]] bool Unsigned(std::size_t width, std::uint64_t& value);
    [[nodiscard]] bool U8(std::uint8_t& value);
    [[nodiscard]] bool U16(std::uint16_t& value);
    [[nodiscard]] bool U32(std::uint32_t& value);
    [[nodiscard]] bool U64(std::uint64_t& value);
    [[nodiscard]] bool Bytes(std::uint64_t count, std::span<const std::byte>& bytes);

private:
    std::span<const std::byte> bytes_;
    std::size_t position_ = 0;
    bool bigEndian_;
};

// Bytes as text, for comparing signatures and reading dates.
inline std::string_view AsText(std::span<const std::byte> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The Exif block of a JPEG starts with "Exif\0" and a pad byte; others sometimes copy it.
// The TIFF data after that prefix, or the bytes as they are without it.
std::span<const std::byte> WithoutExifPrefix(std::span<const std::byte> block);

// Counts the headers a reader may still read from one file.
class HeaderBudget {
public:
    [[nodiscard]] bool Take()
    {
        if (left_ == 0)
            return false;
        --left_;
        return true;
    }

private:
    int left_ = MaxMediaHeaders;
};
