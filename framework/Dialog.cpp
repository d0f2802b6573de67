#include "framework/Dialog.h"

namespace {

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT uMsg)
{
    switch (uMsg) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

} // namespace

void CDialogImplBase::Bind(CDialogImplBase* self, HWND hWnd)
{
    self->m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
}

CDialogImplBase* CDialogImplBase::FromWindow(HWND hWnd)
{
    return reinterpret_cast<CDialogImplBase*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
}

INT_PTR CDialogImplBase::Dispatch(CDialogImplBase* self, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (!self)
        return FALSE;
    const MSG msg{hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    const MSG* previous = self->m_pCurrentMsg;
    self->m_pCurrentMsg = &msg;
    LRESULT result = 0;
    const bool handled = self->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result, 0);
    self->m_pCurrentMsg = previous;

    if (uMsg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        self->m_hWnd = nullptr;
        self->OnFinalMessage(hWnd);
        return handled ? TRUE : FALSE;
    }
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(uMsg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialogImpl::StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_INITDIALOG)
        Bind(reinterpret_cast<CDialogImplBase*>(lParam), hWnd);
    return Dispatch(FromWindow(hWnd), hWnd, uMsg, wParam, lParam);
}

HWND CDialogImpl::Create(HWND parent, UINT templateId, HINSTANCE instance)
{
    return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, StartDialogProc,
                                reinterpret_cast<LPARAM>(static_cast<CDialogImplBase*>(this)));
}

HWND CDialogImpl::CreateIndirect(HWND parent, const DLGTEMPLATE* dialogTemplate, HINSTANCE instance)
{
    return ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, StartDialogProc,
                                        reinterpret_cast<LPARAM>(static_cast<CDialogImplBase*>(this)));
}

INT_PTR CDialogImpl::DoModal(HWND parent, UINT templateId, HINSTANCE instance)
{
    return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, StartDialogProc,
                             reinterpret_cast<LPARAM>(static_cast<CDialogImplBase*>(this)));
}
