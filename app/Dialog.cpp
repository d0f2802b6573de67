#include "app/Dialog.h"

#include "app/ApplyProgress.h"
#include "app/ProgressWindow.h"

#include "ui/Messages.h"
#include "ui/ResultText.h"
#include "engine/FileTimeAccess.h"
#include "engine/FolderWalk.h"
#include "framework/Module.h"
#include "metadata/WindowsPropertySystem.h"
#include "platform/ItemPath.h"
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

DWORD AttributesOf(const std::wstring& path)
{
    return ::GetFileAttributesW(ItemPath(path).c_str());
}

bool IsFolder(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The shell's path calls take at most MAX_PATH characters and read a path the ordinary way,
// which drops a name's trailing blanks and periods and so may reach a sibling.
bool ShellCanTake(const std::wstring& path)
{
    return path.size() < MAX_PATH && !path.empty() && path.back() != L' ' && path.back() != L'.';
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
    const DWORD attributes = AttributesOf(m_targetPath);
    m_general.isFolder = IsFolder(attributes);

    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME;
    if (!ShellCanTake(m_targetPath) ||
        !::SHGetFileInfoW(m_targetPath.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags)) {
        // From the name and attributes alone: for a path the shell cannot take, and for one
        // that does not exist yet.
        info = SHFILEINFOW{};
        const std::wstring name(ShellCanTake(m_targetPath) ? m_targetPath : PathName(m_targetPath));
        const DWORD known = m_general.isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        ::SHGetFileInfoW(name.c_str(), known, &info, sizeof info, flags | SHGFI_USEFILEATTRIBUTES);
    }
    m_icon.reset(info.hIcon);
    m_general.icon = m_icon.get();
    m_advanced.icon = m_icon.get();
    // The shell would show a name cut at MAX_PATH or without its trailing blanks.
    m_general.displayName =
        ShellCanTake(m_targetPath) ? std::wstring(info.szDisplayName) : std::wstring(PathName(m_targetPath));
    m_general.typeName = info.szTypeName;

    m_general.location = ParentPath(m_targetPath);
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
    // no Metadata page; nor has one the shell's parsing would not reach exactly.
    if (!ShellCanTake(m_targetPath))
        return;
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
    if (IsFolder(AttributesOf(m_targetPath)))
        return ApplyToFolderTarget();
    return ApplyToFileTarget();
}

int CDialog::ApplyToFolderTarget()
{
    WalkOutcome outcome = WalkOutcome::Finished;
    HRESULT failure = S_OK;
    std::wstring failedPath;
    FileTimes times{};
    HRESULT readResult = S_OK;
    {
        WaitCursor wait;
        ProgressWindow window;
        ApplyProgress progress(window, m_hWnd, m_targetPath);
        ApplyOptions options;
        options.recursive = m_general.recursive;
        options.excludeSystem = m_general.excludeSystem;
        options.excludeHidden = m_general.excludeHidden;
        options.namePatterns = m_advanced.namePatterns;
        options.progress = &progress;
        // A failure is shown once the progress window is gone.
        outcome = ApplyToFolder(m_general, m_advanced, options, m_targetPath,
                                [&failure, &failedPath](HRESULT code, const std::wstring& path) {
                                    failure = code;
                                    failedPath = path;
                                });
    }
    if (outcome == WalkOutcome::Failed) {
        ReportFailure(m_hWnd, failure, failedPath.c_str());
        return PSNRET_INVALID_NOCHANGEPAGE;
    }
    {
        WaitCursor wait;
        if (!ReadFileTimes(m_targetPath.c_str(), times))
            readResult = LastErrorResult();
    }
    if (FAILED(readResult))
        return ReportApplyFailure(readResult);
    ShowTimesRead(times);
    // Stopped by the user: what was written stays, the sheet stays open on its page, and
    // nothing is reported.
    return outcome == WalkOutcome::Stopped ? PSNRET_INVALID_NOCHANGEPAGE : PSNRET_NOERROR;
}

int CDialog::ApplyToFileTarget()
{
    const std::wstring parent = ParentPath(m_targetPath);
    if (ShellCanTake(parent)) {
        // Offers to create a missing folder, or to insert the medium; says itself what failed.
        const HRESULT prepared = ::SHPathPrepareForWriteW(m_hWnd, nullptr, m_targetPath.c_str(),
                                                          SHPPFW_ASKDIRCREATE | SHPPFW_IGNOREFILENAME);
        if (FAILED(prepared))
            return PSNRET_INVALID_NOCHANGEPAGE;
    } else if (!IsFolder(AttributesOf(parent))) {
        return ReportApplyFailure(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    }

    if (AttributesOf(m_targetPath) == INVALID_FILE_ATTRIBUTES) {
        // A failure here shows up in the read that follows.
        FileHandle created(::CreateFileW(ItemPath(m_targetPath).c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    FileTimes times{};
    // A file has no entries: the folder operations (the target may have been a folder when the
    // sheet was built) leave their kinds as they are.
    const auto change = [this](const FileTimes& current) { return TimesToWrite(m_general, current, nullptr); };
    const bool done = m_general.AnyOperation() ? ChangeFileTimes(m_targetPath.c_str(), change, times)
                                               : ReadFileTimes(m_targetPath.c_str(), times);
    if (!done)
        return ReportApplyFailure(LastErrorResult());
    ShowTimesRead(times);
    return PSNRET_NOERROR;
}

int CDialog::ReportApplyFailure(HRESULT code)
{
    ReportFailure(m_hWnd, code, nullptr);
    return PSNRET_INVALID_NOCHANGEPAGE;
}

void CDialog::ShowTimesRead(const FileTimes& times)
{
    for (int k = 0; k < TimestampKindCount; ++k)
        m_general.value[k] = times[k];
    if (m_general.m_hWnd)
        m_general.ExchangeData(false);
}
