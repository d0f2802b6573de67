// Times the folder walk against plain loops doing only the platform calls the same work
// cannot avoid, on a tree of 10,000 files in 200 folders.
//   folder_walk_bench.exe FOLDER      (the tree is made there on first use)

#include "engine/FileTimeAccess.h"
#include "engine/FolderWalk.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int TopFolders = 20;
constexpr int SubfoldersEach = 9;   // 20 + 20 * 9 = 200 folders
constexpr int FilesPerFolder = 50;  // 200 * 50 = 10,000 files
constexpr int FileRepetitions = 5;
constexpr int FolderRepetitions = 15; // a folder run is short, so noisier
constexpr DWORD Share = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD OpenFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

bool MakeFiles(const std::wstring& folder)
{
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (int i = 0; i < FilesPerFolder; ++i) {
        const std::wstring path = folder + L"\\file" + std::to_wstring(i) + L".dat";
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
    }
    return true;
}

bool MakeTree(const std::wstring& root)
{
    const std::wstring marker = root + L"\\tree-complete";
    if (::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    std::wprintf(L"making %d files in %d folders under %ls\n", TopFolders * (1 + SubfoldersEach) * FilesPerFolder,
                 TopFolders * (1 + SubfoldersEach), root.c_str());
    if (!::CreateDirectoryW(root.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (int top = 0; top < TopFolders; ++top) {
        const std::wstring folder = root + L"\\top" + std::to_wstring(top);
        if (!MakeFiles(folder))
            return false;
        for (int sub = 0; sub < SubfoldersEach; ++sub)
            if (!MakeFiles(folder + L"\\sub" + std::to_wstring(sub)))
                return false;
    }
    FileHandle done(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return done.valid();
}

double Seconds()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool IsDotName(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool GetTimes(const wchar_t* path, FILETIME (&times)[3])
{
    FileHandle file(::CreateFileW(path, FILE_READ_ATTRIBUTES, Share, nullptr, OPEN_EXISTING, OpenFlags, nullptr));
    return file && ::GetFileTime(file.get(), &times[0], &times[1], &times[2]);
}

bool SetTimes(const wchar_t* path, const FILETIME (&times)[3])
{
    FileHandle file(::CreateFileW(path, FILE_WRITE_ATTRIBUTES, Share, nullptr, OPEN_EXISTING, OpenFlags, nullptr));
    return file && ::SetFileTime(file.get(), &times[0], &times[1], &times[2]);
}

// Every file: its last-write time set to now, then its times read back.
bool PlainFiles(const std::wstring& folder, FILETIME now)
{
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!search)
        return false;
    std::wstring path = folder + L"\\";
    const std::size_t length = path.size();
    do {
        if (IsDotName(entry.cFileName))
            continue;
        path.resize(length);
        path += entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!PlainFiles(path, now))
                return false;
            continue;
        }
        FILETIME times[3] = {entry.ftCreationTime, entry.ftLastAccessTime, now};
        if (!SetTimes(path.c_str(), times) || !GetTimes(path.c_str(), times))
            return false;
    } while (::FindNextFileW(search.get(), &entry));
    return true;
}

// Every folder: its own times read, its last-write time set to the newest of its entries,
// and read back for its parent.
bool PlainFolders(const std::wstring& folder, FILETIME (&result)[3])
{
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!search)
        return false;
    std::wstring path = folder + L"\\";
    const std::size_t length = path.size();
    ULONGLONG latest = 0;
    do {
        if (IsDotName(entry.cFileName))
            continue;
        FILETIME times[3] = {entry.ftCreationTime, entry.ftLastAccessTime, entry.ftLastWriteTime};
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            path.resize(length);
            path += entry.cFileName;
            if (!PlainFolders(path, times))
                return false;
        }
        latest = std::max(latest, (static_cast<ULONGLONG>(times[2].dwHighDateTime) << 32) | times[2].dwLowDateTime);
    } while (::FindNextFileW(search.get(), &entry));
    search.reset();
    if (!GetTimes(folder.c_str(), result))
        return false;
    result[2] = {static_cast<DWORD>(latest), static_cast<DWORD>(latest >> 32)};
    return SetTimes(folder.c_str(), result) && GetTimes(folder.c_str(), result);
}

ApplyOptions Recursive()
{
    ApplyOptions options;
    options.recursive = true;
    return options;
}

