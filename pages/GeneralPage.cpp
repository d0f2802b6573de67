#include "pages/GeneralPage.h"

#include "ui/PageControls.h"

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
    if (Sheet())
        Sheet()->AwaitItemHeader();
    // A file has no entries of its own to take the earliest or latest time of, and a folder
    // has no date taken.
    FillOperationCombos(m_hWnd, IDD_GENERAL, true, {isFolder, reachesFile});
    AttachPickers();
    SendDlgItemMessage(IDC_ITEM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon));
    SetControlText(m_hWnd, IDC_DISPLAY_NAME, displayName.c_str());
    SetControlText(m_hWnd, IDC_TYPE_NAME, typeName.c_str());
    SetControlText(m_hWnd, IDC_LOCATION, location.c_str());
    if (!isFolder) {
        for (int id : {IDC_RECURSIVE, IDC_EXCLUDE_SYSTEM, IDC_EXCLUDE_HIDDEN})
            ::ShowWindow(GetDlgItem(id), SW_HIDE);
    }
    ExchangeData(false);
    ShowUndoState();
    CenterOnWorkArea(GetPropertySheet());
    return TRUE;
}

void CGeneralPage::ShowUndoState()
{
    if (!m_hWnd)
        return;
    HWND undo = GetDlgItem(IDC_UNDO);
    const bool enable = Sheet() && Sheet()->CanUndo();
    // A disabled button cannot keep the focus: the button beside it takes it.
    if (!enable && ::GetFocus() == undo)
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDC_CURRENT_DATE_TIME)), TRUE);
    ::EnableWindow(undo, enable);
}

LRESULT CGeneralPage::OnUndo(WORD, WORD, HWND, BOOL&)
{
    if (Sheet())
        Sheet()->UndoLastApply();
    return 0;
}

bool CGeneralPage::OnKillActive()
{
    return !ExchangeData(true);
}

int CGeneralPage::OnApply()
{
    return ApplyIfLastPage();
}
