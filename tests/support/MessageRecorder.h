#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One property-sheet message as a window received it: a sheet notification (PSN_SETACTIVE ...
// PSN_QUERYINITIALFOCUS) sent to a page, or PSM_CHANGED / PSM_UNCHANGED sent to a sheet.
struct RecordedMessage {
    HWND window = nullptr; // the receiver
    UINT message = 0;      // WM_NOTIFY, PSM_CHANGED or PSM_UNCHANGED
    UINT code = 0;         // the notification code of a WM_NOTIFY
    HWND from = nullptr;   // the notification's sender, or the page PSM_CHANGED names
    bool returned = false; // false on arrival; true once the receiver's procedure returned
    LRESULT result = 0;    // what the procedure returned (a page's PSNRET_* for PSN_APPLY)
};

// While it exists, records those messages as every window of the calling thread receives
// them, on arrival and on return, in order (a WH_CALLWNDPROC and a WH_CALLWNDPROCRET hook).
// An observer, when set, is told of each one as it is recorded, while the message is
// being handled.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    bool Installed() const noexcept { return m_sent != nullptr && m_returned != nullptr; }
    const std::vector<RecordedMessage>& Messages() const noexcept { return m_messages; }
    void Clear() { m_messages.clear(); }
    void SetObserver(std::function<void(const RecordedMessage&)> observer) { m_observer = std::move(observer); }

    // The arrivals only, as "PSN_APPLY" or "PSM_CHANGED", each with the index of its receiver
    // in `windows` ("PSN_APPLY@1"); messages to other windows are left out.
    std::vector<std::string> Arrivals(const std::vector<HWND>& windows) const;

private:
    static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnReturned(int code, WPARAM wParam, LPARAM lParam);
    void Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool returned, LRESULT result);

    static MessageRecorder* s_active;
    HHOOK m_sent = nullptr;
    HHOOK m_returned = nullptr;
    std::vector<RecordedMessage> m_messages;
    std::function<void(const RecordedMessage&)> m_observer;
};

// "PSN_APPLY", "PSM_CHANGED", or the number for a code without a name here.
std::string MessageName(const RecordedMessage& message);
