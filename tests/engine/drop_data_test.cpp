#include "engine/DropData.h"

#include "tests/engine/GuardedBlock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::byte>;

template <class T> void Append(Bytes& bytes, T value)
{
    const std::size_t at = bytes.size();
    bytes.resize(at + sizeof(T));
    std::memcpy(bytes.data() + at, &value, sizeof(T));
}

template <class T> void Put(Bytes& bytes, std::size_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

Bytes DropFilesHeader(std::uint32_t filesOffset, bool wide)
{
    Bytes bytes;
    Append<std::uint32_t>(bytes, filesOffset);
    Append<std::int32_t>(bytes, 10); // pt
    Append<std::int32_t>(bytes, 20);
    Append<std::int32_t>(bytes, 0); // fNC
    Append<std::int32_t>(bytes, wide ? 1 : 0);
    return bytes;
}

Bytes WideDropFiles(const std::vector<std::wstring>& paths)
{
    Bytes bytes = DropFilesHeader(20, true);
    for (const std::wstring& path : paths) {
        for (const wchar_t c : path)
            Append<wchar_t>(bytes, c);
        Append<wchar_t>(bytes, L'\0');
    }
    Append<wchar_t>(bytes, L'\0');
    return bytes;
}

bool Read(const Bytes& bytes, std::vector<std::wstring>& paths)
{
    const GuardedBlock block(bytes);
    return ReadDropFiles(block.span(), paths);
}

const std::vector<std::wstring> ThreePaths{L"C:\\a\\report.txt", L"C:\\a\\folder", L"D:\\\x65e5\x672c.txt"};

TEST(ReadDropFiles, ReadsWideAndAnsiListsAndPathsAfterAGap)
{
    std::vector<std::wstring> paths;
    ASSERT_TRUE(Read(WideDropFiles(ThreePaths), paths));
    EXPECT_EQ(paths, ThreePaths);

    Bytes ansi = DropFilesHeader(20, false);
    for (const char* path : {"C:\\x.txt", "C:\\y"}) {
        ansi.insert(ansi.end(), reinterpret_cast<const std::byte*>(path),
                    reinterpret_cast<const std::byte*>(path) + std::strlen(path) + 1);
    }
    ansi.push_back(std::byte{0});
    ASSERT_TRUE(Read(ansi, paths));
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"C:\\x.txt", L"C:\\y"}));

    // The paths may start further on than the header's end; bytes after the list are ignored.
    Bytes gap = WideDropFiles({L"C:\\z"});
    gap.insert(gap.begin() + 20, 6, std::byte{0x7F});
    Put<std::uint32_t>(gap, 0, 26);
    gap.insert(gap.end(), 3, std::byte{0x41});
    ASSERT_TRUE(Read(gap, paths));
    EXPECT_EQ(paths, std::vector<std::wstring>{L"C:\\z"});
}

TEST(ReadDropFiles, RefusesEveryTruncationOfAValidBlock)
{
    const Bytes whole = WideDropFiles(ThreePaths);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        std::vector<std::wstring> paths{L"unchanged"};
        EXPECT_FALSE(Read(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)), paths)) << size;
        EXPECT_EQ(paths, std::vector<std::wstring>{L"unchanged"}) << size;
    }
}

TEST(ReadDropFiles, RefusesBadOffsetsEmptyListsAndOddTails)
{
    std::vector<std::wstring> paths;
    for (const std::uint32_t offset : {0u, 19u, 40u, 1000u, 0xFFFFFFFFu}) {
        Bytes bytes = WideDropFiles({L"C:\\a"});
        Put<std::uint32_t>(bytes, 0, offset);
        EXPECT_FALSE(Read(bytes, paths)) << offset;
    }
    // Only the list's end: no path at all.
    EXPECT_FALSE(Read(WideDropFiles({}), paths));
    EXPECT_FALSE(Read(DropFilesHeader(20, true), paths));
    // One path ended, the list not: then a single odd byte where the last zero should be.
    Bytes open = WideDropFiles({L"C:\\a"});
    open.pop_back();
    EXPECT_FALSE(Read(open, paths));
    open.pop_back();
    EXPECT_FALSE(Read(open, paths));
    // A path of characters without any zero up to the block's end.
    Bytes endless = DropFilesHeader(20, true);
    endless.insert(endless.end(), 4097, std::byte{0x41});
    EXPECT_FALSE(Read(endless, paths));
}

// CIDA blocks: offsets are written after the lists are laid out.
struct IdList {
    std::vector<std::vector<std::byte>> itemIds; // each without its size field
};

Bytes Cida(const std::vector<IdList>& lists)
{
    Bytes bytes;
    Append<std::uint32_t>(bytes, static_cast<std::uint32_t>(lists.size() - 1));
    for (std::size_t i = 0; i < lists.size(); ++i)
        Append<std::uint32_t>(bytes, 0);
    for (std::size_t i = 0; i < lists.size(); ++i) {
        Put<std::uint32_t>(bytes, 4 + i * 4, static_cast<std::uint32_t>(bytes.size()));
        for (const auto& id : lists[i].itemIds) {
            Append<std::uint16_t>(bytes, static_cast<std::uint16_t>(id.size() + 2));
            bytes.insert(bytes.end(), id.begin(), id.end());
        }
        Append<std::uint16_t>(bytes, 0);
    }
    return bytes;
}

