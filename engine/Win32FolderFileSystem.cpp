#include "engine/FolderFileSystem.h"

#include "platform/Handles.h"
#include "platform/ItemPath.h"

#include <cstring>

namespace {

class Win32FolderListing final : public FolderListing {
public:
    Win32FolderListing(FindHandle search, const WIN32_FIND_DATAW& first) : search_(std::move(search)), first_(first)
    {
        pendingFirst_ = static_cast<bool>(search_);
    }

    bool Next(WIN32_FIND_DATAW& entry) override
    {
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
    WIN32_FIND_DATAW first{};
    FindHandle search(::FindFirstFileW(ItemPath(JoinPath(folder, L"*")).c_str(), &first));
    // A folder's listing holds "." and ".."; a drive root has neither, and an empty root
    // answers "file not found": a folder without entries, not a failure.
    if (!search && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return nullptr;
    return std::make_unique<Win32FolderListing>(std::move(search), first);
}

bool Win32FolderFileSystem::ChangeTimes(const std::wstring& path, const TimesChange& change, FileTimes& stored)
{
    return ChangeFileTimes(path.c_str(), change, stored);
}

bool Win32FolderFileSystem::FolderIdentity(const std::wstring& path, FileIdentity& identity)
{
    FileHandle folder(::CreateFileW(ItemPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder)
        return false;
    FILE_ID_INFO info{};
    if (::GetFileInformationByHandleEx(folder.get(), FileIdInfo, &info, sizeof info)) {
        identity.volume = info.VolumeSerialNumber;
        static_assert(sizeof info.FileId.Identifier == sizeof identity.id);
        std::memcpy(identity.id.data(), info.FileId.Identifier, identity.id.size());
        return true;
    }
    // FileIdInfo came with Windows 8 and Server 2012, and not every file system offers it;
    // there the 64-bit index is the identity (the file systems with 128-bit identifiers offer
    // FileIdInfo).
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(folder.get(), &information))
        return false;
    identity = {};
    identity.volume = information.dwVolumeSerialNumber;
    const ULONGLONG index = (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    std::memcpy(identity.id.data(), &index, sizeof index);
    return true;
}
