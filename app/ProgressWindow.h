#pragma once

#include "app/ApplyProgress.h"
#include "platform/Handles.h"

#include <shlobj.h>

// The platform's progress window (IProgressDialog), which runs on a thread of its own, so the
// apply can go on on the user-interface thread: a marquee, three lines and Cancel, modal to
// the sheet that owns it.
class ProgressWindow final : public ProgressDisplay {
public:
    ProgressWindow() = default;
    ~ProgressWindow() override;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    [[nodiscard]] bool Start(HWND owner, const std::wstring& title, const std::wstring& folderLine,
                             const std::wstring& item, const std::wstring& countsLine) override;
    void Update(const std::wstring& item, const std::wstring& countsLine) override;
    bool Cancelled() override;
    void Stop() override;

private:
    void SetLines(const std::wstring& item, const std::wstring& countsLine);

    ComPtr<IProgressDialog> dialog_;
    HWND owner_ = nullptr;
};
