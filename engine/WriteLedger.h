#pragma once

#include "engine/FileTimeAccess.h"

#include <array>
#include <set>
#include <string>
#include <tuple>

// Which items one apply over several selected items has written, and which wait for their
// own turn in the selection, so that no item is written twice: not when it is selected twice
// (by the same path, or by two paths of one file, as a hard link or a path through a link to
// a folder gives), nor when it lies inside a selected folder that the walk reaches. Items are
// told apart by their file identity; an item whose file system tells none is known by its
// path, letter case aside.
class WriteLedger {
public:
    // A selected item whose own turn comes later: walks leave it alone.
    void Reserve(const FileIdentity& identity, const std::wstring& path);
    // Whether an item may be written now, by its own turn in the selection or by a walk that
    // reached it; when it may, it counts as written from now on.
    [[nodiscard]] bool Claim(const FileIdentity& identity, const std::wstring& path, bool ownTurn);

private:
    // Volume and identifier, or no identifier (a known one is never zero) and the path.
    using Key = std::tuple<ULONGLONG, std::array<BYTE, 16>, std::wstring>;
    static Key KeyOf(const FileIdentity& identity, const std::wstring& path);

    std::set<Key> reserved_;
    std::set<Key> written_;
};
