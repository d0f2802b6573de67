#pragma once

#include "engine/FileTime.h"

#include "platform/Handles.h"

#include <windows.h>

#include <array>
#include <functional>

// What tells two paths to the same item apart from different items: the volume serial and
// the 128-bit file identifier (the 64-bit index alone is not unique on ReFS). Some file
// systems and redirectors report no identifier (zero): such an identity is unknown and
// matches nothing, not even itself.
struct FileIdentity {
    ULONGLONG volume = 0;
    std::array<BYTE, 16> id = {};

    [[nodiscard]] bool Known() const noexcept { return id != std::array<BYTE, 16>{}; }
    // Two identities that are both known and equal.
    [[nodiscard]] bool SameItemAs(const FileIdentity& other) const noexcept { return Known() && *this == other; }
    bool operator==(const FileIdentity&) const = default;
};

// Paths are full paths in their ordinary form; each call opens the item's extended-length
// form (platform/ItemPath.h), so the name is taken as written, at any length.

// Reads whichever of the three times the caller asks for (null outputs are skipped).
// False on failure, with the cause in GetLastError.
[[nodiscard]] bool ReadFileTimes(const wchar_t* path, FileTime* creation, FileTime* lastAccess, FileTime* lastWrite);
[[nodiscard]] bool ReadFileTimes(const wchar_t* path, FileTimes& times);

// Writes all three times; an InvalidFileTime leaves that time of the item as it was.
// False on failure, with the cause in GetLastError.
[[nodiscard]] bool WriteFileTimes(const wchar_t* path, const FileTimes& times);

// Given an item's times as just read, the times to write: InvalidFileTime for every kind to
// leave as it is.
using TimesChange = std::function<FileTimes(const FileTimes& current)>;

// Opens the item once, reads its times, writes what change makes of them (nothing when it
// changes no kind) and gives the times the item then holds. False on failure, with the cause
// in GetLastError.
[[nodiscard]] bool ChangeFileTimes(const wchar_t* path, const TimesChange& change, FileTimes& stored);

// Opens an item for its times with `access` (attribute access for the times; read access
// besides for a change that reads its data), sharing every access, as ChangeFileTimes does.
[[nodiscard]] FileHandle OpenForTimes(const wchar_t* path, DWORD access);

// The three times of an open item; false on failure, with the cause in GetLastError.
[[nodiscard]] bool ReadOpenTimes(HANDLE item, FileTimes& times);

// The end of ChangeFileTimes on an item opened for its times, whose times were `current`:
// writes `wanted` (nothing when it changes no kind), gives the times the item then holds and
// closes it. False on failure, with the cause in GetLastError.
[[nodiscard]] bool StoreTimesAndClose(FileHandle& item, const FileTimes& current, const FileTimes& wanted,
                                      FileTimes& stored);

// The identity of an open item; false (with the cause) when the file system cannot tell it.
[[nodiscard]] bool ReadIdentity(HANDLE item, FileIdentity& identity);
