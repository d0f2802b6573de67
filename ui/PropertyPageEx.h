#pragma once

#include "framework/MessageLoop.h"
#include "framework/PropertyPage.h"
#include "ui/SheetSite.h"
#include "platform/Handles.h"

// The page template of every page of the sheet: the page is built from a private copy of
// its dialog template (in which the Japanese typeface may be replaced), registers an idle
// handler while its window exists, and knows whether it is the sheet's last page, the one
// that starts the apply.
class CPropertyPageEx : public CPropertyPageImpl, public CIdleHandler {
public:
    explicit CPropertyPageEx(UINT templateId);
    ~CPropertyPageEx() override;

    void SetSheet(CSheetSite* sheet) noexcept { m_sheet = sheet; }
    [[nodiscard]] CSheetSite* Sheet() const noexcept { return m_sheet; }

    [[nodiscard]] bool IsLastPage() const;

    bool OnIdle() override { return false; }

    BEGIN_MSG_MAP(CPropertyPageEx)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialogMessage)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroyMessage)
        PROPERTY_PAGE_NOTIFICATIONS()
    END_MSG_MAP()

protected:
    // Only the last page starts the apply, once every page has saved its values: its result,
    // or PSNRET_NOERROR on any other page.
    int ApplyIfLastPage();

    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnDestroy() {}

private:
    LRESULT OnInitDialogMessage(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroyMessage(UINT, WPARAM, LPARAM, BOOL&);

    CSheetSite* m_sheet = nullptr;
    GlobalMemory m_template;
    void* m_templateData = nullptr;
};
