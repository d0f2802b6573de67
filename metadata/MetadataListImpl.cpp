#include "metadata/MetadataListImpl.h"

#include "framework/Module.h"

CMetadataListImpl::CMetadataListImpl(PropertySystem& system, CDateTimePickerCtrlEx& datePicker)
    : m_model(system), m_datePicker(datePicker)
{
}

bool CMetadataListImpl::SetupList(HWND list)
{
    if (!SubclassWindow(list))
        return false;
    // The editors keep notifying the page; the page hands their notifications back to them,
    // so they pass through the alternate maps on their way to the controls.
    HWND page = GetParent();
    m_datePicker.RouteToOwner(this, 1);
    m_durationEditor.SubclassWindow(::GetDlgItem(page, IDC_DURATION_EDITOR));
    for (HWND editor : {m_datePicker.m_hWnd, m_durationEditor.m_hWnd}) {
        if (editor)
            ::SetParent(editor, m_hWnd);
    }

    RECT client{};
    ::GetClientRect(m_hWnd, &client);

    ListView_SetExtendedListViewStyleEx(m_hWnd, 0xFFFFFFFFu, LVS_EX_FULLROWSELECT);

    // Wine draws no groups; the list then shows the same rows flat.
    std::wstring groupHeader = AppModule().LoadText(IDS_METADATA_GROUP);
    LVGROUP group{};
    group.cbSize = sizeof group;
    group.mask = LVGF_HEADER | LVGF_GROUPID | LVGF_STATE | LVGF_ALIGN;
    group.pszHeader = groupHeader.data();
    group.iGroupId = 0;
    group.uAlign = LVGA_HEADER_LEFT;
    ListView_InsertGroup(m_hWnd, -1, &group);
    ListView_EnableGroupView(m_hWnd, TRUE);

    for (UINT id : {IDS_PROPERTY, IDS_VALUE}) {
        std::wstring title = AppModule().LoadText(id);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT;
        column.fmt = LVCFMT_LEFT;
        column.pszText = title.data();
        const int index = id == IDS_PROPERTY ? 0 : 1;
        ListView_InsertColumn(m_hWnd, index, &column);
    }

    FillRows();
    SizeColumns(client.right - client.left);
    m_model.SetRowView(this);
    return true;
}

void CMetadataListImpl::FillRows()
{
    std::vector<MetadataEntry>& entries = m_model.Entries();
    for (std::size_t j = 0; j < entries.size(); ++j) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_GROUPID;
        item.iItem = static_cast<int>(j);
        item.pszText = entries[j].displayName.data();
        item.lParam = reinterpret_cast<LPARAM>(&entries[j]);
        item.iGroupId = 0;
        const int row = ListView_InsertItem(m_hWnd, &item);
        if (row >= 0)
            SetCellText(row, 1, entries[j].valueText);
    }
}

void CMetadataListImpl::SizeColumns(int clientWidth)
{
    ListView_SetColumnWidth(m_hWnd, 0, LVSCW_AUTOSIZE_USEHEADER);
    // Room is kept for a vertical scroll bar, and a little more.
    const int width = clientWidth - 2 * ::GetSystemMetrics(SM_CXVSCROLL) - ListView_GetColumnWidth(m_hWnd, 0);
    ListView_SetColumnWidth(m_hWnd, 1, static_cast<WORD>(width > 0 ? width : 0));
}

void CMetadataListImpl::OnFinalMessage(HWND)
{
    m_model.SetRowView(nullptr);
    m_datePicker.RouteToOwner(nullptr, 0);
    m_editRow = -1;
    m_editColumn = 0;
}

MetadataEntry* CMetadataListImpl::EntryOfRow(int row) const
{
    if (row < 0)
        return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!ListView_GetItem(m_hWnd, &item))
        return nullptr;
    return reinterpret_cast<MetadataEntry*>(item.lParam);
}

std::wstring CMetadataListImpl::CellText(int row, int column) const
{
    std::wstring text(128, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const LRESULT length =
            ::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        if (length < static_cast<LRESULT>(text.size()) - 1) {
            text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

void CMetadataListImpl::SetCellText(int row, int column, const std::wstring& text)
{
    std::wstring copy = text;
    ListView_SetItemText(m_hWnd, row, column, copy.data());
}

std::wstring CMetadataListImpl::GetValueText(std::size_t row) const
{
    return CellText(static_cast<int>(row), 1);
}

void CMetadataListImpl::SetValueText(std::size_t row, const std::wstring& text)
{
    SetCellText(static_cast<int>(row), 1, text);
}

int CMetadataListImpl::SelectedRow() const
{
    return ListView_GetNextItem(m_hWnd, -1, LVNI_SELECTED);
}

LRESULT CMetadataListImpl::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    const int row = SelectedRow();
    if (wParam != VK_F2 || row < 0) {
        bHandled = FALSE;
        return 0;
    }
    BeginEdit(row, 1);
    return 0;
}

LRESULT CMetadataListImpl::OnBeginTrack(int, LPNMHDR, BOOL& bHandled)
{
    MoveFocusToList();
    bHandled = FALSE;
    return 0;
}

LRESULT CMetadataListImpl::OnDoubleClick(int, LPNMHDR header, BOOL& bHandled)
{
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    if (click->iSubItem == 1 && click->iItem >= 0)
        BeginEdit(click->iItem, 1);
    bHandled = FALSE;
    return 0;
}

LRESULT CMetadataListImpl::OnBeginScroll(int, LPNMHDR, BOOL& bHandled)
{
    // Wine never sends this; there a scroll leaves the editor open until it loses the focus.
    MoveFocusToList();
    bHandled = FALSE;
    return 0;
}
