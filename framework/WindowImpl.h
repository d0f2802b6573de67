#pragma once

#include "framework/MessageMap.h"
#include "framework/Window.h"

// A C++ object bound to one window by subclassing it: its message map sees every message
// first; what the map leaves goes to the window's previous procedure. The object is found
// from the window itself (the subclass data), so several objects can stack on one window,
// the last one attached seeing messages first.
class CWindowImplBase : public CWindow, public CMessageMap {
public:
    CWindowImplBase() = default;
    CWindowImplBase(const CWindowImplBase&) = delete;
    CWindowImplBase& operator=(const CWindowImplBase&) = delete;
    ~CWindowImplBase() override;

    bool SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();
    [[nodiscard]] bool IsSubclassed() const noexcept { return m_hWnd != nullptr; }

    // Passes a message on to the window's previous procedure.
    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc();

    // Called after the window has received its last message (WM_NCDESTROY) and been released.
    virtual void OnFinalMessage(HWND) {}

protected:
    // The message being dispatched, for handlers that forward it unchanged.
    const MSG* m_pCurrentMsg = nullptr;
    // The map section this object handles the window with (alternate maps for contained windows).
    virtual CMessageMap* MessageTarget() { return this; }
    DWORD m_dwMsgMapID = 0;

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
};

// The window class of a control or top-level window handled by the object's own map 0.
class CWindowImpl : public CWindowImplBase {};

// A window handled by an alternate map of another object (for example the editors a list
// view contains), so one object's map describes all its windows in one place.
class CContainedWindow : public CWindowImplBase {
public:
    CContainedWindow(CMessageMap* owner = nullptr, DWORD mapId = 0) noexcept : m_owner(owner) { m_dwMsgMapID = mapId; }
    void SetOwner(CMessageMap* owner, DWORD mapId) noexcept
    {
        m_owner = owner;
        m_dwMsgMapID = mapId;
    }

    bool ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override { return false; }

protected:
    CMessageMap* MessageTarget() override { return m_owner; }

private:
    CMessageMap* m_owner;
};
