#pragma once

#include "engine/FileTime.h"

// Reads whichever of the three times the caller asks for (null outputs are skipped).
// False on failure, with the cause in GetLastError.
bool ReadFileTimes(const wchar_t* path, FileTime* creation, FileTime* lastAccess, FileTime* lastWrite);
bool ReadFileTimes(const wchar_t* path, FileTimes& times);

// Writes all three times; an InvalidFileTime leaves that time of the item as it was.
// False on failure, with the cause in GetLastError.
bool WriteFileTimes(const wchar_t* path, const FileTimes& times);
