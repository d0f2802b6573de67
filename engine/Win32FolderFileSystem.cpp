#include "engine/FolderFileSystem.h"

#include "platform/Handles.h"
#include "platform/ItemPath.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The size of one batch of a folder's listing.
constexpr std::size_t BufferBytes = std::size_t{64} * 1024;

bool IsUnsupportedClass(DWORD error)
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_LEVEL || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION;
}

FILETIME ToFileTimeRecord(const LARGE_INTEGER& t)
{
    return {static_cast<DWORD>(t.LowPart), static_cast<DWORD>(t.HighPart)};
}

template <class Info> void CopyEntry(const Info& info, WIN32_FIND_DATAW& entry)
{
    entry = {};
    entry.dwFileAttributes = info.FileAttributes;
    entry.ftCreationTime = ToFileTimeRecord(info.CreationTime);
    entry.ftLastAccessTime = ToFileTimeRecord(info.LastAccessTime);
    entry.ftLastWriteTime = ToFileTimeRecord(info.LastWriteTime);
    const std::size_t length = std::min<std::size_t>(info.FileNameLength / sizeof(wchar_t), MAX_PATH - 1);
    std::memcpy(entry.cFileName, info.FileName, length * sizeof(wchar_t));
}

ListedFileId ListedId(const FILE_ID_EXTD_DIR_INFO& info)
{
    ListedFileId id;
    std::memcpy(id.id.data(), info.FileId.Identifier, id.id.size());
    id.known = id.id != std::array<BYTE, 16>{};
    return id;
}

ListedFileId ListedId(const FILE_ID_BOTH_DIR_INFO& info)
{
    ListedFileId id;
    const ULONGLONG index = static_cast<ULONGLONG>(info.FileId.QuadPart);
    std::memcpy(id.id.data(), &index, sizeof index);
    id.known = index != 0;
    return id;
}

// A listing read from the folder's handle in batches, with each entry's file identifier: the
// 128-bit one where the file system offers it (Windows 8 and later), else the 64-bit one.
class IdentifiedListing final : public FolderListing {
public:
    IdentifiedListing(FileHandle folder, bool extended)
        : folder_(std::move(folder)), extended_(extended), buffer_(BufferBytes / sizeof(std::uint64_t))
    {
    }

    // Reads the first batch; false (with the cause) when the class is not offered or the
    // folder cannot be read.
    bool Start()
    {
        if (Read(extended_ ? FileIdExtdDirectoryRestartInfo : FileIdBothDirectoryRestartInfo))
            return true;
        // No entry at all (a drive root has no "." or ".."): an empty listing.
        if (::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_NO_MORE_FILES) {
            ended_ = true;
            return true;
        }
        return false;
    }

    bool Next(WIN32_FIND_DATAW& entry, ListedFileId& id) override
    {
        if (ended_) {
            ::SetLastError(ERROR_NO_MORE_FILES);
            return false;
        }
        if (!pending_ && !Read(extended_ ? FileIdExtdDirectoryInfo : FileIdBothDirectoryInfo)) {
            if (::GetLastError() == ERROR_NO_MORE_FILES)
                ended_ = true;
            return false;
        }
        const BYTE* at = reinterpret_cast<const BYTE*>(buffer_.data()) + offset_;
        DWORD next = 0;
        if (extended_) {
            const auto& info = *reinterpret_cast<const FILE_ID_EXTD_DIR_INFO*>(at);
            CopyEntry(info, entry);
            id = ListedId(info);
            next = info.NextEntryOffset;
        } else {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
            CopyEntry(info, entry);
            id = ListedId(info);
            next = info.NextEntryOffset;
        }
        pending_ = next != 0;
        offset_ += next;
        return true;
    }

private:
    bool Read(FILE_INFO_BY_HANDLE_CLASS kind)
    {
        const DWORD size = static_cast<DWORD>(buffer_.size() * sizeof(std::uint64_t));
        if (!::GetFileInformationByHandleEx(folder_.get(), kind, buffer_.data(), size))
            return false;
        offset_ = 0;
        pending_ = true;
        return true;
    }

    FileHandle folder_;
    const bool extended_;
    std::vector<std::uint64_t> buffer_; // the entries need 8-byte alignment
    std::size_t offset_ = 0;
    bool pending_ = false;
    bool ended_ = false;
};

// The listing of a file system that reports no identifiers in its listings.
class PlainListing final : public FolderListing {
public:
    PlainListing(FindHandle search, const WIN32_FIND_DATAW& first) : search_(std::move(search)), first_(first)
    {
        pendingFirst_ = static_cast<bool>(search_);
    }

    bool Next(WIN32_FIND_DATAW& entry, ListedFileId& id) override
    {
        id = {};
        if (pendingFirst_) {
            pendingFirst_ = false;
            entry = first_;
            return true;
        }
        if (!search_) {
            ::SetLastError(ERROR_NO_MORE_FILES);
            return false;
        }
        return ::FindNextFileW(search_.get(), &entry) != FALSE;
    }

private:
    FindHandle search_;
    WIN32_FIND_DATAW first_;
    bool pendingFirst_ = false;
};

} // namespace

std::unique_ptr<FolderListing> Win32FolderFileSystem::List(const std::wstring& folder)
{
    const std::wstring itemPath = ItemPath(folder);
    for (bool extended : {true, false}) {
        FileHandle handle(::CreateFileW(itemPath.c_str(), FILE_LIST_DIRECTORY, ShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!handle)
            return nullptr;
        auto listing = std::make_unique<IdentifiedListing>(std::move(handle), extended);
        if (listing->Start())
            return listing;
        if (!IsUnsupportedClass(::GetLastError()))
            return nullptr;
    }
    WIN32_FIND_DATAW first{};
    FindHandle search(::FindFirstFileW(JoinPath(itemPath, L"*").c_str(), &first));
    // An empty drive root answers "file not found": a folder without entries, not a failure.
    if (!search && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return nullptr;
    return std::make_unique<PlainListing>(std::move(search), first);
}

bool Win32FolderFileSystem::ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored)
{
    return ChangeFileTimes(path.c_str(), change, stored);
}

bool Win32FolderFileSystem::FolderIdentity(const std::wstring& path, FileIdentity& identity)
{
    FileHandle folder(::CreateFileW(ItemPath(path).c_str(), FILE_READ_ATTRIBUTES, ShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return false;
    return ReadIdentity(folder.get(), identity);
}

bool Win32FolderFileSystem::ReadTimes(const std::wstring& path, FileTimes& times, DWORD& attributes)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(ItemPath(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    times = {FromFILETIME(data.ftCreationTime), FromFILETIME(data.ftLastAccessTime),
             FromFILETIME(data.ftLastWriteTime)};
    attributes = data.dwFileAttributes;
    return true;
}

DWORD Win32FolderFileSystem::Attributes(const std::wstring& path)
{
    return ::GetFileAttributesW(ItemPath(path).c_str());
}

bool Win32FolderFileSystem::CreateEmptyFile(const std::wstring& path)
{
    // OPEN_ALWAYS: a file made in the meantime by someone else is kept as it is.
    FileHandle created(::CreateFileW(ItemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return created.valid();
}

bool Win32FolderFileSystem::ChangeTimesByDate(const std::wstring& path, const TimestampKindSet&,
                                              const DatedTimesChange& change, FileTimes& stored)
{
    return ChangeFileTimesByDate(path.c_str(), change, stored);
}
