#include "pages/ShellFileOpenDialogEx.h"

#include "ui/Messages.h"
#include "ui/ResultText.h"
#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "res/resource.h"

#include <shlwapi.h>

namespace {

constexpr FILEOPENDIALOGOPTIONS AddedOptions = FOS_NOCHANGEDIR | FOS_NODEREFERENCELINKS | FOS_DONTADDTORECENT;
constexpr SFGAOF AskedAttributes = SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK;
// The button label is padded so that the short text still gets a button of useful width.
constexpr const wchar_t* ButtonPadding = L"     ";

HRESULT FileSystemPath(IShellItem* item, std::wstring& path)
{
    CoTaskMemText text;
    const HRESULT result = item->GetDisplayName(SIGDN_FILESYSPATH, text.put());
    if (SUCCEEDED(result))
        path = text.c_str();
    return result;
}

} // namespace

CShellFileOpenDialogEx::CShellFileOpenDialogEx()
{
    Customise();
}

CShellFileOpenDialogEx::CShellFileOpenDialogEx(IFileOpenDialog* dialog) : CShellFileOpenDialogCustomizeImpl(dialog)
{
    Customise();
}

void CShellFileOpenDialogEx::Customise()
{
    if (!m_dialog)
        return;
    m_dialog->SetTitle(AppModule().LoadText(IDS_USE_TIMESTAMP_OF).c_str());
    FILEOPENDIALOGOPTIONS options = 0;
    if (SUCCEEDED(m_dialog->GetOptions(&options)))
        m_dialog->SetOptions(options | AddedOptions);
    if (m_customize) {
        const std::wstring label = ButtonPadding + AppModule().LoadText(IDS_SELECT_FOLDER) + ButtonPadding;
        m_customize->AddPushButton(IDC_SELECT_FOLDER, label.c_str());
        m_customize->SetControlState(IDC_SELECT_FOLDER, CDCS_VISIBLE);
    }
}

HRESULT CShellFileOpenDialogEx::SetButtonState(CDCONTROLSTATEF state)
{
    return m_customize->SetControlState(IDC_SELECT_FOLDER, state);
}

IFACEMETHODIMP CShellFileOpenDialogEx::OnFileOk(IFileDialog*)
{
    if (!m_customize)
        return E_NOTIMPL;
    m_selectedItem.reset();
    return S_OK;
}

IFACEMETHODIMP CShellFileOpenDialogEx::OnFolderChange(IFileDialog*)
{
    if (!m_customize)
        return E_NOTIMPL;
    m_selectedItem.reset();
    m_dialog->SetFileName(nullptr);
    return SetButtonState(CDCS_VISIBLE);
}

IFACEMETHODIMP CShellFileOpenDialogEx::OnSelectionChange(IFileDialog*)
{
    if (!m_customize)
        return E_NOTIMPL;
    m_selectedItem.reset();
    CDCONTROLSTATEF state = CDCS_VISIBLE;
    if (SUCCEEDED(m_dialog->GetCurrentSelection(m_selectedItem.put())) && m_selectedItem) {
        SFGAOF attributes = 0;
        m_selectedItem->GetAttributes(AskedAttributes, &attributes);
        std::wstring path;
        const bool named = (attributes & SFGAO_FILESYSTEM) && SUCCEEDED(FileSystemPath(m_selectedItem.get(), path));
        const wchar_t* name = named ? ::PathFindFileNameW(path.c_str()) : nullptr;
        switch (attributes) {
        case SFGAO_FILESYSTEM | SFGAO_LINK: // a shortcut file: its own name, not a folder
            m_dialog->SetFileName(name);
            break;
        case SFGAO_FILESYSTEM | SFGAO_FOLDER:
        case SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK:
            m_dialog->SetFileName(name);
            state = CDCS_ENABLEDVISIBLE;
            break;
        default:
            break;
        }
    }
    return SetButtonState(state);
}

IFACEMETHODIMP CShellFileOpenDialogEx::OnButtonClicked(IFileDialogCustomize*, DWORD controlId)
{
    if (!m_customize)
        return E_NOTIMPL;
    if (controlId == IDC_SELECT_FOLDER)
        return m_dialog->Close(S_OK);
    return S_OK;
}

HRESULT CShellFileOpenDialogEx::GetChosenPath(std::wstring& path) const
{
    path.clear();
    if (m_selectedItem)
        return FileSystemPath(m_selectedItem.get(), path);
    if (!m_dialog)
        return E_POINTER;
    ComPtr<IShellItem> result;
    HRESULT hr = m_dialog->GetResult(result.put());
    if (SUCCEEDED(hr) && !result)
        hr = E_POINTER;
    if (SUCCEEDED(hr))
        hr = FileSystemPath(result.get(), path);
    return hr;
}

bool UseTimestampOf(CShellFileOpenDialogEx& dialog, HWND owner, HWND sheet, HandlingRecord& rows)
{
    if (!dialog.IsCreated())
        return false;
    if (FAILED(dialog.DoModal(owner)))
        return false;

    std::wstring path;
    const HRESULT chosen = dialog.GetChosenPath(path);
    if (FAILED(chosen)) {
        ReportFailure(sheet, chosen, nullptr);
        return false;
    }
    FileTimes times;
    if (!ReadFileTimes(path.c_str(), times)) {
        ReportFailure(sheet, LastErrorResult(), nullptr);
        return false;
    }
    for (int k = 0; k < TimestampKindCount; ++k) {
        rows.operation[k] = OpSpecifiedDateTime;
        rows.value[k] = times[k];
    }
    return true;
}
