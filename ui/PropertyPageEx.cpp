#include "ui/PropertyPageEx.h"

#include "ui/PageTemplate.h"
#include "framework/Module.h"

CPropertyPageEx::CPropertyPageEx(UINT templateId) : CPropertyPageImpl(templateId)
{
    PageTemplateCopy copy = LoadPageTemplate(AppModule().GetResourceInstance(), templateId);
    if (copy.data) {
        m_template = std::move(copy.memory);
        m_templateData = copy.data;
        m_psp.dwFlags |= PSP_DLGINDIRECT;
        m_psp.pResource = static_cast<const DLGTEMPLATE*>(m_templateData);
    }
}

CPropertyPageEx::~CPropertyPageEx()
{
    if (m_templateData)
        ::GlobalUnlock(m_template.get());
}

int CPropertyPageEx::ApplyIfLastPage()
{
    if (IsLastPage() && m_sheet)
        return m_sheet->ApplyTimestamps();
    return PSNRET_NOERROR;
}

bool CPropertyPageEx::IsLastPage() const
{
    int count = 0;
    HWND sheet = GetPropertySheet();
    if (sheet && m_hWnd) {
        HWND tabs = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
        count = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    } else if (m_sheet) {
        count = m_sheet->AddedPageCount();
    }
    if (count < 1)
        return false;
    const int index = static_cast<int>(::SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(m_hWnd), 0));
    return index + 1 == count;
}

LRESULT CPropertyPageEx::OnInitDialogMessage(UINT, WPARAM, LPARAM, BOOL&)
{
    if (CMessageLoop* loop = AppModule().GetMessageLoop())
        loop->AddIdleHandler(this);
    return OnInitDialog();
}

LRESULT CPropertyPageEx::OnDestroyMessage(UINT, WPARAM, LPARAM, BOOL&)
{
    if (CMessageLoop* loop = AppModule().GetMessageLoop())
        loop->RemoveIdleHandler(this);
    OnDestroy();
    return 0;
}
