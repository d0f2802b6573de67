#include "tests/pages/FakeFileDialog.h"

#include "platform/Handles.h"

#include <cstring>

IFACEMETHODIMP FakeShellItem::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellItem)) {
        *object = static_cast<IShellItem*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

IFACEMETHODIMP FakeShellItem::GetDisplayName(SIGDN form, LPWSTR* name)
{
    ++pathRequests;
    *name = nullptr;
    if (form != SIGDN_FILESYSPATH || !(attributes & SFGAO_FILESYSTEM))
        return E_INVALIDARG;
    const size_t bytes = (path.size() + 1) * sizeof(wchar_t);
    *name = static_cast<LPWSTR>(::CoTaskMemAlloc(bytes));
    if (!*name)
        return E_OUTOFMEMORY;
    std::memcpy(*name, path.c_str(), bytes);
    return S_OK;
}

IFACEMETHODIMP FakeShellItem::GetAttributes(SFGAOF mask, SFGAOF* result)
{
    *result = attributes & mask;
    return *result == mask ? S_OK : S_FALSE;
}

HRESULT FakeFileDialog::Select(IShellItem* item)
{
    currentSelection = item;
    return events ? events->OnSelectionChange(this) : E_UNEXPECTED;
}

HRESULT FakeFileDialog::ChangeFolder()
{
    currentSelection = nullptr;
    return events ? events->OnFolderChange(this) : E_UNEXPECTED;
}

HRESULT FakeFileDialog::ClickButton(DWORD id)
{
    // The shell asks for the control events only when a control is used.
    if (!events)
        return E_UNEXPECTED;
    ComPtr<IFileDialogControlEvents> controlEvents;
    const HRESULT found = events->QueryInterface(IID_IFileDialogControlEvents, controlEvents.put_void());
    if (FAILED(found))
        return found;
    return controlEvents->OnButtonClicked(this, id);
}

HRESULT FakeFileDialog::PressOpen(IShellItem* item)
{
    const HRESULT answer = events ? events->OnFileOk(this) : S_OK;
    if (answer == S_OK || answer == E_NOTIMPL) {
        result = item;
        Close(S_OK);
    }
    return answer;
}

IFACEMETHODIMP FakeFileDialog::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IModalWindow) || IsEqualIID(iid, IID_IFileDialog) ||
        IsEqualIID(iid, IID_IFileOpenDialog))
        *object = static_cast<IFileOpenDialog*>(this);
    else if (IsEqualIID(iid, IID_IFileDialogCustomize) && customizable)
        *object = static_cast<IFileDialogCustomize*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::Show(HWND owner)
{
    shownOver = owner;
    closedWith.reset();
    const HRESULT played = user ? user(*this) : Cancelled();
    return closedWith ? *closedWith : played;
}

IFACEMETHODIMP FakeFileDialog::Advise(IFileDialogEvents* sink, DWORD* cookie)
{
    ++advises;
    events = sink;
    *cookie = 7;
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::Unadvise(DWORD cookie)
{
    if (cookie != 7)
        return E_INVALIDARG;
    ++unadvises;
    events = nullptr;
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::SetOptions(FILEOPENDIALOGOPTIONS value)
{
    options = value;
    optionsSet.push_back(value);
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::GetOptions(FILEOPENDIALOGOPTIONS* value)
{
    *value = options;
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::GetCurrentSelection(IShellItem** item)
{
    *item = currentSelection;
    if (!currentSelection)
        return E_FAIL;
    currentSelection->AddRef();
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::SetFileName(LPCWSTR name)
{
    fileNamesSet.push_back(name ? std::optional<std::wstring>(name) : std::nullopt);
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::SetTitle(LPCWSTR text)
{
    title = text ? text : L"";
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::GetResult(IShellItem** item)
{
    *item = result;
    if (!result)
        return E_UNEXPECTED;
    result->AddRef();
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::Close(HRESULT hr)
{
    closedWith = hr;
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::AddPushButton(DWORD id, LPCWSTR label)
{
    pushButtons[id] = label ? label : L"";
    states[id] = CDCS_ENABLEDVISIBLE;
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::GetControlState(DWORD id, CDCONTROLSTATEF* state)
{
    const auto found = states.find(id);
    if (found == states.end())
        return E_INVALIDARG;
    *state = found->second;
    return S_OK;
}

IFACEMETHODIMP FakeFileDialog::SetControlState(DWORD id, CDCONTROLSTATEF state)
{
    if (!states.count(id))
        return E_INVALIDARG;
    states[id] = state;
    return S_OK;
}
