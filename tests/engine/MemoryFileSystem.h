#pragma once

#include "engine/FolderFileSystem.h"

#include <map>
#include <string>
#include <vector>

// A file system held in memory for the folder walk's tests: folders, files and directory
// links (followed like Wine follows Linux links), with a log of every call and injectable
// failures. Paths are absolute, backslash-separated and compared exactly.
class MemoryFileSystem final : public FolderFileSystem {
public:
    struct Item {
        bool folder = false;
        DWORD attributes = 0;
        FileTimes times = {};
        std::vector<std::wstring> entries; // names, in listing order
        std::wstring linkTarget;           // non-empty: a directory link to this path
        bool listedAsLink = true;          // its entry carries FILE_ATTRIBUTE_REPARSE_POINT
        DWORD readError = 0;               // non-zero: reads fail with this error
        DWORD writeError = 0;              // non-zero: writes fail with this error
        DWORD listError = 0;               // non-zero: listing it fails with this error
        DWORD listBreaksAfter = 0;         // non-zero: its listing fails after so many entries
        DWORD identifyError = 0;           // non-zero: identifying it fails with this error
        bool listedLagging = false;        // its entry shows listedTimes, not its real times
        FileTimes listedTimes = {};
        std::optional<FileTime> dateTaken; // what its data says of when it was taken
        bool dataUnreadable = false;       // its data cannot be read, though its times can
    };

    Item& AddFolder(const std::wstring& path, const FileTimes& times, DWORD attributes = 0);
    Item& AddFile(const std::wstring& path, const FileTimes& times, DWORD attributes = 0);
    Item& AddLink(const std::wstring& path, const std::wstring& target);
    Item& At(const std::wstring& path);
    const FileTimes& TimesOf(const std::wstring& path) { return At(path).times; }

    // The item at this path disappears right after its entry has been listed.
    void DeleteAfterListing(const std::wstring& path) { deleteAfterListing_ = path; }
    // Writes keep only whole seconds, as a coarse file system does.
    void KeepWholeSeconds() { wholeSeconds_ = true; }
    // Listings report no file identifiers, as some file systems and servers do. Where they do
    // report them, a flagged link is listed with its own identifier (as on Windows), an
    // unflagged one with its target's (as a server that follows it).
    void ListWithoutIds() { listsIds_ = false; }
    // Opened items report no identity (all zero), as some file systems and redirectors do.
    void IdentifyAsZero() { zeroIdentities_ = true; }

    // "list P", "read P", "write P" (only where a kind changes), "identify P", "create P" and
    // "date P" (a change asks for the file's date taken) lines in call order.
    const std::vector<std::wstring>& Log() const { return log_; }
    std::size_t Count(const std::wstring& prefix) const;
    void ClearLog() { log_.clear(); }

    std::unique_ptr<FolderListing> List(const std::wstring& folder) override;
    bool ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored) override;
    bool FolderIdentity(const std::wstring& path, FileIdentity& identity) override;
    DWORD Attributes(const std::wstring& path) override;
    bool CreateEmptyFile(const std::wstring& path) override;
    // ChangeTimes whose change is given the file's dateTaken when it asks; nothing for a
    // folder or a file whose data is unreadable.
    bool ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers, const DatedTimesChange& change,
                           FileTimes& stored) override;

    // Gives an entry's record, and forgets an item listed for deletion.
    bool EntryRecord(const std::wstring& folder, const std::wstring& name, WIN32_FIND_DATAW& entry, ListedFileId& id);

private:
    Item* Find(const std::wstring& path);
    std::wstring Resolve(const std::wstring& path) const;
    Item& Add(const std::wstring& path, Item item);
    FileIdentity IdentityOf(const std::wstring& key);

    std::map<std::wstring, Item> items_;
    std::map<std::wstring, unsigned> identities_;
    std::vector<std::wstring> log_;
    std::wstring deleteAfterListing_;
    bool wholeSeconds_ = false;
    bool listsIds_ = true;
    bool zeroIdentities_ = false;
};
