#include "app/Dialog.h"

#include "app/Messages.h"
#include "app/ResultText.h"
#include "engine/FileTimeAccess.h"
#include "engine/FolderWalk.h"
#include "framework/Module.h"
#include "metadata/WindowsPropertySystem.h"
#include "res/resource.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

namespace {

// Shows the wait cursor for a scope and puts the previous one back.
class WaitCursor {
public:
    WaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

std::wstring ParentFolder(const std::wstring& path)
{
    std::wstring folder = path;
    folder.resize(MAX_PATH > folder.size() ? MAX_PATH : folder.size() + 1);
    ::PathRemoveFileSpecW(folder.data());
    folder.resize(::wcslen(folder.c_str()));
    return folder;
}

void SetBothRecords(CGeneralPage& general, CAdvancedPage& advanced, const FileTimes& times, FileTime now)
{
    for (int k = 0; k < TimestampKindCount; ++k) {
        general.value[k] = times[k];
        advanced.value[k] = times[k];
    }
    general.now = now;
    advanced.now = now;
}

PropertySystem& ProcessPropertySystem()
{
    static WindowsPropertySystem system;
    return system;
}

} // namespace

CDialog::CDialog(const std::wstring& targetPath) : CDialog(targetPath, ProcessPropertySystem()) {}

CDialog::CDialog(const std::wstring& targetPath, PropertySystem& properties)
    : CPropertySheetEx(IDS_PRODUCT_NAME), m_targetPath(targetPath), m_metadata(properties)
{
    m_psh.dwFlags |= PSH_NOCONTEXTHELP;
    m_general.SetSheet(this);
    m_advanced.SetSheet(this);
    m_metadata.SetSheet(this);
    // Created with the sheet, so that they answer PSN_APPLY even when their tab was never opened.
    m_advanced.m_psp.dwFlags |= PSP_PREMATURE;
    m_metadata.m_psp.dwFlags |= PSP_PREMATURE;

    ReadTargetInformation();
    AddPages();
}

void CDialog::ReadTargetInformation()
{
    m_general.isFolder = ::PathIsDirectoryW(m_targetPath.c_str()) != FALSE;

    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME;
    if (!::SHGetFileInfoW(m_targetPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags)) {
        // Works for a path that does not exist yet: the values come from the name alone.
        info = SHFILEINFOW{};
        ::SHGetFileInfoW(m_targetPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                         flags | SHGFI_USEFILEATTRIBUTES);
    }
    m_icon.reset(info.hIcon);
    m_general.icon = m_icon.get();
    m_advanced.icon = m_icon.get();
    m_general.displayName = info.szDisplayName;
    m_general.typeName = info.szTypeName;

    m_general.location = ParentFolder(m_targetPath);
    m_advanced.location = m_targetPath;

    const FileTime now = CurrentFileTime();
    FileTimes times{};
    if (!ReadFileTimes(m_targetPath.c_str(), times))
        times = FileTimes{now, now, now};
    SetBothRecords(m_general, m_advanced, times, now);
}

void CDialog::AddPages()
{
    AddPage(m_general.Create());
    if (m_general.isFolder) {
        AddPage(m_advanced.Create());
        return;
    }
    // Without readable properties (as on a platform without a property system) a file has
    // no Metadata page.
    m_metadata.SetTargetPath(m_targetPath);
    if (SUCCEEDED(m_metadata.LoadMetadata()))
        AddPage(m_metadata.Create());
}

HWND CDialog::Create()
{
    m_psh.dwFlags |= PSH_MODELESS;
    HWND sheet = CPropertySheetImpl::Create();
    if (sheet)
        CreateEveryPageWindow();
    return sheet;
}

void CDialog::CreateEveryPageWindow()
{
    // Pages marked to be created with the sheet must exist from the start: only the last page
    // starts the apply, and a page without a window gets no PSN_APPLY. Wine ignores
    // PSP_PREMATURE and creates the start page only; selecting each missing page once creates
    // it. On Windows every page already exists and nothing happens here.
    bool missing = false;
    for (int i = 0; i < GetPageCount(); ++i)
        missing = missing || !PageWindow(i);
    if (!missing)
        return;
    for (int i = 1; i < GetPageCount(); ++i) {
        if (!PageWindow(i))
            SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
    SendMessage(PSM_SETCURSEL, 0, 0);
}

bool CDialog::HasFinished() const
{
    // The platform's sign that a modeless sheet has ended after OK or Cancel.
    return IsModeless() && m_hWnd && !GetActivePage();
}

LRESULT CDialog::OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    // The platform's sheet procedure handles the command first; a sheet that has finished
    // with it is then destroyed here.
    const LRESULT result = DefWindowProc();
    const WORD id = LOWORD(wParam);
    if ((id == IDOK || id == IDCANCEL) && HIWORD(wParam) == 0 && HasFinished())
        ::DestroyWindow(m_hWnd);
    return result;
}

bool CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Wine ends the sheet on PSM_PRESSBUTTON without a WM_COMMAND passing this window; such
    // an end is noticed at the next queued message.
    if (HasFinished()) {
        ::DestroyWindow(m_hWnd);
        return false;
    }
    return CPropertySheetEx::PreTranslateMessage(pMsg);
}

