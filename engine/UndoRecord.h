#pragma once

#include "engine/FolderFileSystem.h"
#include "engine/WalkProgress.h"

#include <cstdint>
#include <string>
#include <vector>

// What one apply wrote, so that it can be taken back: for each item it wrote, the item's path
// and its three times as read just before the write and as read back after it. Paths are kept
// end to end in one buffer, so that an entry costs its path and 56 bytes more.
class UndoRecord {
public:
    struct Entry {
        std::uint32_t pathStart;
        std::uint32_t pathLength;
        FileTimes before;
        FileTimes after;
    };

    static_assert(sizeof(Entry) <= 64, "an undo entry costs at most 64 bytes besides its path");

    void Add(const std::wstring& path, const FileTimes& before, const FileTimes& after);
    void Clear();
    [[nodiscard]] bool Empty() const noexcept { return entries_.empty(); }
    [[nodiscard]] std::size_t Size() const noexcept { return entries_.size(); }
    [[nodiscard]] const std::vector<Entry>& Entries() const noexcept { return entries_; }
    [[nodiscard]] std::wstring PathOf(const Entry& entry) const;

private:
    std::wstring paths_;
    std::vector<Entry> entries_;
};

// A file system that writes through another and adds every item whose times it changed to an
// undo record (an item written with the times it held already has nothing to undo).
class RecordingFileSystem final : public FolderFileSystem {
public:
    RecordingFileSystem(FolderFileSystem& real, UndoRecord& record) : real_(real), record_(record) {}

    std::unique_ptr<FolderListing> List(const std::wstring& folder) override { return real_.List(folder); }
    bool ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored) override;
    bool FolderIdentity(const std::wstring& path, FileIdentity& identity) override
    {
        return real_.FolderIdentity(path, identity);
    }
    DWORD Attributes(const std::wstring& path) override { return real_.Attributes(path); }
    bool CreateEmptyFile(const std::wstring& path) override { return real_.CreateEmptyFile(path); }
    bool ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers, const DatedTimesChange& change,
                           FileTimes& stored) override;

private:
    FolderFileSystem& real_;
    UndoRecord& record_;
};

// How an undo went: the items put back, those left alone because their times changed again
// since the apply (another program wrote them) and the first of them, and the failure that
// stopped it with the item it names.
struct UndoReport {
    WalkOutcome outcome = WalkOutcome::Finished;
    HRESULT failure = S_OK;
    std::wstring failedPath;
    unsigned long long restored = 0;
    unsigned long long leftAlone = 0;
    std::wstring firstLeftAlone;
};

// Puts back each recorded item's times as they were before the apply, exactly to the tick,
// where the item still holds the creation and write times the apply left it with (its access
// time moves whenever it is read); an item that holds its earlier times already counts as
// restored. The progress sink is asked before each item, with the items done so far counted as
// files.
[[nodiscard]] UndoReport UndoApply(FolderFileSystem& fileSystem, const UndoRecord& record, WalkProgress* progress);
