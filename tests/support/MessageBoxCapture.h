#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CapturedMessageBox {
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons; // the IDOK ... IDNO buttons the box has
};

// While it exists, every message box the calling thread shows is recorded when it becomes
// active and then answered by clicking the given button, so no test leaves a box open.
class MessageBoxCapture {
public:
    explicit MessageBoxCapture(int answer = IDOK);
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    bool Installed() const noexcept { return hook_ != nullptr; }
    const std::vector<CapturedMessageBox>& Boxes() const noexcept { return boxes_; }

private:
    static LRESULT CALLBACK OnCbtEvent(int code, WPARAM wParam, LPARAM lParam);
    void Capture(HWND box);

    static MessageBoxCapture* active_;
    HHOOK hook_ = nullptr;
    int answer_;
    std::vector<HWND> answered_;
    std::vector<CapturedMessageBox> boxes_;
};

// The text of a window or of one of its controls (GetWindowTextW / GetDlgItemTextW, whole).
std::wstring WindowText(HWND window);
