#include "tests/engine/MemoryFileSystem.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Paths name a folder with or without a trailing backslash ("M:\\" and "M:" alike).
std::wstring WithoutTrailingBackslash(std::wstring path)
{
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::wstring ParentOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring NameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L'\\') + 1);
}

class MemoryListing final : public FolderListing {
public:
    MemoryListing(MemoryFileSystem& fileSystem, std::wstring folder, std::vector<std::wstring> names, DWORD breaksAfter)
        : fileSystem_(fileSystem), folder_(std::move(folder)), names_(std::move(names)), breaksAfter_(breaksAfter)
    {
    }

    bool Next(WIN32_FIND_DATAW& entry, ListedFileId& id) override
    {
        while (next_ < names_.size()) {
            if (breaksAfter_ && next_ == breaksAfter_) {
                ::SetLastError(ERROR_NETNAME_DELETED);
                return false;
            }
            if (fileSystem_.EntryRecord(folder_, names_[next_++], entry, id))
                return true;
        }
        ::SetLastError(ERROR_NO_MORE_FILES);
        return false;
    }

private:
    MemoryFileSystem& fileSystem_;
    std::wstring folder_;
    std::vector<std::wstring> names_;
    DWORD breaksAfter_;
    std::size_t next_ = 0;
};

void SetName(WIN32_FIND_DATAW& entry, const std::wstring& name)
{
    entry = {};
    name.copy(entry.cFileName, MAX_PATH - 1);
}

} // namespace

MemoryFileSystem::Item& MemoryFileSystem::Add(const std::wstring& name, Item item)
{
    const std::wstring path = WithoutTrailingBackslash(name);
    // An item whose parent is not held is a top folder of the test.
    if (Item* folder = Find(ParentOf(path)))
        folder->entries.push_back(NameOf(path));
    return items_[path] = std::move(item);
}

MemoryFileSystem::Item& MemoryFileSystem::AddFolder(const std::wstring& path, const FileTimes& times, DWORD attributes)
{
    Item item;
    item.folder = true;
    item.attributes = attributes | FILE_ATTRIBUTE_DIRECTORY;
    item.times = times;
    return Add(path, std::move(item));
}

MemoryFileSystem::Item& MemoryFileSystem::AddFile(const std::wstring& path, const FileTimes& times, DWORD attributes)
{
    Item item;
    item.attributes = attributes ? attributes : FILE_ATTRIBUTE_ARCHIVE;
    item.times = times;
    return Add(path, std::move(item));
}

MemoryFileSystem::Item& MemoryFileSystem::AddLink(const std::wstring& path, const std::wstring& target)
{
    Item item;
    item.linkTarget = target;
    return Add(path, std::move(item));
}

MemoryFileSystem::Item& MemoryFileSystem::At(const std::wstring& path)
{
    Item* item = Find(path);
    if (!item)
        throw std::logic_error("no such item");
    return *item;
}

std::size_t MemoryFileSystem::Count(const std::wstring& prefix) const
{
    std::size_t count = 0;
    for (const std::wstring& line : log_)
        if (line.compare(0, prefix.size(), prefix) == 0)
            ++count;
    return count;
}

// The path with every link on it replaced by its target.
std::wstring MemoryFileSystem::Resolve(const std::wstring& name) const
{
    const std::wstring path = WithoutTrailingBackslash(name);
    std::wstring resolved;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        resolved += (resolved.empty() ? L"" : L"\\") + path.substr(start, end - start);
        const auto found = items_.find(resolved);
        if (found != items_.end() && !found->second.linkTarget.empty())
            resolved = found->second.linkTarget;
        start = end + 1;
    }
    return resolved;
}

MemoryFileSystem::Item* MemoryFileSystem::Find(const std::wstring& path)
{
    const auto found = items_.find(Resolve(path));
    return found == items_.end() ? nullptr : &found->second;
}

FileIdentity MemoryFileSystem::IdentityOf(const std::wstring& key)
{
    const auto found = identities_.emplace(key, static_cast<unsigned>(identities_.size() + 1)).first;
    FileIdentity identity;
    identity.volume = 1;
    // The number sits in the identifier's high half, where a 64-bit index would not reach.
    identity.id[15] = static_cast<BYTE>(found->second);
    identity.id[14] = static_cast<BYTE>(found->second >> 8);
    return identity;
}

