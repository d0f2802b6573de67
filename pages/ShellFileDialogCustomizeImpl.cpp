#include "pages/ShellFileDialogCustomizeImpl.h"

namespace {

constexpr FILEOPENDIALOGOPTIONS CreationOptions = FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST;

} // namespace

IFACEMETHODIMP CShellFileDialogCustomizeImpl::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IFileDialogEvents)) {
        *object = static_cast<IFileDialogEvents*>(this);
        return S_OK;
    }
    if (IsEqualIID(iid, IID_IFileDialogControlEvents)) {
        *object = static_cast<IFileDialogControlEvents*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

CShellFileOpenDialogCustomizeImpl::CShellFileOpenDialogCustomizeImpl()
{
    ::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_ALL, IID_IFileOpenDialog, m_dialog.put_void());
    Prepare();
}

CShellFileOpenDialogCustomizeImpl::CShellFileOpenDialogCustomizeImpl(IFileOpenDialog* dialog)
{
    if (dialog) {
        dialog->AddRef();
        m_dialog = ComPtr<IFileOpenDialog>::Attach(dialog);
    }
    Prepare();
}

void CShellFileOpenDialogCustomizeImpl::Prepare()
{
    if (!m_dialog)
        return;
    m_dialog->SetOptions(CreationOptions);
    if (FAILED(m_dialog.As(IID_IFileDialogCustomize, m_customize)))
        m_customize.reset();
}

HRESULT CShellFileOpenDialogCustomizeImpl::DoModal(HWND owner)
{
    if (!m_dialog)
        return E_POINTER;
    DWORD cookie = 0;
    const HRESULT advised = m_dialog->Advise(static_cast<IFileDialogEvents*>(this), &cookie);
    const HRESULT shown = m_dialog->Show(owner);
    if (SUCCEEDED(advised))
        m_dialog->Unadvise(cookie);
    return shown;
}
