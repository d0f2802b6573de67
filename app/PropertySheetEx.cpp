#include "app/PropertySheetEx.h"

#include "framework/Module.h"

#include <string>

namespace {

void SetWindowIcon(HWND window, WPARAM which, int widthMetric, int heightMetric)
{
    // Loaded once per size and kept for the life of the process: the window keeps using them.
    HANDLE icon = ::LoadImageW(AppModule().GetResourceInstance(), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                               ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR);
    if (icon)
        ::SendMessageW(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

} // namespace

CPropertySheetEx::CPropertySheetEx(UINT captionId, UINT startPage, HWND parent)
    : CPropertySheetImpl(captionId, startPage, parent)
{
}

void CPropertySheetEx::OnSheetInitialized()
{
    const LONG exStyle = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_APPWINDOW))
        ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_APPWINDOW);

    SetWindowIcon(m_hWnd, ICON_BIG, SM_CXICON, SM_CYICON);
    SetWindowIcon(m_hWnd, ICON_SMALL, SM_CXSMICON, SM_CYSMICON);

    AddAboutMenuItem(m_hWnd, AppModule().LoadText(IDS_ABOUT).c_str());

    if (CMessageLoop* loop = AppModule().GetMessageLoop())
        loop->AddMessageFilter(this);
}

bool CPropertySheetEx::PreTranslateMessage(MSG* pMsg)
{
    return SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)) != 0;
}
