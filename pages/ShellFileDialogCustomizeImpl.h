#pragma once

#include "platform/Handles.h"

#include <windows.h>
#include <shobjidl.h>

// The event sinks of a customised shell file dialog, implemented by the object that runs the
// dialog. The object lives for one dialog run on its owner's stack, so it counts no
// references. Every event is declined (E_NOTIMPL) unless a derived class handles it.
class CShellFileDialogCustomizeImpl : public IFileDialogEvents, public IFileDialogControlEvents {
public:
    CShellFileDialogCustomizeImpl() = default;
    CShellFileDialogCustomizeImpl(const CShellFileDialogCustomizeImpl&) = delete;
    CShellFileDialogCustomizeImpl& operator=(const CShellFileDialogCustomizeImpl&) = delete;
    virtual ~CShellFileDialogCustomizeImpl() = default;

    // The dialog's customisation interface; empty when the dialog offers none.
    [[nodiscard]] IFileDialogCustomize* Customize() const noexcept { return m_customize.get(); }

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override { return 1; }
    IFACEMETHODIMP_(ULONG) Release() override { return 1; }

    // IFileDialogEvents
    IFACEMETHODIMP OnFileOk(IFileDialog*) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnFolderChanging(IFileDialog*, IShellItem*) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnFolderChange(IFileDialog*) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnSelectionChange(IFileDialog*) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnShareViolation(IFileDialog*, IShellItem*, FDE_SHAREVIOLATION_RESPONSE*) override
    {
        return E_NOTIMPL;
    }
    IFACEMETHODIMP OnTypeChange(IFileDialog*) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnOverwrite(IFileDialog*, IShellItem*, FDE_OVERWRITE_RESPONSE*) override { return E_NOTIMPL; }

    // IFileDialogControlEvents
    IFACEMETHODIMP OnItemSelected(IFileDialogCustomize*, DWORD, DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnButtonClicked(IFileDialogCustomize*, DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnCheckButtonToggled(IFileDialogCustomize*, DWORD, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP OnControlActivating(IFileDialogCustomize*, DWORD) override { return E_NOTIMPL; }

protected:
    ComPtr<IFileDialogCustomize> m_customize;
};

// The shell's file-open dialog with its customisation interface and this object as the
// receiver of its events.
class CShellFileOpenDialogCustomizeImpl : public CShellFileDialogCustomizeImpl {
public:
    // Creates the platform's dialog; IsCreated() tells whether that worked.
    CShellFileOpenDialogCustomizeImpl();
    // Runs the given dialog object instead (for example one that stands in for the platform's).
    explicit CShellFileOpenDialogCustomizeImpl(IFileOpenDialog* dialog);

    [[nodiscard]] bool IsCreated() const noexcept { return static_cast<bool>(m_dialog); }
    [[nodiscard]] IFileOpenDialog* Dialog() const noexcept { return m_dialog.get(); }

    // Shows the dialog modally over `owner` with this object receiving its events; the
    // dialog's result (a failure when the user cancels).
    [[nodiscard]] HRESULT DoModal(HWND owner);

protected:
    ComPtr<IFileOpenDialog> m_dialog;

private:
    void Prepare();
};
