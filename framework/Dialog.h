#pragma once

#include "framework/MessageMap.h"
#include "framework/Window.h"

// A dialog window bound to its C++ object at WM_INITDIALOG. The object's map 0 sees the
// dialog's messages; what it leaves gets the dialog manager's default handling.
class CDialogImplBase : public CWindow, public CMessageMap {
public:
    CDialogImplBase() = default;
    CDialogImplBase(const CDialogImplBase&) = delete;
    CDialogImplBase& operator=(const CDialogImplBase&) = delete;

    // Called after the dialog has received its last message and been released.
    virtual void OnFinalMessage(HWND) {}

protected:
    const MSG* m_pCurrentMsg = nullptr;

    // The dialog procedure once the object is known; binds it on WM_INITDIALOG.
    static INT_PTR Dispatch(CDialogImplBase* self, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static void Bind(CDialogImplBase* self, HWND hWnd);
    static CDialogImplBase* FromWindow(HWND hWnd);
};

// A modal or modeless dialog built from a template resource or an in-memory template.
class CDialogImpl : public CDialogImplBase {
public:
    HWND Create(HWND parent, UINT templateId, HINSTANCE instance);
    HWND CreateIndirect(HWND parent, const DLGTEMPLATE* dialogTemplate, HINSTANCE instance);
    INT_PTR DoModal(HWND parent, UINT templateId, HINSTANCE instance);
    bool EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result) != FALSE; }
    bool DestroyWindow() { return ::DestroyWindow(m_hWnd) != FALSE; }

private:
    static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
};
