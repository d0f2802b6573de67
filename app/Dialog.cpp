#include "app/Dialog.h"

#include "app/ApplyProgress.h"
#include "app/ProgressWindow.h"
#include "app/SelectionHeader.h"

#include "ui/Messages.h"
#include "ui/ResultText.h"
#include "ui/TextFormat.h"
#include "engine/FileTimeAccess.h"
#include "engine/FolderWalk.h"
#include "framework/Module.h"
#include "metadata/WindowsPropertySystem.h"
#include "platform/ItemPath.h"
#include "res/resource.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <map>
#include <set>

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

// What each item is as the sheet opens: whether it is a folder, and whether it exists (a
// missing item is made a file on apply, if it is still missing then).
std::vector<SelectedItem> ReadSelectedItems(std::vector<std::wstring> paths)
{
    std::vector<SelectedItem> items;
    items.reserve(paths.size());
    for (std::wstring& path : paths) {
        const DWORD attributes = AttributesOf(path);
        items.push_back({std::move(path), IsFolder(attributes), attributes != INVALID_FILE_ATTRIBUTES});
    }
    return items;
}

// The shell's type name of an item, from its name and kind alone (nothing on disk is read),
// asked once per file-name extension: a selection of thousands of photos asks once.
class TypeNames {
public:
    std::wstring operator()(const SelectedItem& item)
    {
        const std::wstring_view name = PathName(item.path);
        const std::size_t dot = name.rfind(L'.');
        std::wstring key =
            item.wasFolder ? L"\\folder" : std::wstring(dot == std::wstring_view::npos ? L"" : name.substr(dot));
        if (!key.empty())
            ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
        const auto known = m_names.find(key);
        if (known != m_names.end())
            return known->second;
        SHFILEINFOW info{};
        const std::wstring probe = item.wasFolder ? L"folder" : L"file" + key;
        ::SHGetFileInfoW(probe.c_str(), item.wasFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info,
                         sizeof info, SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES);
        return m_names[key] = info.szTypeName;
    }

private:
    std::map<std::wstring, std::wstring> m_names;
};

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

CDialog::CDialog(std::vector<std::wstring> targetPaths) : CDialog(std::move(targetPaths), ProcessPropertySystem()) {}

CDialog::CDialog(const std::wstring& targetPath, PropertySystem& properties)
    : CDialog(std::vector<std::wstring>{targetPath}, properties)
{
}

CDialog::CDialog(std::vector<std::wstring> targetPaths, PropertySystem& properties)
    : CPropertySheetEx(IDS_PRODUCT_NAME), m_items(ReadSelectedItems(std::move(targetPaths))), m_metadata(properties)
{
    m_psh.dwFlags |= PSH_NOCONTEXTHELP;
    m_general.SetSheet(this);
    m_advanced.SetSheet(this);
    m_metadata.SetSheet(this);
    m_preview.SetSheet(this);
    // Created with the sheet, so that they answer PSN_APPLY even when their tab was never opened.
    m_advanced.m_psp.dwFlags |= PSP_PREMATURE;
    m_metadata.m_psp.dwFlags |= PSP_PREMATURE;
    m_preview.m_psp.dwFlags |= PSP_PREMATURE;

    if (m_items.size() == 1)
        ReadTargetInformation();
    else
        ReadSelectionInformation();
    StartRowsAtFirstItem();
    AddPages();
}

void CDialog::ReadTargetInformation()
{
    const std::wstring& target = TargetPath();
    m_general.isFolder = m_items.front().wasFolder;
    m_general.reachesFile = !m_general.isFolder;
    m_pendingHeader.Start(target, m_general.isFolder);
    m_general.location = ParentPath(target);
    m_advanced.location = target;
}

void CDialog::AwaitItemHeader()
{
    std::optional<ItemHeader> header = m_pendingHeader.Take();
    if (!header)
        return;
    m_icon = std::move(header->icon);
    m_general.icon = m_icon.get();
    m_advanced.icon = m_icon.get();
    m_general.displayName = std::move(header->displayName);
    m_general.typeName = std::move(header->typeName);
}

