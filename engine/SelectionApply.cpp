#include "engine/SelectionApply.h"

#include "platform/Result.h"

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
        if (items_.size() > 1) {
            ledger_ = std::make_unique<WriteLedger>();
            shared_.ledger = ledger_.get();
            if (!ReserveSelectedItems())
                return Finish();
        }
        for (const SelectedItem& item : items_) {
            if (!Apply(item))
                break;
        }
        return Finish();
    }

private:
    // A walk of one selected folder must leave the items selected after it to their own turn,
    // which it can only tell once it knows them. Without folders no walk runs, and the
    // ledger's record of what was written already keeps duplicates out; nothing is opened
    // in advance then.
    bool ReserveSelectedItems()
    {
        bool anyFolder = false;
        for (const SelectedItem& item : items_)
            anyFolder = anyFolder || item.wasFolder;
        if (!anyFolder || !WalksEnterFolders())
            return true;
        for (const SelectedItem& item : items_) {
            FileIdentity identity;
            if (!fileSystem_.FolderIdentity(item.path, identity)) {
                // A missing item is reported in its turn; other causes stop here.
                if (IsMissing(::GetLastError()))
                    continue;
                return Fail(item.path, LastErrorResult());
            }
            ledger_->Reserve(identity, item.path);
        }
        return true;
    }

    // Whether a walk reaches anything inside a selected folder.
    [[nodiscard]] bool WalksEnterFolders() const
    {
        return choices_.advanced.AnyOperation() || (choices_.options.recursive && choices_.general.AnyOperation());
    }

    bool Apply(const SelectedItem& item)
    {
        const DWORD attributes = fileSystem_.Attributes(item.path);
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
        return ApplyToFileItem(item);
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

    bool ApplyToFileItem(const SelectedItem& item)
    {
        // A file has no entries: the folder operations leave their kinds as they are.
        const HandlingRecord& general = choices_.general;
        FileTimes stored{};
        bool done = true;
        // A time that cannot be written is found before anything of the item is written.
        bool refused = false;
        if (!general.AnyOperation()) {
            done = true;
        } else if (ledger_) {
            const auto change = [&](const FileTimes& current, const FileIdentity& identity) {
                if (!ledger_->Claim(identity, item.path, true))
                    return FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime};
                return TimesToWriteOrRefuse(general, current, nullptr, refused);
            };
            done = fileSystem_.ChangeIdentifiedTimes(item.path, change, stored);
        } else {
            const auto change = [&](const FileTimes& current) {
                return TimesToWriteOrRefuse(general, current, nullptr, refused);
            };
            done = fileSystem_.ChangeTimes(item.path, change, stored);
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
        return std::move(report_);
    }

    FolderFileSystem& fileSystem_;
    const ApplyChoices& choices_;
    const std::vector<SelectedItem>& items_;
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
