#include "app/ApplyProgress.h"

#include "framework/Module.h"
#include "res/resource.h"
#include "ui/TextFormat.h"

namespace {

// Long enough for a folder's root and last names, short enough for the sentence to fit.
constexpr std::size_t FolderLimit = 30;

} // namespace

std::wstring ProgressFolderText(const std::wstring& folder, UINT textId)
{
    return FillInserts(AppModule().LoadText(textId), {ShortenMiddle(folder, FolderLimit)});
}

std::wstring ProgressSelectionText(std::size_t itemCount, UINT textId)
{
    return FillInserts(AppModule().LoadText(textId), {GroupedNumber(itemCount)});
}

std::wstring ProgressCountsText(const WalkCounts& done)
{
    const std::wstring files =
        FillInserts(AppModule().LoadText(done.files == 1 ? IDS_PROGRESS_ONE_FILE : IDS_PROGRESS_FILES),
                    {GroupedNumber(done.files)});
    const std::wstring folders =
        FillInserts(AppModule().LoadText(done.folders == 1 ? IDS_PROGRESS_ONE_FOLDER : IDS_PROGRESS_FOLDERS),
                    {GroupedNumber(done.folders)});
    return FillInserts(AppModule().LoadText(IDS_PROGRESS_COUNTS), {files, folders});
}

ApplyProgress::ApplyProgress(ProgressDisplay& display, HWND owner, std::wstring subjectLine, Clock clock,
                             ULONGLONG delayMs)
    : display_(display), owner_(owner), subjectLine_(std::move(subjectLine)), clock_(clock), throttle_(clock(), delayMs)
{
}

ApplyProgress::~ApplyProgress()
{
    if (shown_)
        display_.Stop();
}

bool ApplyProgress::Continue(const std::wstring& item, const WalkCounts& done)
{
    if (cancelled_)
        return false;
    if (throttle_.Due(clock_())) {
        if (!started_) {
            started_ = true;
            shown_ = display_.Start(owner_, AppModule().LoadText(IDS_PRODUCT_NAME), subjectLine_, item,
                                    ProgressCountsText(done));
        } else if (shown_) {
            display_.Update(item, ProgressCountsText(done));
        }
    }
    if (shown_ && display_.Cancelled())
        cancelled_ = true;
    return !cancelled_;
}
