#pragma once

#include "engine/FolderFileSystem.h"
#include "engine/FolderWalk.h"

#include <string>
#include <vector>

// The choices of the sheet's pages, as one value: the General record for the selected items
// themselves (and, with recursion, every subfolder), the Advanced record for the files inside
// the selected folders, and the walk's options.
struct ApplyChoices {
    HandlingRecord general;
    HandlingRecord advanced;
    ApplyOptions options;
};

// One item of the selection, as the sheet found it when it opened.
struct SelectedItem {
    std::wstring path; // a full path in its ordinary form
    bool wasFolder = false;
    bool existed = true;
};

// What an apply did: how it ended, the failure that stopped it and the item it names, the
// counts across the whole selection, the folders it did not enter because they lead back to a
// folder above them, and the files that kept a kind for lack of a date taken.
struct ApplyReport {
    WalkOutcome outcome = WalkOutcome::Finished;
    HRESULT failure = S_OK;
    std::wstring failedPath;
    WalkCounts done;
    std::vector<SkippedLoop> skippedLoops;
    FilesWithoutDate withoutDate;
};

// Applies the choices to the selected items in their order, each as the single target of a
// sheet would be: a folder through the folder walk, a file directly (opened once). An item
// that did not exist when the sheet opened is created as an empty file; one that existed and
// is gone, above all a folder, is reported missing and never created. Each item is decided by
// what it is now. With several items, no item is written twice (see WriteLedger): each gets
// the operations of its own turn in the selection once. The progress sink of the options is
// asked before each item, with the counts across the selection; the apply stops at the first
// failure, and items written before stay written. An item whose new time cannot be written is
// such a failure (UnwritableTimeResult), found before anything of that item is written.
[[nodiscard]] ApplyReport ApplySelection(FolderFileSystem& fileSystem, const ApplyChoices& choices,
                                         const std::vector<SelectedItem>& items);
