#include "engine/UndoRecord.h"

#include "platform/Result.h"

namespace {

constexpr FileTimes NoChange = {InvalidFileTime, InvalidFileTime, InvalidFileTime};

bool Writes(const FileTimes& wanted)
{
    return wanted != NoChange;
}

// Whether an item's times differ in what only a write changes. Reading an item moves its
// access time (listing a folder does, as a preview shown after the apply lists it again),
// which says nothing of another program having written it.
bool WrittenApart(const FileTimes& current, const FileTimes& recorded)
{
    return current[Creation] != recorded[Creation] || current[LastWrite] != recorded[LastWrite];
}

} // namespace

void UndoRecord::Add(const std::wstring& path, const FileTimes& before, const FileTimes& after)
{
    entries_.push_back(
        {static_cast<std::uint32_t>(paths_.size()), static_cast<std::uint32_t>(path.size()), before, after});
    paths_ += path;
}

void UndoRecord::Clear()
{
    std::wstring().swap(paths_);
    std::vector<Entry>().swap(entries_);
}

std::wstring UndoRecord::PathOf(const Entry& entry) const
{
    return paths_.substr(entry.pathStart, entry.pathLength);
}

bool RecordingFileSystem::ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored)
{
    FileTimes before{};
    bool wrote = false;
    const auto recorded = [&](const FileTimes& current) {
        before = current;
        const FileTimes wanted = change(current);
        wrote = Writes(wanted);
        return wanted;
    };
    if (!real_.ChangeTimes(path, recorded, stored))
        return false;
    if (wrote && stored != before)
        record_.Add(path, before, stored);
    return true;
}

bool RecordingFileSystem::ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers,
                                            const DatedTimesChange& change, FileTimes& stored)
{
    FileTimes before{};
    bool wrote = false;
    const auto recorded = [&](const FileTimes& current, const DateTakenReader& dateTaken) {
        before = current;
        const FileTimes wanted = change(current, dateTaken);
        wrote = Writes(wanted);
        return wanted;
    };
    if (!real_.ChangeTimesByDate(path, takers, recorded, stored))
        return false;
    if (wrote && stored != before)
        record_.Add(path, before, stored);
    return true;
}

UndoReport UndoApply(FolderFileSystem& fileSystem, const UndoRecord& record, WalkProgress* progress)
{
    UndoReport report;
    WalkCounts done;
    for (const UndoRecord::Entry& entry : record.Entries()) {
        const std::wstring path = record.PathOf(entry);
        if (progress && !progress->Continue(path, done)) {
            report.outcome = WalkOutcome::Stopped;
            return report;
        }
        bool changedSince = false;
        // An item that holds its earlier times already (an undo stopped before) is restored.
        const auto restore = [&](const FileTimes& current) {
            changedSince = WrittenApart(current, entry.after) && WrittenApart(current, entry.before);
            return changedSince || current == entry.before ? NoChange : entry.before;
        };
        FileTimes stored{};
        if (!fileSystem.ChangeTimes(path, restore, stored)) {
            report.outcome = WalkOutcome::Failed;
            report.failure = LastErrorResult();
            report.failedPath = path;
            return report;
        }
        if (changedSince) {
            if (report.leftAlone++ == 0)
                report.firstLeftAlone = path;
        } else {
            ++report.restored;
        }
        ++done.files;
    }
    return report;
}
