#include "engine/FolderFileSystem.h"

#include "engine/FileTimeAccess.h"
#include "platform/Handles.h"

#include <string_view>

namespace {

class Win32FolderListing final : public FolderListing {
public:
    Win32FolderListing(FindHandle search, const WIN32_FIND_DATAW& first) : search_(std::move(search)), first_(first) {}

    bool Next(WIN32_FIND_DATAW& entry) override
    {
        if (pendingFirst_) {
            pendingFirst_ = false;
            entry = first_;
            return true;
        }
        return ::FindNextFileW(search_.get(), &entry) != FALSE;
    }

private:
    FindHandle search_;
    WIN32_FIND_DATAW first_;
    bool pendingFirst_ = true;
};

} // namespace

std::unique_ptr<FolderListing> Win32FolderFileSystem::List(const wchar_t* pattern, std::wstring& folderPath)
{
    WIN32_FIND_DATAW first;
    FindHandle search(::FindFirstFileW(pattern, &first));
    if (!search)
        return nullptr;
    wchar_t full[MAX_PATH];
    wchar_t* namePart = nullptr;
    const DWORD length = ::GetFullPathNameW(pattern, MAX_PATH, full, &namePart);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring_view path(full, length);
    const auto cut = path.find_last_of(L'\\');
    if (cut == std::wstring_view::npos)
        return nullptr;
    folderPath.assign(path.substr(0, cut));
    return std::make_unique<Win32FolderListing>(std::move(search), first);
}

bool Win32FolderFileSystem::ReadTimes(const wchar_t* path, FileTimes& times)
{
    return ReadFileTimes(path, times);
}

bool Win32FolderFileSystem::WriteTimes(const wchar_t* path, const FileTimes& times)
{
    return WriteFileTimes(path, times);
}

bool Win32FolderFileSystem::FolderIdentity(const wchar_t* path, FileIdentity& identity)
{
    FileHandle folder(::CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information;
    if (!folder || !::GetFileInformationByHandle(folder.get(), &information))
        return false;
    identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
    return true;
}
