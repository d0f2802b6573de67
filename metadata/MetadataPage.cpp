#include "metadata/MetadataPage.h"

#include "ui/Messages.h"
#include "ui/ResultText.h"
#include "engine/KeptFileTimes.h"
#include "res/resource.h"

CMetadataPage::CMetadataPage(PropertySystem& system) : CPropertyPageEx(IDD_METADATA), m_list(system, m_datePicker) {}

BOOL CMetadataPage::OnInitDialog()
{
    if (!m_datePicker.IsSubclassed())
        m_datePicker.SubclassPicker(GetDlgItem(IDC_DATE_EDITOR));
    if (!m_list.IsSubclassed())
        m_list.SetupList(GetDlgItem(IDC_METADATA_LIST));
    return TRUE;
}

LRESULT CMetadataPage::OnEditorNotification(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    HWND sender = NotificationSender(m_hWnd, uMsg, wParam, lParam);
    if (!m_list.IsEditor(sender)) {
        bHandled = FALSE;
        return 0;
    }
    return ::SendMessageW(sender, OCM__BASE + uMsg, wParam, lParam);
}

int CMetadataPage::OnApply()
{
    // The properties are written, and read back, before the file times change. A property
    // handler stores them by rewriting the file, which moves its times: the kinds the sheet
    // leaves as they are get back the times they had, and after a failure, which ends the
    // apply here, every kind does.
    MetadataModel& model = m_list.Model();
    const bool writes = model.HasModifiedEntries();
    KeptFileTimes before;
    HRESULT result = writes ? before.Read(model.TargetPath()) : S_OK;
    if (SUCCEEDED(result)) {
        result = model.CommitMetadata();
        if (SUCCEEDED(result))
            result = model.LoadMetadata();
        const bool applyGoesOn = SUCCEEDED(result) && Sheet();
        const HRESULT putBack = before.PutBack(applyGoesOn ? Sheet()->KindsLeftUnchanged() : EveryTimestampKind);
        if (SUCCEEDED(result))
            result = putBack;
    }
    if (FAILED(result)) {
        ReportFailure(GetPropertySheet(), result, nullptr);
        return PSNRET_INVALID_NOCHANGEPAGE;
    }
    return ApplyIfLastPage();
}
