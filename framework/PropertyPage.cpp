#include "framework/PropertyPage.h"

#include "framework/Module.h"

CPropertyPageImpl::CPropertyPageImpl(UINT templateId) : m_psp{}
{
    m_psp.dwSize = sizeof(PROPSHEETPAGEW);
    m_psp.dwFlags = PSP_USECALLBACK;
    m_psp.hInstance = AppModule().GetResourceInstance();
    m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
    m_psp.pfnDlgProc = StartDialogProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(static_cast<CDialogImplBase*>(this));
    m_psp.pfnCallback = PageCallback;
}

HPROPSHEETPAGE CPropertyPageImpl::Create()
{
    return ::CreatePropertySheetPageW(&m_psp);
}

void CPropertyPageImpl::SetModified(bool changed) const
{
    SetModified(m_hWnd, changed);
}

void CPropertyPageImpl::SetModified(HWND page, bool changed)
{
    ::SendMessageW(::GetParent(page), changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

bool CPropertyPageImpl::HandleSheetNotification(UINT uMsg, WPARAM, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg != WM_NOTIFY)
        return false;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->hwndFrom != m_hWnd && header->hwndFrom != GetPropertySheet())
        return false;
    const UINT code = header->code;
    if (static_cast<int>(code) > -200 || static_cast<int>(code) < -213)
        return false;

    switch (code) {
    case PSN_SETACTIVE:
        lResult = OnSetActive();
        return true;
    case PSN_KILLACTIVE:
        lResult = OnKillActive() ? TRUE : FALSE;
        return true;
    case PSN_APPLY:
        lResult = OnApply();
        return true;
    case PSN_RESET:
        OnReset();
        lResult = 0;
        return true;
    case PSN_QUERYCANCEL:
        lResult = OnQueryCancel() ? TRUE : FALSE;
        return true;
    case PSN_GETOBJECT:
    case static_cast<UINT>(-204):
    case static_cast<UINT>(-211):
        return false;
    default:
        lResult = 0;
        return true;
    }
}

INT_PTR CALLBACK CPropertyPageImpl::StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_INITDIALOG) {
        const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        Bind(reinterpret_cast<CDialogImplBase*>(page->lParam), hWnd);
    }
    return Dispatch(FromWindow(hWnd), hWnd, uMsg, wParam, lParam);
}

UINT CALLBACK CPropertyPageImpl::PageCallback(HWND, UINT uMsg, LPPROPSHEETPAGEW)
{
    // PSPCB_CREATE must say yes or the page is not created.
    return uMsg == PSPCB_CREATE ? 1 : 0;
}
