#include "metadata/MetadataListImpl.h"

#include "engine/DirectionMarks.h"
#include "engine/FileTimeAccess.h"
#include "engine/TimestampText.h"
#include "framework/Module.h"
#include "framework/PropertyPage.h"
#include "metadata/RowMenu.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

bool IsWhiteSpace(wchar_t c)
{
    WORD type = 0;
    return ::GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_SPACE) != 0;
}

std::wstring Trim(const wchar_t* text)
{
    if (!text)
        return std::wstring();
    std::wstring result(text);
    std::size_t first = 0;
    while (first < result.size() && IsWhiteSpace(result[first]))
        ++first;
    std::size_t last = result.size();
    while (last > first && IsWhiteSpace(result[last - 1]))
        --last;
    return result.substr(first, last - first);
}

// The instant a row's date text names; false for an empty text or one the parser cannot read.
bool ReadDateText(std::wstring text, FileTime& utc)
{
    RemoveDirectionMarks(text);
    PropVariantValue value;
    if (FAILED(ParseDateValueText(text.c_str(), value.get())) || value.value().vt != VT_FILETIME)
        return false;
    utc = FromFILETIME(value.value().filetime);
    return true;
}

// Enter or Escape pressed in an editor, as the dialog manager asks about it.
bool IsKeyDown(LPARAM lParam, WPARAM key)
{
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    return msg && msg->message == WM_KEYDOWN && msg->wParam == key;
}

// Keeps the clipboard open for a scope.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) noexcept : m_open(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (m_open)
            ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const noexcept { return m_open; }

private:
    bool m_open;
};

} // namespace

CMetadataListImpl::CMetadataListImpl(PropertySystem& system, CDateTimePickerCtrlEx& datePicker)
    : m_model(system), m_datePicker(datePicker)
{
}

bool CMetadataListImpl::SetupList(HWND list)
{
    if (!SubclassWindow(list))
        return false;
    // The editors keep notifying the page; the page hands their notifications back to them,
    // so they pass through the alternate maps below on their way to the controls.
    HWND page = GetParent();
    m_dateEditor.SubclassWindow(::GetDlgItem(page, IDC_DATE_EDITOR));
    m_durationEditor.SubclassWindow(::GetDlgItem(page, IDC_DURATION_EDITOR));
    for (HWND editor : {m_dateEditor.m_hWnd, m_durationEditor.m_hWnd}) {
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
        const LRESULT length = ::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(&item));
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
    // The editor lines up with the text of the cell rather than with its edges.
    const LONG widen = selection.left - label.left;
    RECT bounds = cell;
    bounds.left -= widen;
    bounds.right += widen;
    if (bounds.right < bounds.left)
        bounds.right = bounds.left;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    ::IntersectRect(&bounds, &bounds, &client);
    bounds.top -= 1;
    bounds.bottom += 1;

    if (column != 1)
        return;
    CContainedWindow& editor = entry->type == VT_UI8 ? m_durationEditor : m_dateEditor;
    if (!editor.m_hWnd)
        return;
    if (&editor == &m_dateEditor)
        ShowDateInEditor(text);
    else
        ::SetWindowTextW(editor, text.c_str());
    m_editStartText = editor.GetWindowText();
    ::SetWindowPos(editor, HWND_TOP, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                   SWP_SHOWWINDOW);
    ::SendMessageW(GetParent(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(editor.m_hWnd), TRUE);
    m_editRow = row;
    m_editColumn = 1;
}

void CMetadataListImpl::ShowDateInEditor(const std::wstring& text)
{
    // The picker still holds whatever it showed last; a row without a value it can show
    // opens on the current time instead, never on another row's value.
    FileTime value = InvalidFileTime;
    if (!ReadDateText(text, value) || !m_datePicker.SetPickerFileTime(GDT_VALID, value))
        m_datePicker.SetPickerFileTime(GDT_VALID, CurrentFileTime());
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

void CMetadataListImpl::ApplyDateCommand(UINT command)
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    ListView_EnsureVisible(m_hWnd, row, FALSE);
    FileTime value = InvalidFileTime;
    ReadDateText(CellText(row, 1), value);

    FileTime result = InvalidFileTime;
    switch (command) {
    case IDM_SET_CURRENT_DATE_TIME:
        result = CurrentFileTime();
        break;
    case IDM_SET_MIDNIGHT:
        result = value == InvalidFileTime ? value : LocalMidnight(value);
        break;
    case IDM_SET_SECOND_TO_ZERO:
        result = value == InvalidFileTime ? value : value - value % TicksPerMinute;
        break;
    default: {
        FileTimes times{};
        if (!ReadFileTimes(m_model.TargetPath().c_str(), times))
            return;
        result = times[command == IDM_SET_CREATION_TIME ? Creation
                       : command == IDM_SET_ACCESS_TIME ? LastAccess
                                                          : LastWrite];
        break;
    }
    }
    // The hidden picker turns the new value into the row's text; without a value it can show,
    // its old one would take the row's place, so nothing changes.
    if (result == InvalidFileTime || !m_datePicker.SetPickerFileTime(GDT_VALID, result))
        return;
    StoreInRow(row, m_dateEditor.GetWindowText());
}

void CMetadataListImpl::CopyToClipboard(const std::wstring& text)
{
    OpenClipboardScope clipboard(m_hWnd);
    if (!clipboard.IsOpen())
        return;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return;
    {
        GlobalLockScope lock(memory.get());
        if (!lock.data())
            return;
        std::memcpy(lock.data(), text.c_str(), bytes);
    }
    ::EmptyClipboard();
    // Once set, the memory belongs to the clipboard.
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()))
        memory.release();
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

LRESULT CMetadataListImpl::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    ShowRowMenu(reinterpret_cast<HWND>(wParam), POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
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

LRESULT CMetadataListImpl::OnCopy(WORD, WORD, HWND, BOOL&)
{
    const int row = SelectedRow();
    if (row >= 0)
        CopyToClipboard(CellText(row, 1));
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

LRESULT CMetadataListImpl::OnDateUserString(int, LPNMHDR header, BOOL& bHandled)
{
    auto* request = reinterpret_cast<NMDATETIMESTRINGW*>(header);
    if (!Trim(request->pszUserString).empty()) {
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
    ::ShowWindow(m_dateEditor, SW_HIDE);
    // An editor left on the value it opened with leaves the row as it was: the row's text may
    // not be the picker's form, and an empty or unreadable row opened on the current time.
    FileTime shown = InvalidFileTime;
    const bool readable = m_datePicker.GetPickerFileTime(shown) == GDT_VALID;
    const std::wstring text = Trim(m_dateEditor.GetWindowText().c_str());
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
    std::wstring text = Trim(typed.c_str());
    if (typed != m_editStartText && m_model.NormalizeDurationText(text))
        StoreEdit(text);
    else
        CancelEdit();
    bHandled = FALSE;
    return 0;
}

LRESULT CMetadataListImpl::EditorDialogCode(CContainedWindow& editor, UINT uMsg, WPARAM wParam, LPARAM lParam)
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
    return EditorDialogCode(m_dateEditor, uMsg, wParam, lParam);
}

LRESULT CMetadataListImpl::OnDurationGetDlgCode(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return EditorDialogCode(m_durationEditor, uMsg, wParam, lParam);
}
