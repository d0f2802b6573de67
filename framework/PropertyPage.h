#pragma once

#include "framework/Dialog.h"

#include <commctrl.h>
#include <prsht.h>

// A property-sheet page: a dialog whose object is bound when the page window is created
// and that answers the sheet's notifications through overridable handlers.
class CPropertyPageImpl : public CDialogImplBase {
public:
    explicit CPropertyPageImpl(UINT templateId);
    ~CPropertyPageImpl() override = default;

    PROPSHEETPAGEW m_psp;

    // Makes the platform page from m_psp; the sheet that receives it owns the handle.
    HPROPSHEETPAGE Create();

    [[nodiscard]] HWND GetPropertySheet() const noexcept { return ::GetParent(m_hWnd); }
    void SetModified(bool changed = true) const;
    // The same for the page window of a control that has no page object at hand.
    static void SetModified(HWND page, bool changed = true);

    // Sheet notifications. OnKillActive: false lets the user leave the page.
    // OnApply: PSNRET_NOERROR, PSNRET_INVALID or PSNRET_INVALID_NOCHANGEPAGE.
    virtual int OnSetActive() { return 0; }
    virtual bool OnKillActive() { return false; }
    virtual int OnApply() { return PSNRET_NOERROR; }
    virtual void OnReset() {}
    virtual bool OnQueryCancel() { return false; }

    // The property-sheet notification codes PSN_SETACTIVE (-200) .. PSN_QUERYINITIALFOCUS (-213)
    // from the page itself or its sheet: the named handlers above, 0 for the rest. PSN_GETOBJECT
    // and the unassigned codes -204 and -211 are left unhandled.
    bool HandleSheetNotification(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

protected:
    static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static UINT CALLBACK PageCallback(HWND hWnd, UINT uMsg, LPPROPSHEETPAGEW page);
};

// Sheet notifications handled by the page's own handlers; place after the page's own entries.
#define PROPERTY_PAGE_NOTIFICATIONS()                                                                                  \
    if (HandleSheetNotification(uMsg, wParam, lParam, lResult))                                                        \
        return true;
