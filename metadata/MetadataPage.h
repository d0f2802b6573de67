#pragma once

#include "metadata/MetadataListImpl.h"
#include "ui/DateTimePickerCtrlEx.h"
#include "ui/PropertyPageEx.h"

#include <string>

// The last page of a file's sheet: the file's date-valued shell properties and its total
// editing time, edited in place. On Apply it writes the edits and reloads the values before
// the sheet applies the file times.
class CMetadataPage : public CPropertyPageEx {
public:
    explicit CMetadataPage(PropertySystem& system);

    // Before the page is added: the target file and its first load (which decides whether the
    // page is shown at all).
    void SetTargetPath(std::wstring path) { m_list.Model().SetTargetPath(std::move(path)); }
    [[nodiscard]] HRESULT LoadMetadata() { return m_list.Model().LoadMetadata(); }

    CMetadataListImpl& List() noexcept { return m_list; }
    CDateTimePickerCtrlEx& DatePicker() noexcept { return m_datePicker; }

    BEGIN_MSG_MAP(CMetadataPage)
        CHAIN_MSG_MAP(CPropertyPageEx)
        MESSAGE_HANDLER(WM_NOTIFY, OnEditorNotification)
        MESSAGE_HANDLER(WM_COMMAND, OnEditorNotification)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    int OnApply() override;

protected:
    BOOL OnInitDialog() override;

private:
    // The editors live inside the list but keep notifying the page: their notifications go
    // back to them as reflections, like those of the page's own children.
    LRESULT OnEditorNotification(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

    CDateTimePickerCtrlEx m_datePicker;
    CMetadataListImpl m_list;
};
