#pragma once

#include "framework/WindowImpl.h"
#include "metadata/MetadataModel.h"
#include "metadata/MetadataRowView.h"
#include "ui/DateTimePickerCtrlEx.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// The metadata page's list view: one row per offered property (column 0 its name, column 1
// its value text), edited in place over the value cell with the page's hidden date picker or
// duration edit, which become children of the list. A pending edit lives only as the row's
// text and its entry's modified flag until Apply. Owns the metadata model.
// The list's own messages are map 0; the date picker (an object of the page, which routes
// its messages here first) map 1; the duration edit, contained here, map 2. Rows and cells
// are in MetadataListImpl.cpp, editing in MetadataListEditing.cpp, the row menu and its
// commands in MetadataListCommands.cpp.
class CMetadataListImpl : public CWindowImpl, public MetadataRowView {
public:
    // The picker object is the page's, already attached to control 1050 when the list is set up;
    // the list routes its messages through map 1 while the list exists.
    CMetadataListImpl(PropertySystem& system, CDateTimePickerCtrlEx& datePicker);

    MetadataModel& Model() noexcept { return m_model; }

    // Takes over the list view of the page and the page's two editors, and fills the list
    // from the entries.
    bool SetupList(HWND list);

    // Opens the editor of the row's entry over the cell (column 1 only); nothing happens for a
    // read-only item or a row that is not writable. A date row without a readable value opens
    // on the current time. An editor left without a change leaves the row as it was.
    void BeginEdit(int row, int column);
    // Ends the edit in progress with `text`: a text different from the cell's becomes the
    // cell's pending value and enables the sheet's Apply.
    void StoreEdit(const std::wstring& text);
    // Ends the edit in progress without a change.
    void CancelEdit();
    // The row's context menu at a screen point; (-1, -1) places it at the selected row.
    void ShowRowMenu(HWND window, POINT point);
    // Commands 1051-1056 on the selected date row; midnight and zero seconds need the row's own
    // readable date and otherwise change nothing.
    void ApplyDateCommand(UINT command);

    [[nodiscard]] int EditRow() const noexcept { return m_editRow; }
    [[nodiscard]] int EditColumn() const noexcept { return m_editColumn; }
    [[nodiscard]] HWND DateEditor() const noexcept { return m_datePicker.m_hWnd; }
    [[nodiscard]] HWND DurationEditor() const noexcept { return m_durationEditor.m_hWnd; }
    bool IsEditor(HWND window) const noexcept
    {
        return window && (window == m_datePicker.m_hWnd || window == m_durationEditor.m_hWnd);
    }
    [[nodiscard]] int SelectedRow() const;

    [[nodiscard]] std::wstring GetValueText(std::size_t row) const override;
    void SetValueText(std::size_t row, const std::wstring& text) override;

    BEGIN_MSG_MAP(CMetadataListImpl)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
        NOTIFY_CODE_HANDLER(HDN_BEGINTRACKW, OnBeginTrack)
        REFLECTED_NOTIFY_CODE_HANDLER(NM_DBLCLK, OnDoubleClick)
        REFLECTED_NOTIFY_CODE_HANDLER(LVN_BEGINSCROLL, OnBeginScroll)
        COMMAND_ID_HANDLER(IDM_COPY, OnCopy)
        COMMAND_ID_HANDLER(IDM_DELETE, OnDelete)
        COMMAND_RANGE_HANDLER(IDM_SET_CURRENT_DATE_TIME, IDM_SET_MODIFICATION_TIME, OnDateCommand)
        COMMAND_ID_HANDLER(IDM_RESET, OnReset)
        ALT_MSG_MAP(1)
        REFLECTED_NOTIFY_CODE_HANDLER(DTN_USERSTRINGW, OnDateUserString)
        REFLECTED_NOTIFY_CODE_HANDLER(NM_KILLFOCUS, OnDateKillFocus)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnDateGetDlgCode)
        ALT_MSG_MAP(2)
        REFLECTED_COMMAND_CODE_HANDLER(EN_KILLFOCUS, OnDurationKillFocus)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnDurationGetDlgCode)
    END_MSG_MAP()

protected:
    void OnFinalMessage(HWND) override;

private:
    LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnBeginTrack(int, LPNMHDR, BOOL& bHandled);
    LRESULT OnDoubleClick(int, LPNMHDR header, BOOL& bHandled);
    LRESULT OnBeginScroll(int, LPNMHDR, BOOL& bHandled);
    LRESULT OnCopy(WORD, WORD, HWND, BOOL&);
    LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
    LRESULT OnDateCommand(WORD, WORD id, HWND, BOOL&);
    LRESULT OnReset(WORD, WORD, HWND, BOOL&);

    LRESULT OnDateUserString(int, LPNMHDR header, BOOL& bHandled);
    LRESULT OnDateKillFocus(int, LPNMHDR, BOOL& bHandled);
    LRESULT OnDateGetDlgCode(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnDurationKillFocus(WORD, WORD, HWND, BOOL& bHandled);
    LRESULT OnDurationGetDlgCode(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&);

    // The editor's own dialog code, wanting Enter and Escape, which end the edit.
    LRESULT EditorDialogCode(CWindowImplBase& editor, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Puts the row's date into the date editor and notes what the editor shows.
    void ShowDateInEditor(const std::wstring& text);
    // Ends an edit by taking the focus from an editor inside the list (its loss of focus
    // stores or cancels).
    void MoveFocusToList();
    // Makes `row` the row being edited and stores `text` in it, as a finished edit does.
    void StoreInRow(int row, const std::wstring& text);

    void FillRows();
    void SizeColumns(int clientWidth);
    [[nodiscard]] MetadataEntry* EntryOfRow(int row) const;
    [[nodiscard]] std::wstring CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::wstring& text);

    MetadataModel m_model;
    CDateTimePickerCtrlEx& m_datePicker;
    CContainedWindow m_durationEditor{this, 2};
    int m_editRow = -1;
    int m_editColumn = 0;
    // What the open editor showed when it opened: the date editor's value (InvalidFileTime
    // when unreadable) and the editor's text.
    FileTime m_editStartDate = InvalidFileTime;
    std::wstring m_editStartText;
};
