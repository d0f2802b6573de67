#include "metadata/Clipboard.h"

#include "platform/Handles.h"

#include <cstring>

namespace {

// Keeps the clipboard open for a scope.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) noexcept : m_open(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (m_open)
            ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    [[nodiscard]] bool IsOpen() const noexcept { return m_open; }

private:
    bool m_open;
};

} // namespace

bool CopyTextToClipboard(HWND owner, const std::wstring& text)
{
    OpenClipboardScope clipboard(owner);
    if (!clipboard.IsOpen())
        return false;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    {
        GlobalLockScope lock(memory.get());
        if (!lock.data())
            return false;
        std::memcpy(lock.data(), text.c_str(), bytes);
    }
    ::EmptyClipboard();
    // Once set, the memory belongs to the clipboard.
    if (!::SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false;
    memory.release();
    return true;
}
