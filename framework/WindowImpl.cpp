#include "framework/WindowImpl.h"

#include <commctrl.h>

CWindowImplBase::~CWindowImplBase()
{
    UnsubclassWindow();
}

bool CWindowImplBase::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !::IsWindow(hWnd))
        return false;
    if (!::SetWindowSubclass(hWnd, SubclassProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = hWnd;
    return true;
}

HWND CWindowImplBase::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        ::RemoveWindowSubclass(hWnd, SubclassProc, reinterpret_cast<UINT_PTR>(this));
        m_hWnd = nullptr;
    }
    return hWnd;
}

LRESULT CWindowImplBase::DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::DefSubclassProc(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowImplBase::DefWindowProc()
{
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CALLBACK CWindowImplBase::SubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR refData)
{
    auto* self = reinterpret_cast<CWindowImplBase*>(refData);
    const MSG msg{hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    const MSG* previous = self->m_pCurrentMsg;
    self->m_pCurrentMsg = &msg;

    LRESULT result = 0;
    CMessageMap* target = self->MessageTarget();
    const bool handled = target && target->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result, self->m_dwMsgMapID);
    if (!handled)
        result = ::DefSubclassProc(hWnd, uMsg, wParam, lParam);

    self->m_pCurrentMsg = previous;
    if (uMsg == WM_NCDESTROY && self->m_hWnd == hWnd) {
        self->UnsubclassWindow();
        self->OnFinalMessage(hWnd);
    }
    return result;
}
