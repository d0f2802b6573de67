#include "pages/AdvancedPage.h"

#include "app/DlgInit.h"
#include "framework/Window.h"

CAdvancedPage::CAdvancedPage() : CPropertyPageEx(IDD_ADVANCED) {}

int CAdvancedPage::SaveAdvancedPage()
{
    namePatterns = CWindow(GetDlgItem(IDC_NAME_PATTERNS)).GetWindowText();
    return ExchangeRows(true) ? 0 : 1;
}

BOOL CAdvancedPage::OnInitDialog()
{
    FillCombosFromDlgInit(m_hWnd, IDD_ADVANCED);
    ::SetDlgItemTextW(m_hWnd, IDC_LOCATION, location.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_NAME_PATTERNS, namePatterns.c_str());
    ExchangeRows(false);
    return TRUE;
}

bool CAdvancedPage::OnKillActive()
{
    return SaveAdvancedPage() != 0;
}

int CAdvancedPage::OnApply()
{
    if (IsLastPage() && Sheet())
        return Sheet()->ApplyTimestamps();
    return PSNRET_NOERROR;
}
