#pragma once

#include "app/AboutBoxSite.h"
#include "framework/MessageLoop.h"
#include "framework/PropertySheet.h"

// The program's property sheet window: its own taskbar button and icons, the About entry
// in its system menu, and keyboard navigation through the thread's message loop although
// the sheet is modeless.
class CPropertySheetEx : public CPropertySheetImpl, public CAboutBoxSiteImpl<CPropertySheetEx>, public CMessageFilter {
public:
    CPropertySheetEx(UINT captionId, UINT startPage = 0, HWND parent = nullptr);

    bool PreTranslateMessage(MSG* pMsg) override;

    BEGIN_MSG_MAP(CPropertySheetEx)
        CHAIN_MSG_MAP(CAboutBoxSiteImpl<CPropertySheetEx>)
    END_MSG_MAP()

protected:
    void OnSheetInitialized() override;
};
