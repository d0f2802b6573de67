#pragma once

#include "engine/FolderFileSystem.h"
#include "engine/TimestampOperations.h"

#include <functional>
#include <string>

// The parameters of a folder apply, gathered from the General and Advanced pages.
struct ApplyOptions {
    bool recursive = false;
    bool excludeSystem = false;
    bool excludeHidden = true;
    std::wstring namePatterns;
};

// Receives the failure that stops a walk: HRESULT_FROM_WIN32 of the cause and the full path
// of the item that could not be listed, read or written.
using WalkFailureReporter = std::function<void(HRESULT code, const std::wstring& path)>;

// Applies the General record to the folder (and, when recursive, to every subfolder, each
// written after its entries) and the Advanced record to the files whose names match the
// patterns (null: every file; a text naming no pattern also selects every file). Hidden and
// system entries are skipped as the options say. The descent is bounded: a folder whose path
// leaves no room for the search pattern is not listed, and a directory link leading back to a
// folder on the current path is not entered. True when the walk finished; false when it
// stopped at the first failure, which it has passed to the reporter (a null reporter is allowed).
bool ApplyToFolder(FolderFileSystem& fileSystem, const HandlingRecord& general, const HandlingRecord& advanced,
                   const ApplyOptions& options, const wchar_t* folder, const wchar_t* namePatterns,
                   bool recursive, const WalkFailureReporter& reportFailure);

// The same walk on the platform's file system.
bool ApplyToFolder(const HandlingRecord& general, const HandlingRecord& advanced, const ApplyOptions& options,
                   const wchar_t* folder, const wchar_t* namePatterns, bool recursive,
                   const WalkFailureReporter& reportFailure);

// "<folder>\*.*" in a buffer of MAX_PATH characters; false when the folder path is too long
// to take it (such a folder is treated as unreadable, never listed in place of its entries).
bool BuildSearchPattern(const wchar_t* folder, wchar_t (&pattern)[MAX_PATH]);

// Whether a file name is selected by the name-pattern text (null or naming no pattern: all).
bool FileNameSelected(const wchar_t* name, const wchar_t* namePatterns);