bool MemoryFileSystem::EntryRecord(const std::wstring& folder, const std::wstring& name, WIN32_FIND_DATAW& entry,
                                   ListedFileId& id)
{
    SetName(entry, name);
    id = {};
    if (name == L"." || name == L"..") {
        entry.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        const std::wstring resolved = Resolve(folder);
        const std::wstring itself = name == L"." ? resolved : ParentOf(resolved);
        if (listsIds_ && items_.count(itself)) {
            id.known = true;
            id.id = IdentityOf(itself).id;
        }
        return true;
    }
    const std::wstring path = folder + L"\\" + name;
    const Item* item = Find(path);
    if (!item)
        return false;
    entry.dwFileAttributes = item->attributes;
    const std::wstring listedPath = Resolve(folder) + L"\\" + name;
    const auto link = items_.find(listedPath);
    const bool flaggedLink = link != items_.end() && !link->second.linkTarget.empty() && link->second.listedAsLink;
    if (flaggedLink)
        entry.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (listsIds_) {
        id.known = true;
        id.id = IdentityOf(flaggedLink ? L"link " + listedPath : Resolve(path)).id;
    }
    const FileTimes& listed = item->listedLagging ? item->listedTimes : item->times;
    entry.ftCreationTime = ToFILETIME(listed[Creation]);
    entry.ftLastAccessTime = ToFILETIME(listed[LastAccess]);
    entry.ftLastWriteTime = ToFILETIME(listed[LastWrite]);
    if (path == deleteAfterListing_) {
        items_.erase(Resolve(path));
        Find(folder)->entries.erase(std::find(Find(folder)->entries.begin(), Find(folder)->entries.end(), name));
    }
    return true;
}

std::unique_ptr<FolderListing> MemoryFileSystem::List(const std::wstring& folder)
{
    log_.push_back(L"list " + folder);
    const Item* item = Find(folder);
    if (!item || !item->folder || item->listError) {
        ::SetLastError(item && item->listError ? item->listError : ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    std::vector<std::wstring> names = {L".", L".."};
    names.insert(names.end(), item->entries.begin(), item->entries.end());
    return std::make_unique<MemoryListing>(*this, WithoutTrailingBackslash(folder), std::move(names),
                                           item->listBreaksAfter);
}

bool MemoryFileSystem::ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored)
{
    log_.push_back(L"read " + path);
    Item* item = Find(path);
    if (!item || item->readError) {
        const bool folderThere = Find(ParentOf(WithoutTrailingBackslash(path))) != nullptr;
        ::SetLastError(item ? item->readError : folderThere ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return false;
    }
    // The times as read when the item was opened: a change may touch the item meanwhile.
    const FileTimes current = item->times;
    const FileTimes wanted = change(current);
    if (wanted != FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime}) {
        log_.push_back(L"write " + path);
        if (item->writeError) {
            ::SetLastError(item->writeError);
            return false;
        }
        for (int k = 0; k < TimestampKindCount; ++k) {
            if (wanted[k] != InvalidFileTime)
                item->times[k] = wholeSeconds_ ? wanted[k] - wanted[k] % TicksPerSecond : wanted[k];
        }
        item->listedLagging = false;
    }
    stored = item->times;
    return true;
}

bool MemoryFileSystem::FolderIdentity(const std::wstring& path, FileIdentity& identity)
{
    log_.push_back(L"identify " + path);
    const std::wstring resolved = Resolve(path);
    const auto item = items_.find(resolved);
    if (item == items_.end() || item->second.identifyError) {
        ::SetLastError(item == items_.end() ? ERROR_PATH_NOT_FOUND : item->second.identifyError);
        return false;
    }
    identity = zeroIdentities_ ? FileIdentity{} : IdentityOf(resolved);
    return true;
}

DWORD MemoryFileSystem::Attributes(const std::wstring& path)
{
    const Item* item = Find(path);
    if (!item) {
        ::SetLastError(Find(ParentOf(WithoutTrailingBackslash(path))) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return item->attributes;
}

bool MemoryFileSystem::CreateEmptyFile(const std::wstring& path)
{
    log_.push_back(L"create " + path);
    if (!Find(ParentOf(WithoutTrailingBackslash(path)))) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (!Find(path))
        AddFile(path, FileTimes{});
    return true;
}

bool MemoryFileSystem::ChangeTimesByDate(const std::wstring& path, const TimestampKindSet&,
                                         const DatedTimesChange& change, FileTimes& stored)
{
    bool asked = false;
    std::optional<FileTime> date;
    const DateTakenReader dateTaken = [&] {
        if (!asked) {
            asked = true;
            log_.push_back(L"date " + path);
            const Item* item = Find(path);
            if (item && !item->folder && !item->dataUnreadable)
                date = item->dateTaken;
        }
        return date;
    };
    return ChangeTimes(
        path, [&](const FileTimes& current) { return change(current, dateTaken); }, stored);
}