LRESULT CDialog::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    if (CMessageLoop* loop = AppModule().GetMessageLoop())
        loop->RemoveMessageFilter(this);
    ::PostQuitMessage(static_cast<int>(SendMessage(PSM_GETRESULT)));
    bHandled = FALSE;
    return 0;
}

int CDialog::ApplyTimestamps()
{
    const FileTime now = CurrentFileTime();
    m_general.now = now;
    m_advanced.now = now;
    if (::PathIsDirectoryW(m_targetPath.c_str()))
        return ApplyToFolderTarget();
    return ApplyToFileTarget();
}

int CDialog::ApplyToFolderTarget()
{
    FileTimes times{};
    HRESULT readResult = S_OK;
    {
        WaitCursor wait;
        ApplyOptions options;
        options.recursive = m_general.recursive;
        options.excludeSystem = m_general.excludeSystem;
        options.excludeHidden = m_general.excludeHidden;
        options.namePatterns = m_advanced.namePatterns;
        HWND sheet = m_hWnd;
        const bool finished = ApplyToFolder(
            m_general, m_advanced, options, m_targetPath.c_str(), m_advanced.namePatterns.c_str(), m_general.recursive,
            [sheet](HRESULT code, const std::wstring& path) { ReportFailure(sheet, code, path.c_str()); });
        if (!finished)
            return PSNRET_INVALID_NOCHANGEPAGE;
        if (!ReadFileTimes(m_targetPath.c_str(), times))
            readResult = LastErrorResult();
    }
    if (FAILED(readResult))
        return ReportApplyFailure(readResult);
    ShowTimesRead(times);
    return PSNRET_NOERROR;
}

int CDialog::ApplyToFileTarget()
{
    const HRESULT prepared = ::SHPathPrepareForWriteW(m_hWnd, nullptr, m_targetPath.c_str(),
                                                      SHPPFW_ASKDIRCREATE | SHPPFW_IGNOREFILENAME);
    if (FAILED(prepared))
        return PSNRET_INVALID_NOCHANGEPAGE;

    if (!::PathFileExistsW(m_targetPath.c_str())) {
        // A failure here shows up in the read that follows.
        FileHandle created(::CreateFileW(m_targetPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    FileTimes times{};
    if (!ReadFileTimes(m_targetPath.c_str(), times))
        return ReportApplyFailure(LastErrorResult());
    if (m_general.AnyOperation()) {
        const TimeExtremes unused;
        ComputeNewTimes(m_general, times, &unused);
        if (!WriteFileTimes(m_targetPath.c_str(), times) || !ReadFileTimes(m_targetPath.c_str(), times))
            return ReportApplyFailure(LastErrorResult());
    }
    ShowTimesRead(times);
    return PSNRET_NOERROR;
}

int CDialog::ReportApplyFailure(HRESULT code)
{
    ShowMessage(m_hWnd, ResultText(code), IDS_PRODUCT_NAME, MB_ICONERROR);
    return PSNRET_INVALID_NOCHANGEPAGE;
}

void CDialog::ShowTimesRead(const FileTimes& times)
{
    for (int k = 0; k < TimestampKindCount; ++k)
        m_general.value[k] = times[k];
    if (m_general.m_hWnd)
        m_general.ExchangeData(false);
}
