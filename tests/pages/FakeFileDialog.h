#pragma once

#include <windows.h>
#include <shobjidl.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// An item of a stand-in shell namespace: a path and the attributes the shell would report.
class FakeShellItem final : public IShellItem {
public:
    FakeShellItem(std::wstring itemPath, SFGAOF itemAttributes) : path(std::move(itemPath)), attributes(itemAttributes)
    {
    }

    std::wstring path;
    SFGAOF attributes;
    int pathRequests = 0;
    LONG references = 1;

    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    IFACEMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }

    IFACEMETHODIMP BindToHandler(IBindCtx*, REFGUID, REFIID, void**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetParent(IShellItem**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetDisplayName(SIGDN form, LPWSTR* name) override;
    IFACEMETHODIMP GetAttributes(SFGAOF mask, SFGAOF* result) override;
    IFACEMETHODIMP Compare(IShellItem*, SICHINTF, int*) override { return E_NOTIMPL; }
};

// A stand-in for the shell's file-open dialog: records what the program asks of it, and plays
// a scripted user inside Show. It counts references so that a test can see them balanced.
class FakeFileDialog final : public IFileOpenDialog, public IFileDialogCustomize {
public:
    explicit FakeFileDialog(bool offersCustomize = true) : customizable(offersCustomize) {}

    bool customizable;
    LONG references = 1;

    // What the program asked for.
    FILEOPENDIALOGOPTIONS options = 0;
    std::vector<FILEOPENDIALOGOPTIONS> optionsSet;
    std::wstring title;
    std::map<DWORD, std::wstring> pushButtons;
    std::map<DWORD, CDCONTROLSTATEF> states;
    std::vector<std::optional<std::wstring>> fileNamesSet; // nullopt: cleared
    IFileDialogEvents* events = nullptr;
    int advises = 0;
    int unadvises = 0;
    HWND shownOver = nullptr;
    std::optional<HRESULT> closedWith;

    // What the user does inside Show; without a script the user cancels.
    std::function<HRESULT(FakeFileDialog&)> user;
    IShellItem* currentSelection = nullptr;
    IShellItem* result = nullptr;

    // The user's acts, as the shell reports them to the advised events.
    HRESULT Select(IShellItem* item);
    HRESULT ChangeFolder();
    HRESULT ClickButton(DWORD id);
    HRESULT PressOpen(IShellItem* item); // OnFileOk; an accepted item becomes the result

    static HRESULT Cancelled() { return HRESULT_FROM_WIN32(ERROR_CANCELLED); }

    IFACEMETHODIMP QueryInterface(REFIID iid, void** object) override;
    IFACEMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++references); }
    IFACEMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--references); }

    // IModalWindow, IFileDialog, IFileOpenDialog
    IFACEMETHODIMP Show(HWND owner) override;
    IFACEMETHODIMP SetFileTypes(UINT, const COMDLG_FILTERSPEC*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetFileTypeIndex(UINT) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetFileTypeIndex(UINT*) override { return E_NOTIMPL; }
    IFACEMETHODIMP Advise(IFileDialogEvents* sink, DWORD* cookie) override;
    IFACEMETHODIMP Unadvise(DWORD cookie) override;
    IFACEMETHODIMP SetOptions(FILEOPENDIALOGOPTIONS value) override;
    IFACEMETHODIMP GetOptions(FILEOPENDIALOGOPTIONS* value) override;
    IFACEMETHODIMP SetDefaultFolder(IShellItem*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetFolder(IShellItem*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetFolder(IShellItem**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCurrentSelection(IShellItem** item) override;
    IFACEMETHODIMP SetFileName(LPCWSTR name) override;
    IFACEMETHODIMP GetFileName(LPWSTR*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetTitle(LPCWSTR text) override;
    IFACEMETHODIMP SetOkButtonLabel(LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetFileNameLabel(LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetResult(IShellItem** item) override;
    IFACEMETHODIMP AddPlace(IShellItem*, FDAP) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetDefaultExtension(LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP Close(HRESULT hr) override;
    IFACEMETHODIMP SetClientGuid(REFGUID) override { return E_NOTIMPL; }
    IFACEMETHODIMP ClearClientData() override { return E_NOTIMPL; }
    IFACEMETHODIMP SetFilter(IShellItemFilter*) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetResults(IShellItemArray**) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetSelectedItems(IShellItemArray**) override { return E_NOTIMPL; }

    // IFileDialogCustomize
    IFACEMETHODIMP EnableOpenDropDown(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddMenu(DWORD, LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddPushButton(DWORD id, LPCWSTR label) override;
    IFACEMETHODIMP AddComboBox(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddRadioButtonList(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddCheckButton(DWORD, LPCWSTR, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddEditBox(DWORD, LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddSeparator(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddText(DWORD, LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetControlLabel(DWORD, LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetControlState(DWORD id, CDCONTROLSTATEF* state) override;
    IFACEMETHODIMP SetControlState(DWORD id, CDCONTROLSTATEF state) override;
    IFACEMETHODIMP GetEditBoxText(DWORD, WCHAR**) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetEditBoxText(DWORD, LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetCheckButtonState(DWORD, BOOL*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetCheckButtonState(DWORD, BOOL) override { return E_NOTIMPL; }
    IFACEMETHODIMP AddControlItem(DWORD, DWORD, LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP RemoveControlItem(DWORD, DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP RemoveAllControlItems(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetControlItemState(DWORD, DWORD, CDCONTROLSTATEF*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetControlItemState(DWORD, DWORD, CDCONTROLSTATEF) override { return E_NOTIMPL; }
    IFACEMETHODIMP GetSelectedControlItem(DWORD, DWORD*) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetSelectedControlItem(DWORD, DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP StartVisualGroup(DWORD, LPCWSTR) override { return E_NOTIMPL; }
    IFACEMETHODIMP EndVisualGroup() override { return E_NOTIMPL; }
    IFACEMETHODIMP MakeProminent(DWORD) override { return E_NOTIMPL; }
    IFACEMETHODIMP SetControlItemText(DWORD, DWORD, LPCWSTR) override { return E_NOTIMPL; }
};
