#pragma once

#include "engine/FolderFileSystem.h"

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// One item an apply would change: its times now and the times it would get (a kind that
// stays keeps its current value in both).
struct PlannedChange {
    std::wstring path;
    bool folder = false;
    bool created = false; // the item does not exist yet; the apply would make it
    FileTimes current = {};
    FileTimes planned = {};
    // Kinds the apply would take from the file's date taken, which it lacks: they stay.
    TimestampKindSet noDateTaken = {};
};

// A file system for a preview: it lists, reads and identifies the real items, and where the
// apply would write, it records what it would write instead and answers as if it had, so the
// apply's own code (the walk, the selection, the folders' earliest and latest entries) runs
// unchanged against it and cannot disagree with the real apply. An item is read without being
// opened to write (ReadTimes), so the preview costs less than the apply; an item that cannot
// be read stops it where the apply would stop. A file whose date taken a row asks for is
// opened as the apply opens it, since its data is read anyway; one that lacks that date is
// listed even where nothing of it would change, so that the preview shows it.
class PreviewFileSystem final : public FolderFileSystem {
public:
    explicit PreviewFileSystem(FolderFileSystem& real) : real_(real) {}

    // The selection's own items are opened as the apply opens them, to write, so that an item
    // the apply could read but not write is where the preview stops too (the walk's entries
    // are only read, which costs a fraction of an open).
    void OpenAsTheApplyDoes(std::set<std::wstring> paths) { openedToWrite_ = std::move(paths); }

    // The items the apply would change, in the order it would write them.
    [[nodiscard]] const std::vector<PlannedChange>& Changes() const noexcept { return changes_; }
    // Items the apply would read and leave as they are, each counted once.
    [[nodiscard]] unsigned long long Unchanged() const noexcept { return unchanged_; }

    std::unique_ptr<FolderListing> List(const std::wstring& folder) override;
    bool ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored) override;
    bool FolderIdentity(const std::wstring& path, FileIdentity& identity) override;
    DWORD Attributes(const std::wstring& path) override;
    bool CreateEmptyFile(const std::wstring& path) override;
    // Opens the file as the apply does, to read its data and write, and writes nothing.
    bool ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers, const DatedTimesChange& change,
                           FileTimes& stored) override;

private:
    // key: the path case-folded; attributes: the item's, or INVALID_FILE_ATTRIBUTES where
    // they are still to be read; noDateTaken: the kinds that asked for a date taken the file lacks.
    void Record(const std::wstring& path, std::wstring key, const FileTimes& current, const FileTimes& wanted,
                DWORD attributes, const TimestampKindSet& noDateTaken, FileTimes& stored);
    [[nodiscard]] bool IsCreated(const std::wstring& path) const;

    FolderFileSystem& real_;
    std::vector<PlannedChange> changes_;
    // Every item read so far, by its case-folded path: the index of its planned change, or
    // none where it stays as it is. An apply over several items reads one item again in a later
    // turn (a folder selected inside another selected folder is walked twice); it then finds
    // what the earlier turn wrote, and so must the preview.
    std::unordered_map<std::wstring, std::size_t> read_;
    std::vector<std::wstring> created_;
    std::set<std::wstring> openedToWrite_;
    unsigned long long unchanged_ = 0;
};
