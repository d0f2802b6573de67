#pragma once

#include "engine/FileTime.h"

#include <functional>

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
