#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// Readers of the two formats in which the shell hands over a selection of items, taking the
// block's bytes as they came (the block's size, not the structure's word, is the limit).
// They trust nothing in the block: every count, offset and terminator must lie inside it.

// CF_HDROP: a DROPFILES header, then the paths (wide or in the ANSI code page, as its fWide
// says) each ended by a zero, the list ended by one more zero. False, with `paths` unchanged,
// for a header or list that does not fit, a list that is not ended inside the block, or a
// list without a path.
[[nodiscard]] bool ReadDropFiles(std::span<const std::byte> block, std::vector<std::wstring>& paths);

// The shell ID list format (CFSTR_SHELLIDLIST): a CIDA with the count of items, then the
// offsets of the parent folder's ID list and of each item's ID list relative to it.
struct ShellIdLists {
    std::span<const std::byte> parent;             // an ID list with its terminating zero; may be empty
    std::vector<std::span<const std::byte>> items; // each holds at least one item ID
};

// False, with `lists` unchanged, for no items, an offset table or ID list that does not fit,
// an item ID shorter than its own size field, or an item without an ID.
[[nodiscard]] bool ReadShellIdLists(std::span<const std::byte> block, ShellIdLists& lists);
