#pragma once

#include "engine/FolderFileSystem.h"
#include "engine/TimestampOperations.h"

#include <functional>
#include <string>

// The files an apply left as they were in the kinds a row takes from the date taken, because
// their data records none or cannot be read: how many, and the first of them.
struct FilesWithoutDate {
    unsigned long long count = 0;
    std::wstring first;

    void Add(const std::wstring& path);
};

// The kinds whose rows take the date taken.
[[nodiscard]] TimestampKindSet DateTakers(const HandlingRecord& record);

// Writes a file's times under a record, what TimesToWriteOrRefuse gives (nothing at all, with
// `refused` set, where a value cannot be written), and gives the times it then holds. Where a
// row takes the date taken, the file is opened once for its times and its data
// (ChangeTimesByDate), and a file without a date is added to `withoutDate`. `claim` is asked
// first, once the file is open: where it says no, nothing is read or written. False on
// failure, with the cause in GetLastError.
[[nodiscard]] bool ChangeFileUnder(FolderFileSystem& fileSystem, const std::wstring& path, const HandlingRecord& record,
                                   const std::function<bool()>& claim, FilesWithoutDate& withoutDate, bool& refused,
                                   FileTimes& stored);
