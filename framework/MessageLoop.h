#pragma once

#include <windows.h>

#include <vector>

// Sees every queued message before it is translated and dispatched; true consumes it.
class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    virtual bool PreTranslateMessage(MSG* pMsg) = 0;
};

// Gets a turn whenever the thread's queue is empty.
class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    virtual bool OnIdle() = 0;
};

// The thread's message loop with its ordered message filters and idle handlers.
class CMessageLoop {
public:
    bool AddMessageFilter(CMessageFilter* filter);
    bool RemoveMessageFilter(CMessageFilter* filter);
    bool AddIdleHandler(CIdleHandler* handler);
    bool RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its exit code.
    int Run();

    // Offers the message to the filters, last added first.
    bool PreTranslateMessage(MSG* pMsg);
    // Gives every idle handler its turn; true when one of them asks for more.
    bool OnIdle();

private:
    std::vector<CMessageFilter*> m_filters;
    std::vector<CIdleHandler*> m_idleHandlers;
};
