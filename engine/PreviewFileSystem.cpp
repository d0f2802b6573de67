#include "engine/PreviewFileSystem.h"

#include "platform/ItemPath.h"

#include <algorithm>

namespace {

constexpr std::size_t StaysAsItIs = static_cast<std::size_t>(-1);

} // namespace

std::unique_ptr<FolderListing> PreviewFileSystem::List(const std::wstring& folder)
{
    return real_.List(folder);
}

void PreviewFileSystem::Record(const std::wstring& path, std::wstring key, const FileTimes& current,
                               const FileTimes& wanted, DWORD attributes, const TimestampKindSet& noDateTaken,
                               FileTimes& stored)
{
    stored = current;
    bool changes = false;
    for (int k = 0; k < TimestampKindCount; ++k) {
        if (wanted[k] != InvalidFileTime) {
            changes = changes || wanted[k] != current[k];
            stored[k] = wanted[k];
        }
    }
    const auto [seen, first] = read_.try_emplace(std::move(key), StaysAsItIs);
    if (seen->second != StaysAsItIs) {
        changes_[seen->second].planned = stored;
        return;
    }
    const bool created = IsCreated(path);
    const bool lacksDate = noDateTaken != TimestampKindSet{};
    if (!changes && !created && !lacksDate) {
        if (first)
            ++unchanged_;
        return;
    }
    if (!first)
        --unchanged_;
    if (created)
        attributes = FILE_ATTRIBUTE_NORMAL;
    else if (attributes == INVALID_FILE_ATTRIBUTES)
        attributes = real_.Attributes(path);
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    seen->second = changes_.size();
    changes_.push_back({path, folder, created, current, stored, noDateTaken});
}

bool PreviewFileSystem::ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored)
{
    FileTimes current{};
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    std::wstring key = CaseFolded(path);
    const auto planned = read_.find(key);
    if (planned != read_.end() && planned->second != StaysAsItIs) {
        // An item an earlier turn would have written holds what it wrote.
        current = changes_[planned->second].planned;
    } else if (IsCreated(path)) {
        // A file the apply would make holds the time it is made at.
        const FileTime now = CurrentFileTime();
        current = {now, now, now};
    } else if (openedToWrite_.count(path) != 0) {
        const auto nothing = [](const FileTimes&) {
            return FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime};
        };
        if (!real_.ChangeTimes(path, nothing, current))
            return false;
    } else if (!real_.ReadTimes(path, current, attributes)) {
        return false;
    }
    Record(path, std::move(key), current, change(current), attributes, {}, stored);
    return true;
}

bool PreviewFileSystem::ChangeTimesByDate(const std::wstring& path, const TimestampKindSet& takers,
                                          const DatedTimesChange& change, FileTimes& stored)
{
    FileTimes current{};
    FileTimes wanted{};
    bool lacksDate = false;
    std::wstring key = CaseFolded(path);
    const auto planned = read_.find(key);
    const bool written = planned != read_.end() && planned->second != StaysAsItIs;
    const auto plan = [&](const FileTimes& times, const DateTakenReader& dateTaken) {
        // An item an earlier turn would have written holds what it wrote.
        current = written ? changes_[planned->second].planned : times;
        const DateTakenReader noting = [&] {
            const std::optional<FileTime> date = dateTaken();
            lacksDate = !date;
            return date;
        };
        wanted = change(current, noting);
        return FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime};
    };
    if (IsCreated(path)) {
        // A file the apply would make holds no data, and the time it is made at.
        const FileTime now = CurrentFileTime();
        plan({now, now, now}, [] { return std::optional<FileTime>(); });
    } else if (!real_.ChangeTimesByDate(path, takers, plan, stored)) {
        return false;
    }
    Record(path, std::move(key), current, wanted, INVALID_FILE_ATTRIBUTES, lacksDate ? takers : TimestampKindSet{},
           stored);
    return true;
}

bool PreviewFileSystem::FolderIdentity(const std::wstring& path, FileIdentity& identity)
{
    return real_.FolderIdentity(path, identity);
}

DWORD PreviewFileSystem::Attributes(const std::wstring& path)
{
    if (IsCreated(path))
        return FILE_ATTRIBUTE_NORMAL;
    return real_.Attributes(path);
}

bool PreviewFileSystem::CreateEmptyFile(const std::wstring& path)
{
    if (!IsCreated(path))
        created_.push_back(path);
    return true;
}

bool PreviewFileSystem::IsCreated(const std::wstring& path) const
{
    return std::find(created_.begin(), created_.end(), path) != created_.end();
}