bool WalkFiles(const std::wstring& root)
{
    HandlingRecord general;
    HandlingRecord advanced;
    advanced.operation[LastWrite] = OpCurrentDateTime;
    advanced.now = CurrentFileTime();
    return ApplyToFolder(general, advanced, Recursive(), root, nullptr);
}

// The file walk as it was before each file was opened once: times computed from the listing,
// all three written through one open, then read back through another.
bool EarlierWalkFiles(const std::wstring& folder, const HandlingRecord& advanced)
{
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!search)
        return false;
    std::wstring path = folder + L"\\";
    const std::size_t length = path.size();
    do {
        if (IsDotName(entry.cFileName))
            continue;
        path.resize(length);
        path += entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!EarlierWalkFiles(path, advanced))
                return false;
            continue;
        }
        if (!FileNameSelected(entry.cFileName, nullptr))
            continue;
        FileTimes times = {FromFILETIME(entry.ftCreationTime), FromFILETIME(entry.ftLastAccessTime),
                           FromFILETIME(entry.ftLastWriteTime)};
        ComputeNewTimes(advanced, times, nullptr);
        FILETIME values[3] = {ToFILETIME(times[0]), ToFILETIME(times[1]), ToFILETIME(times[2])};
        if (!SetTimes(path.c_str(), values) || !GetTimes(path.c_str(), values))
            return false;
    } while (::FindNextFileW(search.get(), &entry));
    return true;
}

bool EarlierWalkFiles(const std::wstring& root)
{
    HandlingRecord advanced;
    advanced.operation[LastWrite] = OpCurrentDateTime;
    advanced.now = CurrentFileTime();
    return EarlierWalkFiles(root, advanced);
}

bool WalkFolders(const std::wstring& root)
{
    HandlingRecord general;
    general.operation[LastWrite] = OpLatestEntry;
    general.now = CurrentFileTime();
    HandlingRecord advanced;
    return ApplyToFolder(general, advanced, Recursive(), root, nullptr);
}

struct Timing {
    double walk = 1e9;
    double plain = 1e9;
};

template <class Walk, class Plain>
bool Measure(int repetitions, Walk walk, Plain plain, Timing& timing)
{
    for (int i = 0; i < repetitions; ++i) {
        double start = Seconds();
        if (!walk())
            return false;
        timing.walk = std::min(timing.walk, Seconds() - start);
        start = Seconds();
        if (!plain())
            return false;
        timing.plain = std::min(timing.plain, Seconds() - start);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: folder_walk_bench FOLDER\n");
        return 2;
    }
    wchar_t folder[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, folder, MAX_PATH))
        return 2;
    const std::wstring root = folder;
    if (!MakeTree(root)) {
        std::fwprintf(stderr, L"cannot make the tree under %ls (error %lu)\n", root.c_str(), ::GetLastError());
        return 1;
    }

    Timing files;
    const bool filesDone = Measure(FileRepetitions, [&] { return WalkFiles(root); },
                                   [&] {
                                       FILETIME now;
                                       ::GetSystemTimeAsFileTime(&now);
                                       return PlainFiles(root, now);
                                   },
                                   files);
    Timing folders;
    const bool foldersDone = Measure(FolderRepetitions, [&] { return WalkFolders(root); },
                                     [&] {
                                         FILETIME times[3];
                                         return PlainFolders(root, times);
                                     },
                                     folders);
    Timing before;
    const bool beforeDone = Measure(
        FileRepetitions, [&] { return WalkFiles(root); }, [&] { return EarlierWalkFiles(root); }, before);
    if (!filesDone || !foldersDone || !beforeDone) {
        std::fwprintf(stderr, L"a run failed (error %lu)\n", ::GetLastError());
        return 1;
    }
    std::wprintf(L"files (best of %d): walk %.3f s, plain %.3f s\n", FileRepetitions, files.walk, files.plain);
    std::wprintf(L"walk/plain files: %.2f\n", files.walk / files.plain);
    std::wprintf(L"folders (best of %d): walk %.3f s, plain %.3f s\n", FolderRepetitions, folders.walk,
                 folders.plain);
    std::wprintf(L"walk/plain folders: %.2f\n", folders.walk / folders.plain);
    std::wprintf(L"files (best of %d): walk as it was %.3f s, walk now %.3f s\n", FileRepetitions, before.plain,
                 before.walk);
    std::wprintf(L"walk files before/after: %.2f\n", before.plain / before.walk);
    return 0;
}
