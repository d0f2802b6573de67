#include "pages/GeneralPage.h"

#include "app/DlgInit.h"

namespace {

bool IsChecked(HWND page, int id)
{
    return ::SendDlgItemMessageW(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND page, int id, bool checked)
{
    ::SendDlgItemMessageW(page, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace

CGeneralPage::CGeneralPage() : CPropertyPageEx(IDD_GENERAL) {}

bool CGeneralPage::ExchangeData(bool save)
{
    if (save) {
        recursive = IsChecked(m_hWnd, IDC_RECURSIVE);
        excludeSystem = IsChecked(m_hWnd, IDC_EXCLUDE_SYSTEM);
        excludeHidden = IsChecked(m_hWnd, IDC_EXCLUDE_HIDDEN);
    } else {
        SetChecked(m_hWnd, IDC_RECURSIVE, recursive);
        SetChecked(m_hWnd, IDC_EXCLUDE_SYSTEM, excludeSystem);
        SetChecked(m_hWnd, IDC_EXCLUDE_HIDDEN, excludeHidden);
    }
    return ExchangeRows(save);
}

BOOL CGeneralPage::OnInitDialog()
{
    FillCombosFromDlgInit(m_hWnd, IDD_GENERAL);
    ExchangeData(false);
    return TRUE;
}

bool CGeneralPage::OnKillActive()
{
    return !ExchangeData(true);
}

int CGeneralPage::OnApply()
{
    if (IsLastPage() && Sheet())
        return Sheet()->ApplyTimestamps();
    return PSNRET_NOERROR;
}
