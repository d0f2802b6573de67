#pragma once

#include "engine/FolderFileSystem.h"
#include "engine/TimestampOperations.h"

#include <string>

// The files an apply left as they were in the kinds a row takes from the date taken, because
// their data records none or cannot be read: how many, and the first of them.
struct FilesWithoutDate {
    unsigned long long count = 0;
    std::wstring first;

    void Add(const std::wstring& path);
};

// What a file's change writes under a record, as TimesToWriteOrRefuse gives it: where a row
// takes the date taken, the file's date is read first (only then), and a file without one is
// added to `withoutDate`. Reading the file's data may set its last-access time; where the
// record leaves that kind as it is, the time read before is written back, so that the kind
// stays as it was.
FileTimes FileTimesToWrite(FolderFileSystem& fileSystem, const std::wstring& path, const HandlingRecord& record,
                           const FileTimes& current, FilesWithoutDate& withoutDate, bool& refused);
