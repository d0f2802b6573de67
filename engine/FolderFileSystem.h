#pragma once

#include "engine/FileTime.h"

#include <memory>
#include <string>

// What tells two paths to the same folder apart from different folders.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;

    bool operator==(const FileIdentity&) const = default;
};

// One open listing of a folder's entries, in the order the file system gives them.
class FolderListing {
public:
    virtual ~FolderListing() = default;
    // The next entry, or false at the end of the listing (for whatever reason).
    virtual bool Next(WIN32_FIND_DATAW& entry) = 0;
};

// What the folder walk needs of the file system. The read and write calls fail with the
// cause in GetLastError, as ReadFileTimes and WriteFileTimes do.
class FolderFileSystem {
public:
    virtual ~FolderFileSystem() = default;
    // Starts listing the entries matched by a search pattern ("<folder>\*.*"); on success also
    // gives the folder's full path: the full path of the pattern cut at its last backslash.
    // Null when the folder cannot be listed.
    virtual std::unique_ptr<FolderListing> List(const wchar_t* pattern, std::wstring& folderPath) = 0;
    virtual bool ReadTimes(const wchar_t* path, FileTimes& times) = 0;
    virtual bool WriteTimes(const wchar_t* path, const FileTimes& times) = 0;
    // The identity of the folder a path leads to, links followed.
    virtual bool FolderIdentity(const wchar_t* path, FileIdentity& identity) = 0;
};

// The platform's file system: FindFirstFileW/FindNextFileW, GetFullPathNameW,
// ReadFileTimes, WriteFileTimes and GetFileInformationByHandle.
class Win32FolderFileSystem final : public FolderFileSystem {
public:
    std::unique_ptr<FolderListing> List(const wchar_t* pattern, std::wstring& folderPath) override;
    bool ReadTimes(const wchar_t* path, FileTimes& times) override;
    bool WriteTimes(const wchar_t* path, const FileTimes& times) override;
    bool FolderIdentity(const wchar_t* path, FileIdentity& identity) override;
};
