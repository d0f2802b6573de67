#include "engine/DateTakenChange.h"

namespace {

constexpr FileTimes NoChange = {InvalidFileTime, InvalidFileTime, InvalidFileTime};

} // namespace

void FilesWithoutDate::Add(const std::wstring& path)
{
    if (count++ == 0)
        first = path;
}

TimestampKindSet DateTakers(const HandlingRecord& record)
{
    TimestampKindSet takers = {};
    for (int k = 0; k < TimestampKindCount; ++k)
        takers[k] = record.operation[k] == OpDateTaken;
    return takers;
}

bool ChangeFileUnder(FolderFileSystem& fileSystem, const std::wstring& path, const HandlingRecord& record,
                     const std::function<bool()>& claim, FilesWithoutDate& withoutDate, bool& refused,
                     FileTimes& stored)
{
    refused = false;
    if (!record.TakesDateTaken()) {
        const auto change = [&](const FileTimes& current) {
            if (claim && !claim())
                return NoChange;
            return TimesToWriteOrRefuse(record, current, nullptr, refused);
        };
        return fileSystem.ChangeTimes(path, change, stored);
    }
    const auto change = [&](const FileTimes& current, const DateTakenReader& dateTaken) {
        if (claim && !claim())
            return NoChange;
        std::optional<FileTime> date = dateTaken();
        // A date the platform cannot write (0 reads as "leave unchanged") is no date to take.
        if (date && (*date == 0 || *date > LargestFileTime))
            date.reset();
        if (!date)
            withoutDate.Add(path);
        return TimesToWriteOrRefuse(record, current, nullptr, refused, date);
    };
    return fileSystem.ChangeTimesByDate(path, DateTakers(record), change, stored);
}
