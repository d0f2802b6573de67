#include "tests/support/MessageRecorder.h"

#include <prsht.h>

#include <algorithm>

MessageRecorder* MessageRecorder::s_active = nullptr;

namespace {

bool IsSheetNotification(UINT code)
{
    const int value = static_cast<int>(code);
    return value <= -200 && value >= -213;
}

} // namespace

MessageRecorder::MessageRecorder()
{
    s_active = this;
    m_sent = ::SetWindowsHookExW(WH_CALLWNDPROC, &MessageRecorder::OnSent, nullptr, ::GetCurrentThreadId());
    m_returned = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &MessageRecorder::OnReturned, nullptr, ::GetCurrentThreadId());
}

MessageRecorder::~MessageRecorder()
{
    if (m_sent)
        ::UnhookWindowsHookEx(m_sent);
    if (m_returned)
        ::UnhookWindowsHookEx(m_returned);
    s_active = nullptr;
}

LRESULT CALLBACK MessageRecorder::OnSent(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && s_active) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        s_active->Record(sent->hwnd, sent->message, sent->wParam, sent->lParam, false, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageRecorder::OnReturned(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && s_active) {
        const auto* done = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        s_active->Record(done->hwnd, done->message, done->wParam, done->lParam, true, done->lResult);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageRecorder::Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool returned, LRESULT result)
{
    RecordedMessage recorded;
    recorded.window = window;
    recorded.message = message;
    recorded.returned = returned;
    recorded.result = result;
    if (message == WM_NOTIFY && lParam) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!IsSheetNotification(header->code))
            return;
        recorded.code = header->code;
        recorded.from = header->hwndFrom;
    } else if (message == PSM_CHANGED || message == PSM_UNCHANGED) {
        recorded.from = reinterpret_cast<HWND>(wParam);
    } else {
        return;
    }
    m_messages.push_back(recorded);
    if (m_observer)
        m_observer(m_messages.back());
}

std::vector<std::string> MessageRecorder::Arrivals(const std::vector<HWND>& windows) const
{
    std::vector<std::string> arrivals;
    for (const RecordedMessage& message : m_messages) {
        const auto found = std::find(windows.begin(), windows.end(), message.window);
        if (message.returned || found == windows.end())
            continue;
        arrivals.push_back(MessageName(message) + "@" + std::to_string(found - windows.begin()));
    }
    return arrivals;
}

std::string MessageName(const RecordedMessage& message)
{
    if (message.message == PSM_CHANGED)
        return "PSM_CHANGED";
    if (message.message == PSM_UNCHANGED)
        return "PSM_UNCHANGED";
    switch (message.code) {
    case PSN_SETACTIVE:
        return "PSN_SETACTIVE";
    case PSN_KILLACTIVE:
        return "PSN_KILLACTIVE";
    case PSN_APPLY:
        return "PSN_APPLY";
    case PSN_RESET:
        return "PSN_RESET";
    case PSN_QUERYCANCEL:
        return "PSN_QUERYCANCEL";
    case PSN_QUERYINITIALFOCUS:
        return "PSN_QUERYINITIALFOCUS";
    case PSN_TRANSLATEACCELERATOR:
        return "PSN_TRANSLATEACCELERATOR";
    default:
        return std::to_string(static_cast<int>(message.code));
    }
}
