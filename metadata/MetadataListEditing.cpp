#include "metadata/MetadataListImpl.h"

#include "metadata/EditorPlacement.h"
#include "metadata/ValueText.h"

#include "engine/TimestampText.h"
#include "framework/PropertyPage.h"
#include "platform/Handles.h"

namespace {

// Enter or Escape pressed in an editor, as the dialog manager asks about it.
bool IsKeyDown(LPARAM lParam, WPARAM key)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    return msg && msg->message == WM_KEYDOWN && msg->wParam == key;
}

} // namespace

void CMetadataListImpl::BeginEdit(int row, int column)
{
    if (m_model.IsReadOnlyItem())
        return;
    const MetadataEntry* entry = EntryOfRow(row);
    if (!entry || !entry->writable)
        return;

    const std::wstring text = CellText(row, column);
    ListView_EnsureVisible(m_hWnd, row, FALSE);

    RECT selection{};
    RECT label{};
    RECT cell{};
    ListView_GetItemRect(m_hWnd, row, &selection, LVIR_SELECTBOUNDS);
    ListView_GetItemRect(m_hWnd, row, &label, LVIR_LABEL);
    ListView_GetSubItemRect(m_hWnd, row, column, LVIR_BOUNDS, &cell);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const RECT bounds = CellEditorBounds(selection, label, cell, client);

    if (column != 1)
        return;
    const bool duration = entry->type == VT_UI8;
    HWND editor = duration ? m_durationEditor.m_hWnd : m_datePicker.m_hWnd;
    if (!editor)
        return;
    if (duration)
        ::SetWindowTextW(editor, text.c_str());
    else
        ShowDateInEditor(text);
    m_editStartText = CWindow(editor).GetWindowText();
    ::SetWindowPos(editor, HWND_TOP, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_SHOWWINDOW);
    ::SendMessageW(GetParent(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(editor), TRUE);
    m_editRow = row;
    m_editColumn = 1;
}

void CMetadataListImpl::ShowDateInEditor(const std::wstring& text)
{
    // The picker still holds whatever it showed last; a row without a value it can show
    // opens on the current time instead, never on another row's value.
    FileTime value = InvalidFileTime;
    // The current time always shows; whether it did is read back below.
    if (!ReadDateText(text, value) || !m_datePicker.SetPickerFileTime(GDT_VALID, value))
        (void)m_datePicker.SetPickerFileTime(GDT_VALID, CurrentFileTime());
    m_editStartDate = InvalidFileTime;
    FileTime shown = 0;
    if (m_datePicker.GetPickerFileTime(shown) == GDT_VALID)
        m_editStartDate = shown;
}

void CMetadataListImpl::MoveFocusToList()
{
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(m_hWnd, focus))
        ::SendMessageW(GetParent(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWnd), TRUE);
}

void CMetadataListImpl::StoreEdit(const std::wstring& text)
{
    const int row = m_editRow;
    const int column = m_editColumn;
    m_editRow = -1;
    m_editColumn = 0;
    // A visible editor hides itself when it loses the focus; its own end of edit then finds
    // no edit in progress.
    MoveFocusToList();
    if (row == -1)
        return;
    if (CellText(row, column) == text)
        return;
    SetCellText(row, column, text);
    CPropertyPageImpl::SetModified(GetParent());
    if (MetadataEntry* entry = EntryOfRow(row))
        entry->modified = true;
}

void CMetadataListImpl::CancelEdit()
{
    m_editRow = -1;
    m_editColumn = 0;
    MoveFocusToList();
}

void CMetadataListImpl::StoreInRow(int row, const std::wstring& text)
{
    m_editRow = row;
    m_editColumn = 1;
    StoreEdit(text);
}

LRESULT CMetadataListImpl::OnDateUserString(int, LPNMHDR header, BOOL& bHandled)
{
    auto* request = reinterpret_cast<NMDATETIMESTRINGW*>(header);
    if (!TrimWhiteSpace(request->pszUserString).empty()) {
        bHandled = FALSE; // the picker parses it
        return 0;
    }
    // Blank text clears the property.
    StoreEdit(std::wstring());
    request->dwFlags = GDT_NONE;
    return 0;
}

LRESULT CMetadataListImpl::OnDateKillFocus(int, LPNMHDR, BOOL& bHandled)
{
    ::ShowWindow(m_datePicker, SW_HIDE);
    // An editor left on the value it opened with leaves the row as it was: the row's text may
    // not be the picker's form, and an empty or unreadable row opened on the current time.
    FileTime shown = InvalidFileTime;
    const bool readable = m_datePicker.GetPickerFileTime(shown) == GDT_VALID;
    const std::wstring text = TrimWhiteSpace(m_datePicker.GetWindowText().c_str());
    PropVariantValue value;
    if (!readable || shown == m_editStartDate || FAILED(ParseDateValueText(text.c_str(), value.get())))
        CancelEdit();
    else
        StoreEdit(text);
    bHandled = FALSE;
    return 0;
}

LRESULT CMetadataListImpl::OnDurationKillFocus(WORD, WORD, HWND, BOOL& bHandled)
{
    ::ShowWindow(m_durationEditor, SW_HIDE);
    const std::wstring typed = m_durationEditor.GetWindowText();
    std::wstring text = TrimWhiteSpace(typed.c_str());
    if (typed != m_editStartText && m_model.NormalizeDurationText(text))
        StoreEdit(text);
    else
        CancelEdit();
    bHandled = FALSE;
    return 0;
}

LRESULT CMetadataListImpl::EditorDialogCode(CWindowImplBase& editor, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT code = editor.DefWindowProc(uMsg, wParam, lParam);
    if (IsKeyDown(lParam, VK_RETURN)) {
        MoveFocusToList();
        return code | DLGC_WANTALLKEYS;
    }
    if (IsKeyDown(lParam, VK_ESCAPE)) {
        CancelEdit();
        return code | DLGC_WANTALLKEYS;
    }
    return code;
}

LRESULT CMetadataListImpl::OnDateGetDlgCode(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return EditorDialogCode(m_datePicker, uMsg, wParam, lParam);
}

LRESULT CMetadataListImpl::OnDurationGetDlgCode(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return EditorDialogCode(m_durationEditor, uMsg, wParam, lParam);
}
