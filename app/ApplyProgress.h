#pragma once

#include "engine/ProgressThrottle.h"
#include "engine/WalkProgress.h"
#include "res/resource.h"

#include <windows.h>

#include <string>

// What shows the progress of a folder apply to the user: the platform's progress window, or
// a stand-in where no window is wanted.
class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    // Brings the display up, owned by and modal to `owner`, with its first texts; false when it
    // cannot be shown (the apply then goes on without it).
    [[nodiscard]] virtual bool Start(HWND owner, const std::wstring& title, const std::wstring& folderLine,
                                     const std::wstring& item, const std::wstring& countsLine) = 0;
    // The item at hand and the counts so far.
    virtual void Update(const std::wstring& item, const std::wstring& countsLine) = 0;
    // Whether the user has asked to stop.
    virtual bool Cancelled() = 0;
    virtual void Stop() = 0;
};

// The first line of the progress window: what is being done, and to which folder (a long
// path shortened in the middle), or to how many selected items. The text is the apply's
// unless another string (with the same insert) is named.
std::wstring ProgressFolderText(const std::wstring& folder, UINT textId = IDS_PROGRESS_FOLDER);
std::wstring ProgressSelectionText(std::size_t itemCount, UINT textId = IDS_PROGRESS_SELECTION);
// The third line: "1,234 files, 56 folders", with the user's digit grouping.
std::wstring ProgressCountsText(const WalkCounts& done);

// Follows a folder apply on the display: nothing is shown for the first second, so a short
// apply looks as it always did; then the display comes up and is brought up to date at most
// ten times a second. Once it is up, every item asks whether the user has cancelled, so a
// cancel stops the walk at the next item. The display is stopped when this object ends.
class ApplyProgress : public WalkProgress {
public:
    using Clock = ULONGLONG(WINAPI*)();

    // subjectLine is the window's first line (ProgressFolderText, ProgressSelectionText). The
    // clock and the delay are for measuring and testing.
    ApplyProgress(ProgressDisplay& display, HWND owner, std::wstring subjectLine, Clock clock = ::GetTickCount64,
                  ULONGLONG delayMs = ProgressThrottle::StartDelayMs);
    ~ApplyProgress() override;
    ApplyProgress(const ApplyProgress&) = delete;
    ApplyProgress& operator=(const ApplyProgress&) = delete;

    [[nodiscard]] bool Continue(const std::wstring& item, const WalkCounts& done) override;

    // Whether the display came up, and whether the user stopped the walk.
    [[nodiscard]] bool Shown() const noexcept { return shown_; }
    [[nodiscard]] bool Cancelled() const noexcept { return cancelled_; }

private:
    ProgressDisplay& display_;
    HWND owner_;
    std::wstring subjectLine_;
    Clock clock_;
    ProgressThrottle throttle_;
    bool started_ = false; // the display was asked to come up (once)
    bool shown_ = false;
    bool cancelled_ = false;
};
