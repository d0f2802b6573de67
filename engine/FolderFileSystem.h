#pragma once

#include "engine/DatedFileTimes.h"
#include "engine/FileTimeAccess.h"
#include "engine/KeptFileTimes.h"

#include <array>
#include <memory>
#include <string>

// An entry's file identifier as its folder's listing reports it (for "." the folder's own).
// Comparable only with other listed identifiers: for a link the listing may report the link
// rather than its target, and it names no volume.
struct ListedFileId {
    bool known = false;
    std::array<BYTE, 16> id = {};

    bool operator==(const ListedFileId&) const = default;
};

// One open listing of a folder's entries, in the order the file system gives them.
class FolderListing {
public:
    virtual ~FolderListing() = default;
    // The next entry and its listed identifier (not known where the file system gives none);
    // false at the end of the listing, with ERROR_NO_MORE_FILES in GetLastError, or when the
    // listing fails, with another cause there.
    [[nodiscard]] virtual bool Next(WIN32_FIND_DATAW& entry, ListedFileId& id) = 0;
};

// What the folder walk needs of the file system. Paths are full paths in their ordinary
// form, of any length; every call fails with the cause in GetLastError.
class FolderFileSystem {
public:
    virtual ~FolderFileSystem() = default;
    // Starts listing a folder's entries; null when the folder cannot be listed.
    [[nodiscard]] virtual std::unique_ptr<FolderListing> List(const std::wstring& folder) = 0;
    // Reads an item's times, writes what change makes of them and gives the stored times,
    // as ChangeFileTimes does.
    [[nodiscard]] virtual bool ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored) = 0;
    // Reads an item's times and attributes without opening it to write, as a preview does. By
    // default through ChangeTimes with nothing to write, then Attributes.
    [[nodiscard]] virtual bool ReadTimes(const std::wstring& path, FileTimes& times, DWORD& attributes)
    {
        const auto nothing = [](const FileTimes&) {
            return FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime};
        };
        if (!ChangeTimes(path, nothing, times))
            return false;
        attributes = Attributes(path);
        return true;
    }
    // The identity of the item (for a folder: the folder) a path leads to, links followed.
    [[nodiscard]] virtual bool FolderIdentity(const std::wstring& path, FileIdentity& identity) = 0;
    // The item's attributes now; INVALID_FILE_ATTRIBUTES, with the cause, where it cannot be reached.
    [[nodiscard]] virtual DWORD Attributes(const std::wstring& path) = 0;
    // Creates an empty file where no item is; an item already there is left as it is.
    [[nodiscard]] virtual bool CreateEmptyFile(const std::wstring& path) = 0;
    // ChangeTimes for a change that may take the file's date taken, as ChangeFileTimesByDate
    // does: the file is opened once for its times and its data. `takers` are the kinds whose
    // new value that date is, for a file system that shows where a file has none.
    [[nodiscard]] virtual bool ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers,
                                                 const DatedTimesChange& change, FileTimes& stored) = 0;
};

// The platform's file system, reached through each item's extended-length path.
class Win32FolderFileSystem final : public FolderFileSystem {
public:
    std::unique_ptr<FolderListing> List(const std::wstring& folder) override;
    bool ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored) override;
    // From the item's path alone, without a handle: the cheapest read the platform offers.
    bool ReadTimes(const std::wstring& path, FileTimes& times, DWORD& attributes) override;
    bool FolderIdentity(const std::wstring& path, FileIdentity& identity) override;
    DWORD Attributes(const std::wstring& path) override;
    bool CreateEmptyFile(const std::wstring& path) override;
    bool ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers, const DatedTimesChange& change,
                           FileTimes& stored) override;
};
