#include "engine/FolderWalk.h"

#include "platform/ItemPath.h"
#include "platform/Result.h"

#include <shlwapi.h>

#include <algorithm>
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

void Fold(TimeExtremes& extremes, const FileTimes& times)
{
    for (int k = 0; k < TimestampKindCount; ++k) {
        extremes.earliest[k] = std::min(extremes.earliest[k], times[k]);
        extremes.latest[k] = std::max(extremes.latest[k], times[k]);
    }
}

// A folder on the current path of the walk.
struct Ancestor {
    explicit Ancestor(std::wstring folder) : path(std::move(folder)) {}

    std::wstring path;
    ListedFileId listed;     // as listed, where known
    bool identified = false; // whether identity holds its full identity yet
    FileIdentity identity;
};

class FolderWalk {
public:
    FolderWalk(FolderFileSystem& fileSystem, const HandlingRecord& general, const HandlingRecord& advanced,
               const ApplyOptions& options, const WalkFailureReporter& reportFailure, WalkShared& shared)
        : fileSystem_(fileSystem), general_(general), advanced_(advanced), options_(options),
          namePatterns_(NamesNoPattern(options.namePatterns.c_str()) ? nullptr : options.namePatterns.c_str()),
          changeFolders_(general.AnyOperation()), changeFiles_(advanced.AnyOperation()), reportFailure_(reportFailure),
          progress_(options.progress), shared_(shared), done_(shared.done)
    {
    }

    WalkOutcome WalkTarget(const std::wstring& folder)
    {
        if (!GoOn(folder))
            return outcome_;
        ancestors_.emplace_back(folder);
        if (shared_.ledger) {
            // One volume query for the walk: every item it reaches is known by its listed
            // identifier on this volume (where it cannot be told, by its path).
            Ancestor& target = ancestors_.back();
            target.identified = fileSystem_.FolderIdentity(folder, target.identity);
            volumeKnown_ = target.identified;
            volume_ = target.identity.volume;
        }
        FileTimes stored;
        return Walk(folder, stored) ? WalkOutcome::Finished : outcome_;
    }

private:
    // Walks a folder's entries, then writes the folder and gives the times it then holds
    // (without folder operations, stored keeps what it held: the folder's listed times). The
    // progress sink has already been asked about entering it.
    bool Walk(const std::wstring& folder, FileTimes& stored)
    {
        TimeExtremes extremes;
        bool folded = false;
        if (!WalkEntries(folder, extremes, folded))
            return false;
        // Without folder operations a folder's own times matter to no one: its listed ones stand.
        if (!changeFolders_) {
            ++done_.folders;
            return true;
        }
        if (!GoOn(folder))
            return false;
        bool refused = false;
        const auto change = [&](const FileTimes& current) {
            // An earliest/latest operation on a folder without entries keeps its own time.
            if (!folded)
                Fold(extremes, current);
            return TimesToWriteOrRefuse(general_, current, &extremes, refused);
        };
        // The walk's own folder is written in its own turn; a subfolder only if no other turn has it.
        if (!Change(folder, change, ancestors_.size() == 1, ancestors_.back().listed, stored))
            return Fail(folder);
        if (refused)
            return Fail(folder, UnwritableTimeResult);
        ++done_.folders;
        return true;
    }

