#include "framework/MessageLoop.h"

#include <algorithm>

namespace {

template <class T> bool AddUnique(std::vector<T*>& list, T* item)
{
    if (!item || std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}

template <class T> bool RemoveItem(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

} // namespace

bool CMessageLoop::AddMessageFilter(CMessageFilter* filter)
{
    return AddUnique(m_filters, filter);
}

bool CMessageLoop::RemoveMessageFilter(CMessageFilter* filter)
{
    return RemoveItem(m_filters, filter);
}

bool CMessageLoop::AddIdleHandler(CIdleHandler* handler)
{
    return AddUnique(m_idleHandlers, handler);
}

bool CMessageLoop::RemoveIdleHandler(CIdleHandler* handler)
{
    return RemoveItem(m_idleHandlers, handler);
}

bool CMessageLoop::PreTranslateMessage(MSG* pMsg)
{
    // A filter may remove itself while it runs, so work on a copy.
    const std::vector<CMessageFilter*> filters(m_filters.rbegin(), m_filters.rend());
    for (CMessageFilter* filter : filters) {
        if (filter->PreTranslateMessage(pMsg))
            return true;
    }
    return false;
}

bool CMessageLoop::OnIdle()
{
    const std::vector<CIdleHandler*> handlers = m_idleHandlers;
    bool more = false;
    for (CIdleHandler* handler : handlers)
        more = handler->OnIdle() || more;
    return more;
}

int CMessageLoop::Run()
{
    MSG msg{};
    for (;;) {
        while (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle())
                break;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (!got)
            return static_cast<int>(msg.wParam);
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}
