#include "tests/support/MessageBoxCapture.h"

#include <algorithm>

MessageBoxCapture* MessageBoxCapture::active_ = nullptr;

std::wstring WindowText(HWND window)
{
    if (!window)
        return std::wstring();
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

MessageBoxCapture::MessageBoxCapture(int answer) : answer_(answer)
{
    active_ = this;
    hook_ = ::SetWindowsHookExW(WH_CBT, &MessageBoxCapture::OnCbtEvent, nullptr, ::GetCurrentThreadId());
}

MessageBoxCapture::~MessageBoxCapture()
{
    if (hook_)
        ::UnhookWindowsHookEx(hook_);
    active_ = nullptr;
}

LRESULT CALLBACK MessageBoxCapture::OnCbtEvent(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && active_)
        active_->Capture(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCapture::Capture(HWND box)
{
    wchar_t className[16] = {};
    ::GetClassNameW(box, className, 16);
    if (std::wstring(className) != L"#32770")
        return;
    // A property sheet is a dialog of the same class; it is no message box.
    if (::FindWindowExW(box, nullptr, L"SysTabControl32", nullptr))
        return;
    if (std::find(answered_.begin(), answered_.end(), box) != answered_.end())
        return;
    answered_.push_back(box);

    CapturedMessageBox captured;
    captured.caption = WindowText(box);
    captured.text = WindowText(::GetDlgItem(box, 0xFFFF));
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        if (::GetDlgItem(box, id))
            captured.buttons.push_back(id);
    }
    boxes_.push_back(std::move(captured));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, answer_)));
}
