#include "engine/FileTimeAccess.h"

#include "platform/Handles.h"
#include "platform/ItemPath.h"

#include <cstring>

namespace {

// A program holding the file keeps its access; deleting or renaming it meanwhile is its right.
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Backup semantics open folders too; open-reparse-point gives a link its own times.
constexpr DWORD OpenFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

// All-ones means "unchanged" only on some versions of the platform (elsewhere it stops the
// tracking of later changes, or is rejected), so such a time is not passed at all.
bool SetTimes(HANDLE file, const FileTimes& times)
{
    FILETIME values[TimestampKindCount];
    const FILETIME* pointers[TimestampKindCount];
    for (int k = 0; k < TimestampKindCount; ++k) {
        values[k] = ToFILETIME(times[k]);
        pointers[k] = times[k] == InvalidFileTime ? nullptr : &values[k];
    }
    return ::SetFileTime(file, pointers[Creation], pointers[LastAccess], pointers[LastWrite]) != FALSE;
}

bool AnyTime(const FileTimes& times)
{
    for (FileTime t : times)
        if (t != InvalidFileTime)
            return true;
    return false;
}

// Closes the handle without letting the close disturb the caller's last error.
bool CloseKeepingError(FileHandle& handle, bool result)
{
    const DWORD error = ::GetLastError();
    handle.reset();
    ::SetLastError(error);
    return result;
}

} // namespace

FileHandle OpenForTimes(const wchar_t* path, DWORD access)
{
    return FileHandle(
        ::CreateFileW(ItemPath(path).c_str(), access, ShareAll, nullptr, OPEN_EXISTING, OpenFlags, nullptr));
}

bool ReadOpenTimes(HANDLE item, FileTimes& times)
{
    FILETIME values[TimestampKindCount];
    if (!::GetFileTime(item, &values[Creation], &values[LastAccess], &values[LastWrite]))
        return false;
    for (int k = 0; k < TimestampKindCount; ++k)
        times[k] = FromFILETIME(values[k]);
    return true;
}

bool ReadFileTimes(const wchar_t* path, FileTime* creation, FileTime* lastAccess, FileTime* lastWrite)
{
    FileHandle file = OpenForTimes(path, FILE_READ_ATTRIBUTES);
    if (!file)
        return false;
    FILETIME times[TimestampKindCount] = {};
    const bool read =
        ::GetFileTime(file.get(), creation ? &times[Creation] : nullptr, lastAccess ? &times[LastAccess] : nullptr,
                      lastWrite ? &times[LastWrite] : nullptr) != FALSE;
    if (read) {
        if (creation)
            *creation = FromFILETIME(times[Creation]);
        if (lastAccess)
            *lastAccess = FromFILETIME(times[LastAccess]);
        if (lastWrite)
            *lastWrite = FromFILETIME(times[LastWrite]);
    }
    return CloseKeepingError(file, read);
}

bool ReadFileTimes(const wchar_t* path, FileTimes& times)
{
    return ReadFileTimes(path, &times[Creation], &times[LastAccess], &times[LastWrite]);
}

bool WriteFileTimes(const wchar_t* path, const FileTimes& times)
{
    FileHandle file = OpenForTimes(path, FILE_WRITE_ATTRIBUTES);
    if (!file)
        return false;
    return CloseKeepingError(file, SetTimes(file.get(), times));
}

bool ReadIdentity(HANDLE item, FileIdentity& identity)
{
    FILE_ID_INFO info{};
    if (::GetFileInformationByHandleEx(item, FileIdInfo, &info, sizeof info)) {
        identity.volume = info.VolumeSerialNumber;
        static_assert(sizeof info.FileId.Identifier == sizeof identity.id);
        std::memcpy(identity.id.data(), info.FileId.Identifier, identity.id.size());
        return true;
    }
    // FileIdInfo came with Windows 8 and Server 2012, and not every file system offers it;
    // there the 64-bit index is the identity (the file systems with 128-bit identifiers offer
    // FileIdInfo).
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(item, &information))
        return false;
    identity = {};
    identity.volume = information.dwVolumeSerialNumber;
    const ULONGLONG index = (static_cast<ULONGLONG>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
    std::memcpy(identity.id.data(), &index, sizeof index);
    return true;
}

bool ChangeFileTimes(const wchar_t* path, const TimesChange& change, FileTimes& stored)
{
    FileHandle file = OpenForTimes(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (!file)
        return false;
    FileTimes current;
    if (!ReadOpenTimes(file.get(), current))
        return CloseKeepingError(file, false);
    return StoreTimesAndClose(file, current, change(current), stored);
}

bool StoreTimesAndClose(FileHandle& item, const FileTimes& current, const FileTimes& wanted, FileTimes& stored)
{
    if (!AnyTime(wanted)) {
        stored = current;
        return CloseKeepingError(item, true);
    }
    // Read back on the same handle: the file system answers with what it recorded (FAT keeps
    // two-second steps, a network server its own precision), and that is what a folder's
    // earliest and latest entries must be computed from.
    const bool changed = SetTimes(item.get(), wanted) && ReadOpenTimes(item.get(), stored);
    return CloseKeepingError(item, changed);
}
