#pragma once

#include "framework/WindowImpl.h"

#include <commctrl.h>
#include <prsht.h>

#include <vector>

// A property sheet whose window is taken over by this object when the platform reports it
// initialised (PSCB_INITIALIZED); then the object's map sees the sheet's messages first.
class CPropertySheetImpl : public CWindowImplBase {
public:
    CPropertySheetImpl(UINT captionId, UINT startPage = 0, HWND parent = nullptr);
    ~CPropertySheetImpl() override;

    PROPSHEETHEADERW m_psh;

    // Collects a page before the sheet window exists; false when the page cannot be made.
    bool AddPage(HPROPSHEETPAGE page);
    [[nodiscard]] int GetPageCount() const noexcept { return static_cast<int>(m_pages.size()); }

    // Creates the sheet (modeless when PSH_MODELESS is in m_psh.dwFlags): the sheet window, or
    // null with the cause in GetLastError. The pages belong to the platform from here on.
    HWND Create(HWND parent = nullptr);

    [[nodiscard]] bool IsModeless() const noexcept { return (m_psh.dwFlags & PSH_MODELESS) != 0; }
    [[nodiscard]] HWND GetActivePage() const { return reinterpret_cast<HWND>(SendMessage(PSM_GETCURRENTPAGEHWND)); }
    [[nodiscard]] HWND GetTabControl() const { return reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL)); }
    int PageIndex(HWND page) const
    {
        return static_cast<int>(SendMessage(PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page)));
    }
    [[nodiscard]] HWND PageWindow(int index) const
    {
        return reinterpret_cast<HWND>(SendMessage(PSM_INDEXTOHWND, static_cast<WPARAM>(index)));
    }

protected:
    // Runs once the sheet window exists and has been subclassed.
    virtual void OnSheetInitialized() {}

private:
    std::vector<HPROPSHEETPAGE> m_pages;
    bool m_pagesHandedOver = false;

    static int CALLBACK SheetCallback(HWND hWnd, UINT uMsg, LPARAM lParam);
};
