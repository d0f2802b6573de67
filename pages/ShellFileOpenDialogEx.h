#pragma once

#include "engine/TimestampOperations.h"
#include "pages/ShellFileDialogCustomizeImpl.h"

#include <string>

// The "Use Timestamp Of" dialog: a file-open dialog in which the user opens a file, or takes
// the folder selected in its list with the added "Select Folder" button.
class CShellFileOpenDialogEx : public CShellFileOpenDialogCustomizeImpl {
public:
    CShellFileOpenDialogEx();
    explicit CShellFileOpenDialogEx(IFileOpenDialog* dialog);

    // After a successful DoModal: the folder taken with the button, or else the opened item.
    [[nodiscard]] HRESULT GetChosenPath(std::wstring& path) const;

    // The item selected at the last selection change, if any.
    [[nodiscard]] IShellItem* SelectedItem() const noexcept { return m_selectedItem.get(); }

    IFACEMETHODIMP OnFileOk(IFileDialog* dialog) override;
    IFACEMETHODIMP OnFolderChange(IFileDialog* dialog) override;
    IFACEMETHODIMP OnSelectionChange(IFileDialog* dialog) override;
    IFACEMETHODIMP OnButtonClicked(IFileDialogCustomize* customize, DWORD controlId) override;

private:
    void Customise();
    [[nodiscard]] HRESULT SetButtonState(CDCONTROLSTATEF state);

    ComPtr<IShellItem> m_selectedItem;
};

// The Browse command of a timestamp page: lets the user choose an item in `dialog`, shown over
// `owner`, and takes the item's three times at full precision into `rows` with the operation
// "Set the specified date and time". An item whose times cannot be read is reported in an
// error box owned by `sheet`. False when `rows` was not changed (also on cancel, silently).
bool UseTimestampOf(CShellFileOpenDialogEx& dialog, HWND owner, HWND sheet, HandlingRecord& rows);
