#include "metadata/MetadataListImpl.h"

#include "metadata/Clipboard.h"
#include "metadata/DateCommand.h"
#include "metadata/RowMenu.h"
#include "metadata/ValueText.h"

#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "platform/Handles.h"

void CMetadataListImpl::ShowRowMenu(HWND window, POINT point)
{
    // An editor's own context menu, if it has one, is its business.
    if (window && ::IsChild(m_hWnd, window))
        return;
    const int row = SelectedRow();
    const MetadataEntry* entry = EntryOfRow(row);
    if (!entry)
        return;
    const UINT menuId = entry->type == VT_UI8 ? IDR_DURATION_MENU : IDR_DATE_MENU;
    MenuHandle menu(::LoadMenuW(AppModule().GetResourceInstance(), MAKEINTRESOURCEW(menuId)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    GrayRowMenu(popup, entry->writable && !m_model.IsReadOnlyItem(), !CellText(row, 1).empty());

    if (point.x == -1 && point.y == -1) {
        // From the keyboard: at the bottom-right corner of the selected row.
        RECT bounds{};
        ListView_GetItemRect(m_hWnd, row, &bounds, LVIR_SELECTBOUNDS);
        POINT corners[2] = {{bounds.left, bounds.top}, {bounds.right, bounds.bottom}};
        ::ClientToScreen(m_hWnd, &corners[0]);
        ::ClientToScreen(m_hWnd, &corners[1]);
        point = corners[1];
    }
    point = KeepMenuPointOnMonitor(point);
    ::TrackPopupMenu(popup, 0, point.x, point.y, 0, m_hWnd, nullptr);
}

LRESULT CMetadataListImpl::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    ShowRowMenu(reinterpret_cast<HWND>(wParam),
                POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return 0;
}

void CMetadataListImpl::ApplyDateCommand(UINT command)
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    ListView_EnsureVisible(m_hWnd, row, FALSE);
    FileTime value = InvalidFileTime;
    ReadDateText(CellText(row, 1), value);

    FileTimes itemTimes{};
    if (DateCommandNeedsItemTimes(command) && !ReadFileTimes(m_model.TargetPath().c_str(), itemTimes))
        return;
    const FileTime result = DateCommandValue(command, value, CurrentFileTime(), itemTimes);
    // The hidden picker turns the new value into the row's text; without a value it can show,
    // its old one would take the row's place, so nothing changes.
    if (result == InvalidFileTime || !m_datePicker.SetPickerFileTime(GDT_VALID, result))
        return;
    StoreInRow(row, m_datePicker.GetWindowText());
}

LRESULT CMetadataListImpl::OnCopy(WORD, WORD, HWND, BOOL&)
{
    const int row = SelectedRow();
    if (row >= 0)
        CopyTextToClipboard(m_hWnd, CellText(row, 1));
    return 0;
}

LRESULT CMetadataListImpl::OnDelete(WORD, WORD, HWND, BOOL&)
{
    const int row = SelectedRow();
    if (row >= 0) {
        ListView_EnsureVisible(m_hWnd, row, FALSE);
        StoreInRow(row, std::wstring());
    }
    return 0;
}

LRESULT CMetadataListImpl::OnDateCommand(WORD, WORD id, HWND, BOOL&)
{
    ApplyDateCommand(id);
    return 0;
}

LRESULT CMetadataListImpl::OnReset(WORD, WORD, HWND, BOOL&)
{
    const int row = SelectedRow();
    if (row < 0)
        return 0;
    ListView_EnsureVisible(m_hWnd, row, FALSE);
    ::SetWindowTextW(m_durationEditor, L"00:00:00");
    std::wstring zero = m_durationEditor.GetWindowText();
    m_model.NormalizeDurationText(zero);
    StoreInRow(row, zero);
    return 0;
}
