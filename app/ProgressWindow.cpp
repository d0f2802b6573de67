#include "app/ProgressWindow.h"

#include "ui/TextFormat.h"

namespace {

// The path compaction of the window's lines works on paths of ordinary length.
constexpr std::size_t LineLimit = MAX_PATH - 1;

} // namespace

ProgressWindow::~ProgressWindow()
{
    Stop();
}

bool ProgressWindow::Start(HWND owner, const std::wstring& title, const std::wstring& folderLine,
                           const std::wstring& item, const std::wstring& countsLine)
{
    if (dialog_)
        return true;
    if (FAILED(::CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IProgressDialog,
                                  dialog_.put_void())))
        return false;
    // Every text is set before the window comes up: Wine's window shows a later third line only
    // when it is cancelled. The texts are shown as far as they go; a failure to set one is no
    // reason to stop.
    (void)dialog_->SetTitle(title.c_str());
    (void)dialog_->SetLine(1, ShortenMiddle(folderLine, LineLimit).c_str(), FALSE, nullptr);
    SetLines(item, countsLine);
    const DWORD flags = PROGDLG_MODAL | PROGDLG_MARQUEEPROGRESS | PROGDLG_NOTIME | PROGDLG_NOMINIMIZE;
    if (FAILED(dialog_->StartProgressDialog(owner, nullptr, flags, nullptr))) {
        dialog_.reset();
        return false;
    }
    // Modal to the sheet: the window disables its owner, but Wine's does not enable it again,
    // so the owner is disabled and enabled here as well.
    owner_ = owner;
    if (owner_)
        ::EnableWindow(owner_, FALSE);
    return true;
}

void ProgressWindow::SetLines(const std::wstring& item, const std::wstring& countsLine)
{
    (void)dialog_->SetLine(2, ShortenMiddle(item, LineLimit).c_str(), TRUE, nullptr);
    (void)dialog_->SetLine(3, countsLine.c_str(), FALSE, nullptr);
}

void ProgressWindow::Update(const std::wstring& item, const std::wstring& countsLine)
{
    if (!dialog_)
        return;
    SetLines(item, countsLine);
    // The window's thread may send messages to its owner, the sheet, whose thread is busy with
    // the apply; peeking answers them, and tells the system this thread still responds.
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

bool ProgressWindow::Cancelled()
{
    return dialog_ && dialog_->HasUserCancelled();
}

void ProgressWindow::Stop()
{
    if (!dialog_)
        return;
    (void)dialog_->StopProgressDialog();
    dialog_.reset();
    if (owner_) {
        ::EnableWindow(owner_, TRUE);
        owner_ = nullptr;
    }
}
