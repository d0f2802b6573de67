#include "engine/FileTimeAccess.h"

#include "platform/Handles.h"

namespace {

constexpr DWORD ShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
// Backup semantics open folders too; open-reparse-point gives a link its own times.
constexpr DWORD OpenFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

FileHandle OpenForTimes(const wchar_t* path, DWORD access)
{
    return FileHandle(::CreateFileW(path, access, ShareReadWrite, nullptr, OPEN_EXISTING, OpenFlags, nullptr));
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

bool ReadFileTimes(const wchar_t* path, FileTime* creation, FileTime* lastAccess, FileTime* lastWrite)
{
    FileHandle file = OpenForTimes(path, FILE_READ_ATTRIBUTES);
    if (!file)
        return false;
    FILETIME times[TimestampKindCount] = {};
    const bool read = ::GetFileTime(file.get(), creation ? &times[Creation] : nullptr,
                                    lastAccess ? &times[LastAccess] : nullptr,
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
    // All-ones means "unchanged" only on some versions of the platform (elsewhere it stops
    // the tracking of later changes, or is rejected), so such a time is not passed at all.
    FILETIME values[TimestampKindCount];
    const FILETIME* pointers[TimestampKindCount];
    for (int k = 0; k < TimestampKindCount; ++k) {
        values[k] = ToFILETIME(times[k]);
        pointers[k] = times[k] == InvalidFileTime ? nullptr : &values[k];
    }
    const bool written =
        ::SetFileTime(file.get(), pointers[Creation], pointers[LastAccess], pointers[LastWrite]) != FALSE;
    return CloseKeepingError(file, written);
}
