#pragma once

#include "engine/DateTakenChange.h"
#include "engine/FolderFileSystem.h"
#include "engine/TimestampOperations.h"
#include "engine/WalkProgress.h"
#include "engine/WriteLedger.h"

#include <functional>
#include <string>
#include <vector>

// The parameters of a folder apply, gathered from the General and Advanced pages.
struct ApplyOptions {
    bool recursive = false;
    bool excludeSystem = false;
    bool excludeHidden = true;
    std::wstring namePatterns;        // naming no pattern: every file
    WalkProgress* progress = nullptr; // null: the walk runs without being followed
};

// Receives the failure that stops a walk: the result code of the cause (never success) and
// the full path of the item that could not be listed, identified, read or written.
using WalkFailureReporter = std::function<void(HRESULT code, const std::wstring& path)>;

// A subfolder the walk did not enter because it leads back to a folder above it.
struct SkippedLoop {
    std::wstring folder;
    std::wstring leadsTo;
};

// What a walk shares with the apply it is part of.
struct WalkShared {
    WalkCounts done;                       // counted on from where the apply stands
    std::vector<SkippedLoop> skippedLoops; // added to as the walk meets them
    WriteLedger* ledger = nullptr;         // null: the walk writes every item it reaches
    FilesWithoutDate withoutDate;          // files that kept a kind for lack of a date taken
};

// Applies the General record to the folder (and, when recursive, to every subfolder, each
// written after its entries) and the Advanced record to the files whose names match the
// patterns. Hidden and system entries are skipped as the options say. Every item is opened
// once: its times are read from it, not from the listing, and only the kinds that change are
// written. A subfolder that is one of the folders on the current path (a link back, followed
// or not flagged) is not entered; it counts with its listed times. The walk stops at the first
// failure, which it passes to the reporter (a null reporter is allowed), or where the progress
// sink of the options says so, which is not a failure. With nothing to change, nothing is
// listed or asked. With a ledger, an item that the ledger does not let the walk claim is read
// but not written. An item whose new time cannot be written (see CheckedTimesToWrite) is a
// failure with UnwritableTimeResult: nothing of it is written. Where an Advanced row takes the
// date taken, each file's date is read (see ChangeFileUnder); a file without one keeps that
// kind and is counted in the shared record; on folders that row changes nothing.
[[nodiscard]] WalkOutcome ApplyToFolder(FolderFileSystem& fileSystem, const HandlingRecord& general,
                                        const HandlingRecord& advanced, const ApplyOptions& options,
                                        const std::wstring& folder, const WalkFailureReporter& reportFailure,
                                        WalkShared& shared);
[[nodiscard]] WalkOutcome ApplyToFolder(FolderFileSystem& fileSystem, const HandlingRecord& general,
                                        const HandlingRecord& advanced, const ApplyOptions& options,
                                        const std::wstring& folder, const WalkFailureReporter& reportFailure);

// The same walk on the platform's file system.
[[nodiscard]] WalkOutcome ApplyToFolder(const HandlingRecord& general, const HandlingRecord& advanced,
                                        const ApplyOptions& options, const std::wstring& folder,
                                        const WalkFailureReporter& reportFailure);

// Whether a file name is selected by the name-pattern text (null or naming no pattern: all).
bool FileNameSelected(const wchar_t* name, const wchar_t* namePatterns);
