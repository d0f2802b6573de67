#pragma once

#include "framework/MessageLoop.h"

#include <windows.h>

#include <map>
#include <mutex>
#include <string>

// The program module: the instance its resources come from, and each thread's message loop.
class CAppModule {
public:
    void Init(HINSTANCE instance);
    void Term();

    // Before Init, the program file's own module.
    HINSTANCE GetResourceInstance() const noexcept { return m_instance ? m_instance : ::GetModuleHandleW(nullptr); }
    HINSTANCE GetModuleInstance() const noexcept { return GetResourceInstance(); }

    // A string resource of the resource instance, whole; empty when there is none.
    std::wstring LoadText(UINT id) const;

    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

private:
    HINSTANCE m_instance = nullptr;
    mutable std::mutex m_lock;
    std::map<DWORD, CMessageLoop*> m_loops;
};

CAppModule& AppModule();
