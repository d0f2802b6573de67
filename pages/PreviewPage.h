#pragma once

#include "res/resource.h"
#include "ui/PropertyPageEx.h"
#include "ui/SheetSite.h"

#include <commctrl.h>

#include <cstddef>

// The last page of a folder's or a selection's sheet: what the apply would change with the
// pages' choices as they stand, worked out when the page is shown after they changed. The
// list is virtual: its rows are formatted only as they come into view.
class CPreviewPage : public CPropertyPageEx {
public:
    CPreviewPage();

    // Works the preview out again when the choices or the items changed since the last one
    // (or that one was stopped), and shows it.
    void Refresh();

    [[nodiscard]] const PreviewResult& Result() const noexcept { return m_result; }

    BEGIN_MSG_MAP(CPreviewPage)
        NOTIFY_HANDLER(IDC_PREVIEW_LIST, LVN_GETDISPINFOW, OnGetDispInfo)
        CHAIN_MSG_MAP(CPropertyPageEx)
    END_MSG_MAP()

    int OnSetActive() override;
    int OnApply() override;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnGetDispInfo(int, LPNMHDR header, BOOL&);
    void Show();
    void ArrangeColumns(HWND list, std::size_t rows);

    PreviewResult m_result;
    bool m_current = false; // the result belongs to m_generation and was not stopped
    unsigned long m_generation = 0;
};
