#pragma once

#include "engine/FileTimeAccess.h"

#include <functional>
#include <optional>

// Gives the moment the item's own data says it was taken (see ReadDateTaken), read when first
// asked; nothing where the data says none or cannot be read.
using DateTakenReader = std::function<std::optional<FileTime>()>;

// Given an item's times as just read and a reader of its date taken, the times to write:
// InvalidFileTime for every kind to leave as it is.
using DatedTimesChange = std::function<FileTimes(const FileTimes& current, const DateTakenReader& dateTaken)>;

// ChangeFileTimes for a change that may take the file's date taken: the file is opened once,
// to read its times and, where the change asks for it, its data, and to write. A file whose
// data cannot be opened (no read access, or held by another program that shares no reading) is
// opened for its times alone, and has no date. Reading the data leaves the last-access time as
// it was, unless the change writes that kind.
[[nodiscard]] bool ChangeFileTimesByDate(const wchar_t* path, const DatedTimesChange& change, FileTimes& stored);
