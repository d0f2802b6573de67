#include "ui/PageControls.h"

void PointAtFailedControl(HWND page, HWND control)
{
    ::MessageBeep(0xFFFFFFFF);
    ::SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

bool SetControlText(HWND page, int id, const wchar_t* text)
{
    if (::SetDlgItemTextW(page, id, text))
        return true;
    PointAtFailedControl(page, ::GetDlgItem(page, id));
    return false;
}

bool IsChecked(HWND page, int id)
{
    return ::SendDlgItemMessageW(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND page, int id, bool checked)
{
    ::SendDlgItemMessageW(page, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

namespace {

// Moves a span of `size` at `start` so that it ends by `high`, then so that it starts at or
// after `low` (which wins when the span is larger than the range).
LONG KeepInside(LONG start, LONG size, LONG low, LONG high)
{
    if (start + size > high)
        start = high - size;
    if (start < low)
        start = low;
    return start;
}

} // namespace

void CenterOnWorkArea(HWND window)
{
    HWND reference = ::GetWindow(window, GW_OWNER);
    if (reference) {
        const LONG style = ::GetWindowLongW(reference, GWL_STYLE);
        if (!(style & WS_VISIBLE) || (style & WS_MINIMIZE))
            reference = nullptr;
    }

    HMONITOR monitor = ::MonitorFromWindow(reference ? reference : window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !::GetMonitorInfoW(monitor, &info))
        return;
    const RECT work = info.rcWork;

    RECT centre = work;
    if (reference)
        ::GetWindowRect(reference, &centre);
    RECT bounds = {};
    ::GetWindowRect(window, &bounds);
    const LONG width = bounds.right - bounds.left;
    const LONG height = bounds.bottom - bounds.top;

    const LONG x = KeepInside((centre.left + centre.right) / 2 - width / 2, width, work.left, work.right);
    const LONG y = KeepInside((centre.top + centre.bottom) / 2 - height / 2, height, work.top, work.bottom);
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
