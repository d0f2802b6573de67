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
    MemoryListing(MemoryFileSystem& fileSystem, std::wstring folder, std::vector<std::wstring> names)
        : fileSystem_(fileSystem), folder_(std::move(folder)), names_(std::move(names))
    {
    }

    bool Next(WIN32_FIND_DATAW& entry) override
    {
        while (next_ < names_.size())
            if (fileSystem_.EntryRecord(folder_, names_[next_++], entry))
                return true;
        return false;
    }

private:
    MemoryFileSystem& fileSystem_;
    std::wstring folder_;
    std::vector<std::wstring> names_;
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

bool MemoryFileSystem::EntryRecord(const std::wstring& folder, const std::wstring& name, WIN32_FIND_DATAW& entry)
{
    SetName(entry, name);
    if (name == L"." || name == L"..") {
        entry.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
        return true;
    }
    const std::wstring path = folder + L"\\" + name;
    const Item* item = Find(path);
    if (!item)
        return false;
    entry.dwFileAttributes = item->attributes;
    const auto link = items_.find(Resolve(folder) + L"\\" + name);
    if (link != items_.end() && !link->second.linkTarget.empty() && link->second.listedAsLink)
        entry.dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    entry.ftCreationTime = ToFILETIME(item->times[Creation]);
    entry.ftLastAccessTime = ToFILETIME(item->times[LastAccess]);
    entry.ftLastWriteTime = ToFILETIME(item->times[LastWrite]);
    if (path == deleteAfterListing_) {
        items_.erase(Resolve(path));
        Find(folder)->entries.erase(std::find(Find(folder)->entries.begin(), Find(folder)->entries.end(), name));
    }
    return true;
}

std::unique_ptr<FolderListing> MemoryFileSystem::List(const wchar_t* pattern, std::wstring& folderPath)
{
    const std::wstring text(pattern);
    log_.push_back(L"list " + text);
    const std::wstring suffix = L"\\*.*";
    if (text.size() < suffix.size() || text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
        ::SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    std::wstring folder = text.substr(0, text.size() - suffix.size());
    const Item* item = Find(folder);
    if (!item || !item->folder || !item->listable) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return nullptr;
    }
    std::vector<std::wstring> names = {L".", L".."};
    names.insert(names.end(), item->entries.begin(), item->entries.end());
    folderPath = folder;
    return std::make_unique<MemoryListing>(*this, std::move(folder), std::move(names));
}

bool MemoryFileSystem::ReadTimes(const wchar_t* path, FileTimes& times)
{
    log_.push_back(L"read " + std::wstring(path));
    const Item* item = Find(path);
    if (!item || item->readError) {
        ::SetLastError(item ? item->readError : ERROR_FILE_NOT_FOUND);
        return false;
    }
    times = item->times;
    return true;
}

bool MemoryFileSystem::WriteTimes(const wchar_t* path, const FileTimes& times)
{
    log_.push_back(L"write " + std::wstring(path));
    Item* item = Find(path);
    if (!item || item->writeError) {
        ::SetLastError(item ? item->writeError : ERROR_FILE_NOT_FOUND);
        return false;
    }
    for (int k = 0; k < TimestampKindCount; ++k) {
        if (times[k] == InvalidFileTime)
            continue;
        item->times[k] = wholeSeconds_ ? times[k] - times[k] % TicksPerSecond : times[k];
    }
    return true;
}

bool MemoryFileSystem::FolderIdentity(const wchar_t* path, FileIdentity& identity)
{
    log_.push_back(L"identify " + std::wstring(path));
    const std::wstring resolved = Resolve(path);
    if (!items_.count(resolved)) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const auto found = identities_.emplace(resolved, static_cast<DWORD>(identities_.size() + 1)).first;
    identity = {1, 0, found->second};
    return true;
}
