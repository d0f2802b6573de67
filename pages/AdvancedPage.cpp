#include "pages/AdvancedPage.h"

#include "ui/PageControls.h"

#include <vector>

CAdvancedPage::CAdvancedPage() : CPropertyPageEx(IDD_ADVANCED) {}

int CAdvancedPage::SaveAdvancedPage()
{
    HWND patterns = GetDlgItem(IDC_NAME_PATTERNS);
    const int length = ::GetWindowTextLengthW(patterns);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    const int read = ::GetWindowTextW(patterns, text.data(), length + 1);
    namePatterns.assign(text.data(), static_cast<size_t>(read > 0 ? read : 0));
    if (read < length) {
        // The text read so far is kept; this alone does not keep the user on the page.
        PointAtFailedControl(m_hWnd, patterns);
    }
    return ExchangeRows(true) ? 0 : 1;
}

BOOL CAdvancedPage::OnInitDialog()
{
    if (Sheet())
        Sheet()->AwaitItemHeader();
    FillOperationCombos(m_hWnd, IDD_ADVANCED, false, {false, true});
    AttachPickers();
    SendDlgItemMessage(IDC_ITEM_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon));
    SetControlText(m_hWnd, IDC_LOCATION, location.c_str());
    SetControlText(m_hWnd, IDC_NAME_PATTERNS, namePatterns.c_str());
    ExchangeRows(false);
    return TRUE;
}

bool CAdvancedPage::OnKillActive()
{
    return SaveAdvancedPage() != 0;
}

int CAdvancedPage::OnApply()
{
    return ApplyIfLastPage();
}
