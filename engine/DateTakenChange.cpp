#include "engine/DateTakenChange.h"

void FilesWithoutDate::Add(const std::wstring& path)
{
    if (count++ == 0)
        first = path;
}

FileTimes FileTimesToWrite(FolderFileSystem& fileSystem, const std::wstring& path, const HandlingRecord& record,
                           const FileTimes& current, FilesWithoutDate& withoutDate, bool& refused)
{
    if (!record.TakesDateTaken())
        return TimesToWriteOrRefuse(record, current, nullptr, refused);
    TimestampKindSet takers = {};
    for (int k = 0; k < TimestampKindCount; ++k)
        takers[k] = record.operation[k] == OpDateTaken;
    std::optional<FileTime> date = fileSystem.DateTaken(path, takers);
    // A date the platform cannot write (0 reads as "leave unchanged") is no date to take.
    if (date && (*date == 0 || *date > LargestFileTime))
        date.reset();
    if (!date)
        withoutDate.Add(path);
    FileTimes times = TimesToWriteOrRefuse(record, current, nullptr, refused, date);
    if (!refused && times[LastAccess] == InvalidFileTime)
        times[LastAccess] = current[LastAccess];
    return times;
}