    bool WalkEntries(const std::wstring& folder, TimeExtremes& extremes, bool& folded)
    {
        const std::unique_ptr<FolderListing> listing = fileSystem_.List(folder);
        if (!listing)
            return Fail(folder);
        WIN32_FIND_DATAW entry;
        ListedFileId listedId;
        for (;;) {
            if (!listing->Next(entry, listedId)) {
                if (::GetLastError() == ERROR_NO_MORE_FILES)
                    return true;
                return Fail(folder);
            }
            // "." is the folder itself, as listed: what its subfolders' entries are compared with.
            if (entry.cFileName[0] == L'.' && entry.cFileName[1] == 0 && listedId.known)
                ancestors_.back().listed = listedId;
            const DWORD attributes = entry.dwFileAttributes;
            if (options_.excludeSystem && (attributes & FILE_ATTRIBUTE_SYSTEM))
                continue;
            if (options_.excludeHidden && (attributes & FILE_ATTRIBUTE_HIDDEN))
                continue;
            FileTimes times = ListedTimes(entry);
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (IsDotName(entry.cFileName))
                    continue;
                if (options_.recursive &&
                    !WalkSubfolder(JoinPath(folder, entry.cFileName), attributes, listedId, times))
                    return false;
            } else if (changeFiles_ && FileNameSelected(entry.cFileName, namePatterns_)) {
                const std::wstring path = JoinPath(folder, entry.cFileName);
                if (!GoOn(path))
                    return false;
                bool refused = false;
                const auto claim = [&] { return Claim(path, false, listedId); };
                if (!ChangeFileUnder(fileSystem_, path, advanced_, claim, shared_.withoutDate, refused, times))
                    return Fail(path);
                if (refused)
                    return Fail(path, UnwritableTimeResult);
                ++done_.files;
            }
            Fold(extremes, times);
            folded = true;
        }
    }

    // A subfolder that is one of the folders on the current path would make the walk endless,
    // whether it is a link the listing flags or one a server follows unseen: it is not entered
    // and counts with its listed times, as a subfolder does without recursion.
    bool WalkSubfolder(const std::wstring& path, DWORD attributes, const ListedFileId& listedId, FileTimes& times)
    {
        if (!GoOn(path))
            return false;
        Ancestor subfolder(path);
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            subfolder.listed = listedId;
        bool loops = false;
        if (!CheckForLoop(subfolder, attributes, loops))
            return false;
        if (loops)
            return true;
        ancestors_.push_back(std::move(subfolder));
        const bool walked = Walk(path, times);
        ancestors_.pop_back();
        return walked;
    }

    // The listing's identifiers rule most subfolders out at no cost: a folder that is not a
    // link and whose listed identifier is none of the ancestors' (each taken from its own "."
    // entry) is none of them. Links, folders listed without an identifier, ancestors without
    // one (a drive root lists no "."), and listed matches are decided by the full identity
    // (volume and file identifier, as the opened folder reports them).
    bool CheckForLoop(Ancestor& subfolder, DWORD attributes, bool& loops)
    {
        loops = false;
        bool decide = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !subfolder.listed.known;
        for (const Ancestor& ancestor : ancestors_)
            decide = decide || !ancestor.listed.known || ancestor.listed == subfolder.listed;
        if (!decide)
            return true;
        if (!Identify(subfolder))
            return false;
        for (Ancestor& ancestor : ancestors_) {
            if (!Identify(ancestor))
                return false;
            // A file system that tells no identities (all zero) cannot show a loop this way.
            if (ancestor.identity.SameItemAs(subfolder.identity)) {
                loops = true;
                shared_.skippedLoops.push_back({subfolder.path, ancestor.path});
                return true;
            }
        }
        return true;
    }

    // Reads and writes an item once. With a ledger, an item it does not let this turn claim
    // is read and left as it is.
    bool Change(const std::wstring& path, const TimesChange& change, bool ownTurn, const ListedFileId& listed,
                FileTimes& stored)
    {
        if (!shared_.ledger)
            return fileSystem_.ChangeTimes(path, change, stored);
        const auto claimed = [&](const FileTimes& current) {
            if (!Claim(path, ownTurn, listed))
                return FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime};
            return change(current);
        };
        return fileSystem_.ChangeTimes(path, claimed, stored);
    }

    // Whether the selection's ledger, if any, leaves the item to this turn to write.
    bool Claim(const std::wstring& path, bool ownTurn, const ListedFileId& listed)
    {
        WriteLedger* const ledger = shared_.ledger;
        if (!ledger)
            return true;
        // The identity as the listing names it, on the walk's volume: the currency the
        // selection's own items are known in.
        const FileIdentity identity = listed.known && volumeKnown_ ? FileIdentity{volume_, listed.id} : FileIdentity{};
        return ledger->Claim(identity, path, ownTurn);
    }

    bool Identify(Ancestor& folder)
    {
        if (!folder.identified) {
            if (!fileSystem_.FolderIdentity(folder.path, folder.identity))
                return Fail(folder.path);
            folder.identified = true;
        }
        return true;
    }

    // Asks the progress sink, if any, whether the walk may touch this item.
    bool GoOn(const std::wstring& item)
    {
        if (progress_ && !progress_->Continue(item, done_)) {
            outcome_ = WalkOutcome::Stopped;
            return false;
        }
        return true;
    }

    bool Fail(const std::wstring& path) { return Fail(path, LastErrorResult()); }

    bool Fail(const std::wstring& path, HRESULT code)
    {
        if (reportFailure_)
            reportFailure_(code, path);
        outcome_ = WalkOutcome::Failed;
        return false;
    }

    FolderFileSystem& fileSystem_;
    const HandlingRecord& general_;
    const HandlingRecord& advanced_;
    const ApplyOptions& options_;
    const wchar_t* namePatterns_;
    const bool changeFolders_;
    const bool changeFiles_;
    const WalkFailureReporter& reportFailure_;
    WalkProgress* const progress_;
    WalkShared& shared_;
    WalkCounts& done_;
    bool volumeKnown_ = false;
    ULONGLONG volume_ = 0;
    WalkOutcome outcome_ = WalkOutcome::Finished; // how the walk ended, once a step has ended it
    std::vector<Ancestor> ancestors_;             // the folders on the current path, from the target down
};

} // namespace

bool FileNameSelected(const wchar_t* name, const wchar_t* namePatterns)
{
    if (!namePatterns || NamesNoPattern(namePatterns))
        return true;
    return ::PathMatchSpecExW(name, namePatterns, PMSF_MULTIPLE) == S_OK;
}

WalkOutcome ApplyToFolder(FolderFileSystem& fileSystem, const HandlingRecord& general, const HandlingRecord& advanced,
                          const ApplyOptions& options, const std::wstring& folder,
                          const WalkFailureReporter& reportFailure)
{
    WalkShared shared;
    return ApplyToFolder(fileSystem, general, advanced, options, folder, reportFailure, shared);
}

WalkOutcome ApplyToFolder(FolderFileSystem& fileSystem, const HandlingRecord& general, const HandlingRecord& advanced,
                          const ApplyOptions& options, const std::wstring& folder,
                          const WalkFailureReporter& reportFailure, WalkShared& shared)
{
    if (!general.AnyOperation() && !advanced.AnyOperation())
        return WalkOutcome::Finished;
    FolderWalk walk(fileSystem, general, advanced, options, reportFailure, shared);
    return walk.WalkTarget(folder);
}

WalkOutcome ApplyToFolder(const HandlingRecord& general, const HandlingRecord& advanced, const ApplyOptions& options,
                          const std::wstring& folder, const WalkFailureReporter& reportFailure)
{
    Win32FolderFileSystem fileSystem;
    return ApplyToFolder(fileSystem, general, advanced, options, folder, reportFailure);
}
