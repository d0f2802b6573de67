#include "framework/PropertySheet.h"

#include "framework/Module.h"

namespace {

// The sheet callback receives no context of its own: the sheet being created on this thread
// is remembered here for the moment of PropertySheetW.
thread_local CPropertySheetImpl* t_creatingSheet = nullptr;

} // namespace

CPropertySheetImpl::CPropertySheetImpl(UINT captionId, UINT startPage, HWND parent) : m_psh{}
{
    m_psh.dwSize = sizeof(PROPSHEETHEADERW);
    m_psh.dwFlags = PSH_USECALLBACK;
    m_psh.hwndParent = parent;
    m_psh.hInstance = AppModule().GetResourceInstance();
    m_psh.pszCaption = MAKEINTRESOURCEW(captionId);
    m_psh.nStartPage = startPage;
    m_psh.pfnCallback = SheetCallback;
}

CPropertySheetImpl::~CPropertySheetImpl()
{
    if (!m_pagesHandedOver) {
        for (HPROPSHEETPAGE page : m_pages)
            ::DestroyPropertySheetPage(page);
    }
}

bool CPropertySheetImpl::AddPage(HPROPSHEETPAGE page)
{
    if (!page || m_pagesHandedOver)
        return false;
    m_pages.push_back(page);
    return true;
}

HWND CPropertySheetImpl::Create(HWND parent)
{
    if (parent)
        m_psh.hwndParent = parent;
    m_psh.nPages = static_cast<UINT>(m_pages.size());
    m_psh.phpage = m_pages.data();

    t_creatingSheet = this;
    m_pagesHandedOver = true; // the platform frees the page handles from here on, also on failure
    const INT_PTR result = ::PropertySheetW(&m_psh);
    t_creatingSheet = nullptr;

    if (!IsModeless())
        return nullptr;
    HWND sheet = reinterpret_cast<HWND>(result);
    if (!sheet || sheet == reinterpret_cast<HWND>(-1))
        return nullptr;
    return sheet;
}

int CALLBACK CPropertySheetImpl::SheetCallback(HWND hWnd, UINT uMsg, LPARAM)
{
    if (uMsg == PSCB_INITIALIZED && t_creatingSheet) {
        CPropertySheetImpl* sheet = t_creatingSheet;
        if (sheet->SubclassWindow(hWnd))
            sheet->OnSheetInitialized();
    }
    return 0;
}
