#include "engine/DropData.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

// DROPFILES: DWORD pFiles; POINT pt; BOOL fNC; BOOL fWide.
constexpr std::size_t DropFilesHeaderSize = 20;
constexpr std::size_t DropFilesWideOffset = 16;

template <class T> T ReadAt(std::span<const std::byte> block, std::size_t offset)
{
    T value{};
    std::memcpy(&value, block.data() + offset, sizeof(T));
    return value;
}

// Splits a zero-separated list ended by an empty entry; false when the end is not reached.
template <class Char> bool SplitZeroList(std::span<const std::byte> text, std::vector<std::basic_string<Char>>& entries)
{
    const std::size_t count = text.size() / sizeof(Char);
    std::basic_string<Char> current;
    for (std::size_t at = 0; at < count; ++at) {
        const auto c = ReadAt<Char>(text, at * sizeof(Char));
        if (c != Char{}) {
            current += c;
            continue;
        }
        if (current.empty())
            return true;
        entries.push_back(std::move(current));
        current.clear();
    }
    return false;
}

bool WidenAnsi(const std::string& text, std::wstring& wide)
{
    const int length =
        ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return false;
    wide.assign(static_cast<std::size_t>(length), L'\0');
    return ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), wide.data(),
                                 length) == length;
}

// The ID list at `offset`: its item IDs up to and including the terminating zero size.
bool IdListAt(std::span<const std::byte> block, std::size_t offset, std::span<const std::byte>& list,
              std::size_t& itemCount)
{
    itemCount = 0;
    std::size_t at = offset;
    for (;;) {
        if (at > block.size() || block.size() - at < sizeof(std::uint16_t))
            return false;
        const auto size = ReadAt<std::uint16_t>(block, at);
        if (size == 0)
            break;
        // The size counts its own field; anything shorter would never move on.
        if (size < sizeof(std::uint16_t) || block.size() - at < size)
            return false;
        at += size;
        ++itemCount;
    }
    list = block.subspan(offset, at + sizeof(std::uint16_t) - offset);
    return true;
}

} // namespace

bool ReadDropFiles(std::span<const std::byte> block, std::vector<std::wstring>& paths)
{
    if (block.size() < DropFilesHeaderSize)
        return false;
    const auto filesOffset = ReadAt<std::uint32_t>(block, 0);
    const bool wide = ReadAt<std::int32_t>(block, DropFilesWideOffset) != 0;
    if (filesOffset < DropFilesHeaderSize || filesOffset >= block.size())
        return false;
    const std::span<const std::byte> text = block.subspan(filesOffset);

    std::vector<std::wstring> read;
    if (wide) {
        if (!SplitZeroList<wchar_t>(text, read))
            return false;
    } else {
        std::vector<std::string> narrow;
        if (!SplitZeroList<char>(text, narrow))
            return false;
        for (const std::string& entry : narrow) {
            std::wstring path;
            if (!WidenAnsi(entry, path))
                return false;
            read.push_back(std::move(path));
        }
    }
    if (read.empty())
        return false;
    paths = std::move(read);
    return true;
}

bool ReadShellIdLists(std::span<const std::byte> block, ShellIdLists& lists)
{
    // CIDA: UINT cidl; UINT aoffset[cidl + 1], the parent's first.
    if (block.size() < sizeof(std::uint32_t))
        return false;
    const std::uint64_t count = ReadAt<std::uint32_t>(block, 0);
    const std::uint64_t tableEnd = (count + 2) * sizeof(std::uint32_t);
    if (count == 0 || tableEnd > block.size())
        return false;

    ShellIdLists read;
    for (std::uint64_t index = 0; index <= count; ++index) {
        const std::size_t offset = ReadAt<std::uint32_t>(block, static_cast<std::size_t>((index + 1) * 4));
        if (offset < tableEnd)
            return false;
        std::span<const std::byte> list;
        std::size_t itemIds = 0;
        if (!IdListAt(block, offset, list, itemIds))
            return false;
        if (index == 0) {
            read.parent = list;
            continue;
        }
        if (itemIds == 0)
            return false;
        read.items.push_back(list);
    }
    lists = std::move(read);
    return true;
}