void CDialog::ReadSelectionInformation()
{
    bool anyFolder = false;
    bool anyFile = false;
    for (const SelectedItem& item : m_items) {
        anyFolder = anyFolder || item.wasFolder;
        anyFile = anyFile || !item.wasFolder;
    }
    // The earliest/latest operations and the walk's options are offered when a folder is among
    // the items; they act on the folders, and the files keep those kinds. The date taken is
    // offered when a file is among them, and folders keep that kind.
    m_general.isFolder = anyFolder;
    m_general.reachesFile = anyFile;

    SHSTOCKICONINFO stock{};
    stock.cbSize = sizeof stock;
    if (SUCCEEDED(::SHGetStockIconInfo(SIID_STACK, SHGSI_ICON | SHGSI_LARGEICON, &stock)) && stock.hIcon) {
        m_icon.reset(stock.hIcon);
    } else {
        // Without the shell's stack icon (Wine has none), the icon of the first item's kind.
        SHFILEINFOW info{};
        const std::wstring name(PathName(TargetPath()));
        ::SHGetFileInfoW(name.c_str(), m_items.front().wasFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL,
                         &info, sizeof info, SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
        m_icon.reset(info.hIcon);
    }
    TypeNames typeNames;
    const SelectionHeader header = DescribeSelection(m_items, std::ref(typeNames));
    m_general.displayName = header.name;
    m_general.typeName = header.type;
    m_general.location = header.location;
    m_advanced.location = header.advancedLocation;
}

void CDialog::StartRowsAtFirstItem()
{
    m_general.icon = m_icon.get();
    m_advanced.icon = m_icon.get();
    const FileTime now = CurrentFileTime();
    FileTimes times{};
    if (!ReadFileTimes(TargetPath().c_str(), times))
        times = FileTimes{now, now, now};
    SetBothRecords(m_general, m_advanced, times, now);
}

void CDialog::AddPages()
{
    AddPage(m_general.Create());
    if (m_general.isFolder)
        AddPage(m_advanced.Create());
    // A single file's General page shows its times already.
    if (m_general.isFolder || m_items.size() > 1) {
        AddPage(m_preview.Create());
        return;
    }
    // Only one file has properties to edit. Without readable properties (as on a platform
    // without a property system) a file has no Metadata page; nor has one the shell's
    // parsing would not reach exactly.
    if (m_items.size() != 1 || !ShellReadsExactly(TargetPath()))
        return;
    m_metadata.SetTargetPath(TargetPath());
    if (SUCCEEDED(m_metadata.LoadMetadata()))
        AddPage(m_metadata.Create());
}

HWND CDialog::Create()
{
    m_psh.dwFlags |= PSH_MODELESS;
    HWND sheet = CPropertySheetImpl::Create();
    if (sheet) {
        ++s_openSheets;
        CreateEveryPageWindow();
    }
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
    m_buildingPages = true;
    for (int i = 1; i < GetPageCount(); ++i) {
        if (!PageWindow(i))
            SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
    SendMessage(PSM_SETCURSEL, 0, 0);
    m_buildingPages = false;
}

TimestampKindSet CDialog::KindsLeftUnchanged() const
{
    TimestampKindSet kinds{};
    for (int k = 0; k < TimestampKindCount; ++k)
        kinds[k] = m_general.operation[k] == OpDontChange;
    return kinds;
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
    // The thread's loop ends with the last sheet of the process (the verb's server may have
    // several open).
    if (s_openSheets > 0)
        --s_openSheets;
    if (s_openSheets == 0)
        ::PostQuitMessage(static_cast<int>(SendMessage(PSM_GETRESULT)));
    bHandled = FALSE;
    return 0;
}

LRESULT CDialog::OnPageChanged(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    m_changedSinceApply = true;
    ++m_generation;
    bHandled = FALSE; // the platform enables Apply
    return 0;
}

ApplyChoices CDialog::Choices() const
{
    ApplyChoices choices;
    choices.general = m_general;
    choices.advanced = m_advanced;
    choices.options.recursive = m_general.recursive;
    choices.options.excludeSystem = m_general.excludeSystem;
    choices.options.excludeHidden = m_general.excludeHidden;
    choices.options.namePatterns = m_advanced.namePatterns;
    return choices;
}

template <class Work> auto CDialog::Followed(const std::wstring& subjectLine, Work work)
{
    WaitCursor wait;
    ProgressWindow window;
    ApplyProgress progress(m_progressDisplay ? *m_progressDisplay : window, m_hWnd, subjectLine, ::GetTickCount64,
                           m_progressDelayMs);
    return work(static_cast<WalkProgress&>(progress));
}

int CDialog::ApplyTimestamps()
{
    // The platform sends PSN_APPLY again on OK after Apply: with nothing changed since, the
    // operations (a swap of two kinds, a shift) must not run a second time.
    if (!m_changedSinceApply)
        return PSNRET_NOERROR;
    const FileTime now = CurrentFileTime();
    m_general.now = now;
    m_advanced.now = now;
    if (m_items.size() == 1 && !IsFolder(AttributesOf(TargetPath())) && !PrepareSingleFile())
        return PSNRET_INVALID_NOCHANGEPAGE;

    ApplyChoices choices = Choices();
    FileTimes times{};
    HRESULT readResult = S_OK;
    // Only the last apply can be undone; one that writes nothing leaves nothing to undo.
    m_undo.Clear();
    const ApplyReport report =
        Followed(m_items.size() == 1 ? ProgressFolderText(TargetPath()) : ProgressSelectionText(m_items.size()),
                 [&](WalkProgress& progress) {
                     choices.options.progress = &progress;
                     Win32FolderFileSystem platform;
                     RecordingFileSystem fileSystem(platform, m_undo);
                     return ApplySelection(fileSystem, choices, m_items);
                 });
    ItemsWritten();
    // A failure is shown once the progress window is gone. A single file is the item the
    // whole sheet names, so its failure needs no path.
    if (report.outcome == WalkOutcome::Failed) {
        const bool named = m_items.size() > 1 || m_items.front().wasFolder || report.failedPath != TargetPath();
        ReportFailure(m_hWnd, report.failure, named ? report.failedPath.c_str() : nullptr);
        ReportFilesWithoutDate(report.withoutDate);
        return PSNRET_INVALID_NOCHANGEPAGE;
    }
    {
        WaitCursor wait;
        if (!ReadFileTimes(TargetPath().c_str(), times))
            readResult = LastErrorResult();
    }
    if (FAILED(readResult))
        return ReportApplyFailure(readResult);
    ShowTimesRead(times);
    ReportSkippedLoops(report.skippedLoops);
    ReportFilesWithoutDate(report.withoutDate);
    // Stopped by the user: what was written stays, the sheet stays open on its page, and
    // nothing is reported.
    if (report.outcome == WalkOutcome::Stopped)
        return PSNRET_INVALID_NOCHANGEPAGE;
    m_changedSinceApply = false;
    return PSNRET_NOERROR;
}

bool CDialog::PrepareSingleFile()
{
    const std::wstring parent = ParentPath(TargetPath());
    if (ShellReadsExactly(parent)) {
        // Offers to create a missing folder, or to insert the medium; says itself what failed.
        // The shell is given exactly the path that was checked.
        const HRESULT prepared = ::SHPathPrepareForWriteW(m_hWnd, nullptr, parent.c_str(), SHPPFW_ASKDIRCREATE);
        return SUCCEEDED(prepared);
    }
    if (!IsFolder(AttributesOf(parent))) {
        ReportApplyFailure(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
        return false;
    }
    return true;
}

int CDialog::ReportApplyFailure(HRESULT code)
{
    ReportFailure(m_hWnd, code, nullptr);
    return PSNRET_INVALID_NOCHANGEPAGE;
}

void CDialog::ReportSkippedLoops(const std::vector<SkippedLoop>& loops)
{
    if (loops.empty())
        return;
    const SkippedLoop& first = loops.front();
    const std::wstring text =
        FillInserts(AppModule().LoadText(loops.size() == 1 ? IDS_LOOP_SKIPPED : IDS_LOOPS_SKIPPED),
                    {first.folder, first.leadsTo, GroupedNumber(loops.size())});
    ShowMessage(m_hWnd, text, IDS_PRODUCT_NAME, MB_ICONINFORMATION);
}

void CDialog::ReportFilesWithoutDate(const FilesWithoutDate& files)
{
    if (files.count == 0)
        return;
    const std::wstring text =
        FillInserts(AppModule().LoadText(files.count == 1 ? IDS_NO_DATE_TAKEN_ONE : IDS_NO_DATE_TAKEN),
                    {files.first, GroupedNumber(files.count)});
    ShowMessage(m_hWnd, text, IDS_PRODUCT_NAME, MB_ICONINFORMATION);
}

void CDialog::ItemsWritten()
{
    ++m_generation;
    m_general.ShowUndoState();
    if (m_preview.m_hWnd && GetActivePage() == m_preview.m_hWnd)
        m_preview.Refresh();
}

bool CDialog::ComputePreview(PreviewResult& result)
{
    if (m_buildingPages)
        return false;
    ApplyChoices choices = Choices();
    const FileTime now = CurrentFileTime();
    choices.general.now = now;
    choices.advanced.now = now;
    const std::wstring subject = m_items.size() == 1
                                     ? ProgressFolderText(TargetPath(), IDS_PREVIEW_PROGRESS_FOLDER)
                                     : ProgressSelectionText(m_items.size(), IDS_PREVIEW_PROGRESS_SELECTION);
    PreviewResult fresh;
    Followed(subject, [&](WalkProgress& progress) {
        choices.options.progress = &progress;
        Win32FolderFileSystem platform;
        PreviewFileSystem preview(platform);
        std::set<std::wstring> selected;
        for (const SelectedItem& item : m_items)
            selected.insert(item.path);
        preview.OpenAsTheApplyDoes(std::move(selected));
        const ApplyReport report = ApplySelection(preview, choices, m_items);
        fresh.changes = preview.Changes();
        fresh.unchanged = preview.Unchanged();
        fresh.outcome = report.outcome;
        fresh.failure = report.failure;
        fresh.failedPath = report.failedPath;
        return 0;
    });
    // Handed over whole at the end: the list may ask for the old rows until then.
    result = std::move(fresh);
    return true;
}

void CDialog::UndoLastApply()
{
    if (m_undo.Empty())
        return;
    const std::size_t count = m_undo.Size();
    const std::wstring question =
        FillInserts(AppModule().LoadText(count == 1 ? IDS_UNDO_CONFIRM_ONE : IDS_UNDO_CONFIRM), {GroupedNumber(count)});
    if (ShowMessage(m_hWnd, question, IDS_PRODUCT_NAME, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const UndoReport report = Followed(ProgressSelectionText(count, IDS_UNDO_PROGRESS), [&](WalkProgress& progress) {
        Win32FolderFileSystem fileSystem;
        return UndoApply(fileSystem, m_undo, &progress);
    });
    // A stopped or failed undo keeps the record, so that Undo can finish it later: the items
    // already put back count as restored then.
    if (report.outcome == WalkOutcome::Finished)
        m_undo.Clear();
    ItemsWritten();
    if (report.outcome == WalkOutcome::Failed)
        ReportFailure(m_hWnd, report.failure, report.failedPath.c_str());
    ShowFirstTargetTimes();
    ReportLeftAlone(report);
}

void CDialog::ReportLeftAlone(const UndoReport& report)
{
    if (report.leftAlone == 0)
        return;
    const std::wstring text =
        FillInserts(AppModule().LoadText(report.leftAlone == 1 ? IDS_UNDO_LEFT_ALONE_ONE : IDS_UNDO_LEFT_ALONE),
                    {report.firstLeftAlone, GroupedNumber(report.leftAlone)});
    ShowMessage(m_hWnd, text, IDS_PRODUCT_NAME, MB_ICONINFORMATION);
}

void CDialog::ShowFirstTargetTimes()
{
    FileTimes times{};
    if (ReadFileTimes(TargetPath().c_str(), times))
        ShowTimesRead(times);
}

void CDialog::ShowTimesRead(const FileTimes& times)
{
    for (int k = 0; k < TimestampKindCount; ++k)
        m_general.value[k] = times[k];
    if (m_general.m_hWnd)
        m_general.ExchangeData(false);
}
