#include "engine/FolderWalk.h"

#include <shlwapi.h>

#include <cwchar>
#include <vector>

namespace {

bool NamesNoPattern(const wchar_t* patterns)
{
    for (const wchar_t* p = patterns; *p; ++p)
        if (*p != L' ' && *p != L';')
            return false;
    return true;
}

bool IsDotName(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

FileTimes ListedTimes(const WIN32_FIND_DATAW& entry)
{
    return {FromFILETIME(entry.ftCreationTime), FromFILETIME(entry.ftLastAccessTime),
            FromFILETIME(entry.ftLastWriteTime)};
}

class FolderWalk {
public:
    FolderWalk(FolderFileSystem& fileSystem, const HandlingRecord& general, const HandlingRecord& advanced,
               const ApplyOptions& options, const wchar_t* namePatterns, bool recursive,
               const WalkFailureReporter& reportFailure)
        : fileSystem_(fileSystem), general_(general), advanced_(advanced), namePatterns_(namePatterns),
          recursive_(recursive), excludeSystem_(options.excludeSystem), excludeHidden_(options.excludeHidden),
          changeFolders_(general.AnyOperation()), changeFiles_(advanced.AnyOperation()),
          reportFailure_(reportFailure)
    {
        if (namePatterns_ && NamesNoPattern(namePatterns_))
            namePatterns_ = nullptr;
    }

    bool Walk(const wchar_t* folder)
    {
        TimeExtremes extremes;
        bool folded = false;
        FileTimes times;
        ancestors_.push_back({folder, false, false, {}});
        const bool listed = WalkEntries(folder, extremes, folded);
        ancestors_.pop_back();
        if (!listed)
            return false;
        if (!fileSystem_.ReadTimes(folder, times))
            return Fail(folder);
        if (!folded) {
            // An earliest/latest operation on a folder without entries keeps its own time.
            for (int k = 0; k < TimestampKindCount; ++k)
                extremes.earliest[k] = extremes.latest[k] = times[k];
        }
        if (changeFolders_) {
            ComputeNewTimes(general_, times, &extremes);
            if (!fileSystem_.WriteTimes(folder, times))
                return Fail(folder);
        }
        return true;
    }

private:
    bool WalkEntries(const wchar_t* folder, TimeExtremes& extremes, bool& folded)
    {
        wchar_t pattern[MAX_PATH];
        if (!BuildSearchPattern(folder, pattern))
            return true;
        std::wstring path;
        std::unique_ptr<FolderListing> listing = fileSystem_.List(pattern, path);
        if (!listing)
            return true;
        if (path.empty() || path.back() != L'\\')
            path += L'\\';
        const std::size_t folderLength = path.size();
        path.reserve(folderLength + MAX_PATH);

        WIN32_FIND_DATAW entry;
        while (listing->Next(entry)) {
            const DWORD attributes = entry.dwFileAttributes;
            if (excludeSystem_ && (attributes & FILE_ATTRIBUTE_SYSTEM))
                continue;
            if (excludeHidden_ && (attributes & FILE_ATTRIBUTE_HIDDEN))
                continue;
            FileTimes times = ListedTimes(entry);
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (IsDotName(entry.cFileName))
                    continue;
                if (recursive_) {
                    path.resize(folderLength);
                    path += entry.cFileName;
                    // A link back to a folder being walked would make the tree endless: it
                    // counts with its listed times, as a subfolder does without recursion.
                    const bool loops =
                        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && LeadsToAncestor(path.c_str());
                    if (!loops) {
                        if (!Walk(path.c_str()))
                            return false;
                        if (!fileSystem_.ReadTimes(path.c_str(), times))
                            return Fail(path.c_str());
                    }
                }
            } else if (changeFiles_ && FileNameSelected(entry.cFileName, namePatterns_)) {
                path.resize(folderLength);
                path += entry.cFileName;
                ComputeNewTimes(advanced_, times, nullptr);
                if (!fileSystem_.WriteTimes(path.c_str(), times) || !fileSystem_.ReadTimes(path.c_str(), times))
                    return Fail(path.c_str());
            }
            for (int k = 0; k < TimestampKindCount; ++k) {
                if (times[k] < extremes.earliest[k])
                    extremes.earliest[k] = times[k];
                if (times[k] > extremes.latest[k])
                    extremes.latest[k] = times[k];
            }
            folded = true;
        }
        return true;
    }

    bool LeadsToAncestor(const wchar_t* link)
    {
        FileIdentity target;
        if (!fileSystem_.FolderIdentity(link, target))
            return false;
        for (Ancestor& ancestor : ancestors_) {
            if (!ancestor.identified) {
                ancestor.identified = true;
                ancestor.known = fileSystem_.FolderIdentity(ancestor.path, ancestor.identity);
            }
            if (ancestor.known && ancestor.identity == target)
                return true;
        }
        return false;
    }

    bool Fail(const wchar_t* path)
    {
        const HRESULT code = HRESULT_FROM_WIN32(::GetLastError());
        if (reportFailure_)
            reportFailure_(code, std::wstring(path));
        return false;
    }

    FolderFileSystem& fileSystem_;
    const HandlingRecord& general_;
    const HandlingRecord& advanced_;
    const wchar_t* namePatterns_;
    const bool recursive_;
    const bool excludeSystem_;
    const bool excludeHidden_;
    const bool changeFolders_;
    const bool changeFiles_;
    const WalkFailureReporter& reportFailure_;

    // The folders on the current path, from the target down; identified only once a link
    // needs comparing with them.
    struct Ancestor {
        const wchar_t* path;
        bool identified = false;
        bool known = false;
        FileIdentity identity;
    };
    std::vector<Ancestor> ancestors_;
};

} // namespace

bool BuildSearchPattern(const wchar_t* folder, wchar_t (&pattern)[MAX_PATH])
{
    const std::size_t length = std::wcslen(folder);
    if (length >= MAX_PATH)
        return false;
    std::wmemcpy(pattern, folder, length + 1);
    // PathAppendW empties the buffer when the result does not fit; an empty or cut pattern
    // would list something other than the folder's entries.
    if (!::PathAppendW(pattern, L"*.*"))
        return false;
    const std::size_t patternLength = std::wcslen(pattern);
    return patternLength >= 4 && std::wcscmp(pattern + patternLength - 4, L"\\*.*") == 0;
}

bool FileNameSelected(const wchar_t* name, const wchar_t* namePatterns)
{
    if (!namePatterns || NamesNoPattern(namePatterns))
        return true;
    return ::PathMatchSpecExW(name, namePatterns, PMSF_MULTIPLE) == S_OK;
}

bool ApplyToFolder(FolderFileSystem& fileSystem, const HandlingRecord& general, const HandlingRecord& advanced,
                   const ApplyOptions& options, const wchar_t* folder, const wchar_t* namePatterns,
                   bool recursive, const WalkFailureReporter& reportFailure)
{
    if (!general.AnyOperation() && !advanced.AnyOperation())
        return true;
    FolderWalk walk(fileSystem, general, advanced, options, namePatterns, recursive, reportFailure);
    return walk.Walk(folder);
}

bool ApplyToFolder(const HandlingRecord& general, const HandlingRecord& advanced, const ApplyOptions& options,
                   const wchar_t* folder, const wchar_t* namePatterns, bool recursive,
                   const WalkFailureReporter& reportFailure)
{
    Win32FolderFileSystem fileSystem;
    return ApplyToFolder(fileSystem, general, advanced, options, folder, namePatterns, recursive, reportFailure);
}
