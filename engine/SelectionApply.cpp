#include "engine/SelectionApply.h"

#include "platform/ItemPath.h"
#include "platform/Result.h"

#include <map>
#include <memory>

namespace {

bool IsFolder(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

class SelectionApply {
public:
    SelectionApply(FolderFileSystem& fileSystem, const ApplyChoices& choices, const std::vector<SelectedItem>& items)
        : fileSystem_(fileSystem), choices_(choices), items_(items)
    {
    }

    ApplyReport Run()
    {
        identities_.resize(items_.size());
        if (items_.size() > 1 && MayWriteAnItemTwiceDifferently()) {
            ledger_ = std::make_unique<WriteLedger>();
            shared_.ledger = ledger_.get();
            IdentifySelectedItems();
            ReserveSelectedItems();
        }
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (!Apply(i))
                break;
        }
        return Finish();
    }

private:
    // Only a selected folder's walk reaches items beyond the selection, and only an operation
    // that changes a file again on a second write makes a file selected twice (a hard link, a
    // second spelling of its path) come out wrong. Without either, the selection's listings
    // would cost more than they can save: a file written twice gets the same times twice, and
    // the undo record keeps only the write that changed it.
    [[nodiscard]] bool MayWriteAnItemTwiceDifferently() const
    {
        for (const SelectedItem& item : items_) {
            // An item made by the apply might be a folder by then.
            if (item.wasFolder || !item.existed)
                return true;
        }
        return !choices_.general.RewritesTheSame();
    }

    // Each selected item's identity, from its folder's listing: one listing and one volume
    // query per folder, instead of a query per item (a volume query costs as much as an open).
    // An item its folder's listing does not name, or names without an identifier, stays
    // unknown and is known by its path.
    void IdentifySelectedItems()
    {
        std::map<std::wstring, std::vector<std::size_t>> byFolder;
        for (std::size_t i = 0; i < items_.size(); ++i)
            byFolder[CaseFolded(ParentPath(items_[i].path))].push_back(i);
        for (const auto& [folded, members] : byFolder) {
            const std::wstring folder = ParentPath(items_[members.front()].path);
            FileIdentity folderIdentity;
            if (!fileSystem_.FolderIdentity(folder, folderIdentity))
                continue;
            const std::unique_ptr<FolderListing> listing = fileSystem_.List(folder);
            if (!listing)
                continue;
            std::map<std::wstring, ListedFileId> listed;
            WIN32_FIND_DATAW entry;
            ListedFileId id;
            while (listing->Next(entry, id)) {
                if (id.known)
                    listed.emplace(CaseFolded(entry.cFileName), id);
            }
            for (const std::size_t i : members) {
                const auto found = listed.find(CaseFolded(PathName(items_[i].path)));
                if (found != listed.end())
                    identities_[i] = FileIdentity{folderIdentity.volume, found->second.id};
            }
        }
    }

    // A walk of one selected folder must leave the items selected after it to their own turn.
    void ReserveSelectedItems()
    {
        bool anyFolder = false;
        for (const SelectedItem& item : items_)
            anyFolder = anyFolder || item.wasFolder;
        if (!anyFolder || !WalksEnterFolders())
            return;
        for (std::size_t i = 0; i < items_.size(); ++i)
            ledger_->Reserve(identities_[i], items_[i].path);
    }

    // Whether a walk reaches anything inside a selected folder.
    [[nodiscard]] bool WalksEnterFolders() const
    {
        return choices_.advanced.AnyOperation() || (choices_.options.recursive && choices_.general.AnyOperation());
    }

    bool Apply(std::size_t index)
    {
        const SelectedItem& item = items_[index];
        // A file that was there is opened once, for its times, as the walk opens its files: a
        // separate look at what it is would cost as much as the open. One that has gone fails
        // there with its cause.
        const DWORD attributes =
            item.existed && !item.wasFolder ? FILE_ATTRIBUTE_NORMAL : fileSystem_.Attributes(item.path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = ::GetLastError();
            // Only an item that was not there when the sheet opened is made; a folder that has
            // gone since is never replaced by a file.
            if (!IsMissing(error) || item.existed || item.wasFolder)
                return Fail(item.path, HResultFromWin32(error ? error : ERROR_FILE_NOT_FOUND));
            if (!fileSystem_.CreateEmptyFile(item.path))
                return Fail(item.path, LastErrorResult());
        }
        // The walk asks the progress sink itself before it touches a folder.
        if (IsFolder(attributes))
            return ApplyToFolderItem(item);
        WalkProgress* const progress = choices_.options.progress;
        if (progress && !progress->Continue(item.path, shared_.done)) {
            report_.outcome = WalkOutcome::Stopped;
            return false;
        }
        return ApplyToFileItem(item, identities_[index]);
    }

    bool ApplyToFolderItem(const SelectedItem& item)
    {
        const auto failed = [this](HRESULT code, const std::wstring& path) {
            report_.failure = code;
            report_.failedPath = path;
        };
        const WalkOutcome outcome = ApplyToFolder(fileSystem_, choices_.general, choices_.advanced, choices_.options,
                                                  item.path, failed, shared_);
        report_.outcome = outcome;
        return outcome == WalkOutcome::Finished;
    }

    bool ApplyToFileItem(const SelectedItem& item, const FileIdentity& identity)
    {
        // A file has no entries: the folder operations leave their kinds as they are.
        const HandlingRecord& general = choices_.general;
        FileTimes stored{};
        bool done = true;
        // A time that cannot be written is found before anything of the item is written.
        bool refused = false;
        if (!general.AnyOperation()) {
            done = true;
        } else {
            const auto claim = [&] { return !ledger_ || ledger_->Claim(identity, item.path, true); };
            done = ChangeFileUnder(fileSystem_, item.path, general, claim, shared_.withoutDate, refused, stored);
        }
        if (!done)
            return Fail(item.path, LastErrorResult());
        if (refused)
            return Fail(item.path, UnwritableTimeResult);
        ++shared_.done.files;
        return true;
    }

    bool Fail(const std::wstring& path, HRESULT code)
    {
        report_.outcome = WalkOutcome::Failed;
        report_.failure = code;
        report_.failedPath = path;
        return false;
    }

    ApplyReport Finish()
    {
        report_.done = shared_.done;
        report_.skippedLoops = std::move(shared_.skippedLoops);
        report_.withoutDate = std::move(shared_.withoutDate);
        return std::move(report_);
    }

    FolderFileSystem& fileSystem_;
    const ApplyChoices& choices_;
    const std::vector<SelectedItem>& items_;
    std::vector<FileIdentity> identities_; // of each item, where its folder's listing names it
    std::unique_ptr<WriteLedger> ledger_;
    WalkShared shared_;
    ApplyReport report_;
};

} // namespace

ApplyReport ApplySelection(FolderFileSystem& fileSystem, const ApplyChoices& choices,
                           const std::vector<SelectedItem>& items)
{
    SelectionApply apply(fileSystem, choices, items);
    return apply.Run();
}