std::vector<std::byte> Id(std::size_t size, int fill)
{
    return std::vector<std::byte>(size, static_cast<std::byte>(fill));
}

const std::vector<IdList> DesktopAndTwoItems{{}, {{Id(5, 1)}}, {{Id(3, 2), Id(8, 3)}}};

bool Read(const Bytes& bytes, ShellIdLists& lists)
{
    const GuardedBlock block(bytes);
    return ReadShellIdLists(block.span(), lists);
}

TEST(ReadShellIdLists, GivesTheParentAndEachItemWithItsTerminator)
{
    const Bytes bytes = Cida(DesktopAndTwoItems);
    const GuardedBlock block(bytes);
    ShellIdLists lists;
    ASSERT_TRUE(ReadShellIdLists(block.span(), lists));
    EXPECT_EQ(lists.parent.size(), 2u);
    EXPECT_EQ(lists.parent.data(), block.span().data() + 16);
    ASSERT_EQ(lists.items.size(), 2u);
    EXPECT_EQ(lists.items[0].size(), 7u + 2u);
    EXPECT_EQ(lists.items[1].size(), 5u + 10u + 2u);
    EXPECT_EQ(lists.items[1].data() + lists.items[1].size(), block.span().data() + block.span().size());

    // Two items may share one list.
    Bytes shared = bytes;
    Put<std::uint32_t>(shared, 12, 18);
    ASSERT_TRUE(Read(shared, lists));
    EXPECT_EQ(lists.items[0].data(), lists.items[1].data());
}

TEST(ReadShellIdLists, RefusesEveryTruncationOfAValidBlock)
{
    const Bytes whole = Cida(DesktopAndTwoItems);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        ShellIdLists lists;
        lists.items.resize(7);
        EXPECT_FALSE(Read(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)), lists)) << size;
        EXPECT_EQ(lists.items.size(), 7u) << size;
    }
}

TEST(ReadShellIdLists, RefusesBadCountsOffsetsAndItemSizes)
{
    ShellIdLists lists;
    const Bytes valid = Cida(DesktopAndTwoItems);
    for (const std::uint32_t count : {0u, 3u, 0x3FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes bytes = valid;
        Put<std::uint32_t>(bytes, 0, count);
        EXPECT_FALSE(Read(bytes, lists)) << count;
    }
    // Offsets into the table itself, to the last byte, past the end.
    for (const std::uint32_t offset : {0u, 4u, 15u, static_cast<std::uint32_t>(valid.size() - 1),
                                       static_cast<std::uint32_t>(valid.size()), 0xFFFFFFF0u}) {
        Bytes bytes = valid;
        Put<std::uint32_t>(bytes, 8, offset);
        EXPECT_FALSE(Read(bytes, lists)) << offset;
    }
    // An item ID whose size is 0 or 1 (1 would never advance) or runs past the end.
    for (const std::uint16_t size : {std::uint16_t{1}, std::uint16_t{200}, std::uint16_t{0xFFFF}}) {
        Bytes bytes = valid;
        Put<std::uint16_t>(bytes, 18, size);
        EXPECT_FALSE(Read(bytes, lists)) << size;
    }
    // An item whose list is empty names the parent, not an item.
    EXPECT_FALSE(Read(Cida({{}, {}}), lists));
    EXPECT_FALSE(Read(Bytes{}, lists));
}

TEST(DropDataReaders, SurviveEveryByteOfAValidBlockChanged)
{
    // Each byte set to each of a few telling values: the readers may accept or refuse, but
    // whatever they give lies inside the block.
    const Bytes drop = WideDropFiles(ThreePaths);
    const Bytes cida = Cida(DesktopAndTwoItems);
    for (const int value : {0x00, 0x01, 0x02, 0x7F, 0xFF}) {
        for (std::size_t at = 0; at < drop.size(); ++at) {
            Bytes bytes = drop;
            bytes[at] = static_cast<std::byte>(value);
            std::vector<std::wstring> paths;
            if (Read(bytes, paths)) {
                EXPECT_FALSE(paths.empty());
            }
        }
        for (std::size_t at = 0; at < cida.size(); ++at) {
            Bytes bytes = cida;
            bytes[at] = static_cast<std::byte>(value);
            const GuardedBlock block(bytes);
            ShellIdLists lists;
            if (!ReadShellIdLists(block.span(), lists))
                continue;
            const std::byte* begin = block.span().data();
            const std::byte* end = begin + block.span().size();
            EXPECT_GE(lists.parent.data(), begin);
            EXPECT_LE(lists.parent.data() + lists.parent.size(), end);
            for (const auto& item : lists.items) {
                EXPECT_GE(item.data(), begin);
                EXPECT_LE(item.data() + item.size(), end);
                EXPECT_GE(item.size(), 4u);
            }
        }
    }
}

} // namespace
