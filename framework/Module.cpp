#include "framework/Module.h"

CAppModule& AppModule()
{
    static CAppModule module;
    return module;
}

void CAppModule::Init(HINSTANCE instance)
{
    m_instance = instance ? instance : ::GetModuleHandleW(nullptr);
}

void CAppModule::Term()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_loops.clear();
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_loops.emplace(::GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_loops.erase(::GetCurrentThreadId()) == 1;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_loops.find(threadId);
    return it == m_loops.end() ? nullptr : it->second;
}

std::wstring CAppModule::LoadText(UINT id) const
{
    // With no buffer size the platform hands out a pointer to the resource itself.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(GetResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}
