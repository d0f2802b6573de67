// Shows the pages in the states the documentation pictures: run by take_screenshots.sh, which
// photographs the window this program names and then lets it end.
//   page_screenshots SCENE READY DONE
// SCENE is general, advanced, span, browse, selection, preview, undo-confirm, taken or
// taken-preview. When the picture can be taken, the program writes the window's title to
// READY; it ends once DONE exists (or after a minute).

#include "app/Dialog.h"
#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "platform/Handles.h"
#include "res/resource.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TestTimes.h"
#include "tests/support/WindowTestSupport.h"

#include <objbase.h>
#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring ResourceText(UINT id)
{
    wchar_t text[256] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), id, text, 256);
    return text;
}

void WriteUtf8(const std::wstring& path, const std::wstring& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A photo folder with a few files, as a user might open, at a short path; removed at the end.
class SampleFolder {
public:
    SampleFolder()
    {
        ::CreateDirectoryW(L"C:\\Data", nullptr);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
        ::CreateDirectoryW((m_path + L"\\Holiday").c_str(), nullptr);
        const FileTime base = LocalTime(2024, 8, 14, 9, 30, 12);
        int i = 0;
        for (const wchar_t* name : {L"beach.jpg", L"harbour.jpg", L"notes.txt"}) {
            const std::wstring file = m_path + L"\\" + name;
            ::CloseHandle(
                ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            const FileTime t = base + static_cast<FileTime>(++i) * 3600 * TicksPerSecond;
            m_ready = WriteFileTimes(file.c_str(), FileTimes{t, t, t}) && m_ready;
        }
        m_ready = WriteFileTimes(m_path.c_str(), FileTimes{base, base + TicksPerDay, base}) && m_ready;
    }
    ~SampleFolder()
    {
        std::wstring from = m_path;
        from.push_back(L'\0');
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        ::SHFileOperationW(&op);
        ::RemoveDirectoryW(L"C:\\Data"); // only when nothing else is in it
    }
    const std::wstring& Path() const { return m_path; }
    // Whether every sample got the times the pictures show.
    bool Ready() const { return m_ready; }

private:
    std::wstring m_path = L"C:\\Data\\Photos 2024";
    bool m_ready = true;
};

// The two photos hold the moments they were taken (Exif, local time, as cameras write it) and
// carry the day they were copied as their times; notes.txt holds no date.
bool GiveThePhotosTheirDates(const std::wstring& folder)
{
    const FileTime copied = LocalTime(2024, 9, 2, 20, 14, 0);
    const std::pair<const wchar_t*, const char*> photos[] = {{L"beach.jpg", "2024:08:14 10:05:31"},
                                                             {L"harbour.jpg", "2024:08:14 17:42:08"}};
    for (const auto& [name, taken] : photos) {
        const Bytes jpeg = Jpeg({ExifSegment(TiffWriter().Text(TagOriginal, taken).Build())});
        const std::wstring path = folder + L"\\" + name;
        FileHandle file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        const bool wrote =
            file && ::WriteFile(file.get(), jpeg.data(), static_cast<DWORD>(jpeg.size()), &written, nullptr);
        file.reset();
        if (!wrote || !WriteFileTimes(path.c_str(), FileTimes{copied, copied, copied}))
            return false;
    }
    return true;
}

void PumpFor(int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        PumpPendingMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Keeps the window shown until the picture is taken.
void AnnounceAndWait(const std::wstring& title, const std::wstring& ready, const std::wstring& done)
{
    PumpFor(800);
    WriteUtf8(ready, title);
    for (int i = 0; i < 3000 && !Exists(done); ++i) {
        PumpPendingMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void Select(HWND list, const wchar_t* name)
{
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = name;
    const LRESULT index = ::SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find));
    if (index < 0)
        return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

BOOL CALLBACK FindVisibleList(HWND child, LPARAM context)
{
    wchar_t name[32] = {};
    ::GetClassNameW(child, name, 32);
    if (std::wstring(name) == L"SysListView32" && ::IsWindowVisible(child)) {
        *reinterpret_cast<HWND*>(context) = child;
        return FALSE;
    }
    return TRUE;
}

// On another thread while the modal dialog runs: opens the sample folder in it, selects the
// subfolder, announces the picture, and cancels the dialog when it has been taken.
void DriveBrowseDialog(const std::wstring& folder, const std::wstring& ready, const std::wstring& done)
{
    const std::wstring title = ResourceText(IDS_USE_TIMESTAMP_OF);
    HWND dialog = nullptr;
    for (int i = 0; i < 300 && !(dialog = ::FindWindowW(nullptr, title.c_str())); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!dialog)
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ::SendDlgItemMessageW(dialog, 1152, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    HWND list = nullptr;
    ::EnumChildWindows(dialog, FindVisibleList, reinterpret_cast<LPARAM>(&list));
    if (list)
        Select(list, L"Holiday");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    // Wine does not repaint the added button when it is enabled; the picture shows the true state.
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    WriteUtf8(ready, title);
    for (int i = 0; i < 3000 && !Exists(done); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

// On another thread while the question box runs: announces the picture once the box is up,
// and answers No when it has been taken, so that nothing is put back.
void AnswerUndoQuestion(const std::wstring& title, const std::wstring& ready, const std::wstring& done)
{
    HWND box = nullptr;
    for (int i = 0; i < 300 && !(box = ::FindWindowW(L"#32770", title.c_str())); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!box)
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    WriteUtf8(ready, title);
    for (int i = 0; i < 3000 && !Exists(done); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::PostMessageW(box, WM_COMMAND, IDNO, 0);
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc != 4) {
        std::fprintf(
            stderr,
            "usage: page_screenshots general|advanced|span|browse|selection|preview|undo-confirm|taken|taken-preview "
            "READY DONE\n");
        return 2;
    }
    const std::wstring scene = argv[1];
    const std::wstring ready = argv[2];
    const std::wstring done = argv[3];

    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);
    {
        SampleFolder photos;
        if (!photos.Ready()) {
            std::fwprintf(stderr, L"the sample folder's times could not be set (error %lu)\n", ::GetLastError());
            return 1;
        }
        const std::wstring& path = photos.Path();
        std::vector<std::wstring> targets{path};
        if (scene == L"selection")
            targets = {path + L"\\beach.jpg", path + L"\\harbour.jpg", path + L"\\notes.txt", path + L"\\Holiday"};
        SheetDriver open(targets);
        if (!open.Create()) {
            std::fprintf(stderr, "the sheet could not be created (error %lu)\n", ::GetLastError());
            return 1;
        }
        HWND general = open.GeneralWindow();
        const std::wstring product = ResourceText(IDS_PRODUCT_NAME);
        if (scene == L"general") {
            SelectOperation(general, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
            EditPicker(general, IDC_MODIFIED_VALUE, LocalTime(2024, 8, 15, 18, 45, 0));
            SelectOperation(general, IDC_CREATED_OPERATION, OpEarliestEntry);
            Click(general, IDC_RECURSIVE);
            AnnounceAndWait(product, ready, done);
        } else if (scene == L"advanced") {
            open.ShowPage(1);
            HWND advanced = open.AdvancedWindow();
            ::SendDlgItemMessageW(advanced, IDC_NAME_PATTERNS, WM_SETTEXT, 0,
                                  reinterpret_cast<LPARAM>(L"*.jpg; *.png"));
            SelectOperation(advanced, IDC_MODIFIED_OPERATION, OpSpecifiedTimeOfDay);
            EditPicker(advanced, IDC_MODIFIED_VALUE, LocalTime(2024, 8, 14, 12, 0, 0));
            SelectOperation(advanced, IDC_ACCESSED_OPERATION, OpSameAsSecondOther);
            AnnounceAndWait(product, ready, done);
        } else if (scene == L"selection") {
            SelectOperation(general, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
            EditPicker(general, IDC_MODIFIED_VALUE, LocalTime(2024, 8, 15, 18, 45, 0));
            AnnounceAndWait(product, ready, done);
        } else if (scene == L"span") {
            // The shift is the last entry of a folder's rows. The typed span takes its canonical
            // form when the focus moves on.
            SelectOperation(general, IDC_MODIFIED_OPERATION, 10);
            HWND box = ::GetDlgItem(general, IDC_MODIFIED_SPAN);
            ::SendMessageW(general, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
            ::SetWindowTextW(box, L"-1 day 2:30");
            SelectOperation(general, IDC_ACCESSED_OPERATION, 10);
            box = ::GetDlgItem(general, IDC_ACCESSED_SPAN);
            ::SendMessageW(general, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
            ::SetWindowTextW(box, L"PT9H");
            SelectOperation(general, IDC_CREATED_OPERATION, OpSpecifiedDateTime);
            ::SendMessageW(general, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(general, IDC_CREATED_VALUE)),
                           TRUE);
            AnnounceAndWait(product, ready, done);
        } else if (scene == L"preview" || scene == L"undo-confirm") {
            // The photos get the evening's time, and the folders their newest entry's (the
            // subfolder, made just now, is given a time of that morning).
            const FileTime morning = LocalTime(2024, 8, 14, 8, 0, 0);
            if (!WriteFileTimes((path + L"\\Holiday").c_str(), FileTimes{InvalidFileTime, InvalidFileTime, morning})) {
                std::fprintf(stderr, "the subfolder's time could not be set (error %lu)\n", ::GetLastError());
                return 1;
            }
            SelectOperation(general, IDC_MODIFIED_OPERATION, OpLatestEntry);
            Click(general, IDC_RECURSIVE);
            open.ShowPage(1);
            HWND advanced = open.AdvancedWindow();
            ::SendDlgItemMessageW(advanced, IDC_NAME_PATTERNS, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"*.jpg"));
            SelectOperation(advanced, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
            EditPicker(advanced, IDC_MODIFIED_VALUE, LocalTime(2024, 8, 15, 18, 45, 0));
            if (scene == L"preview") {
                open.ShowPage(2);
                AnnounceAndWait(product, ready, done);
            } else {
                // Applied, then Undo asks. The sheet bears the product's name too: retitled, the
                // question is the one window of that name to be photographed.
                open.PressApply();
                open.ShowPage(0);
                ::SetWindowTextW(open.Window(), L"");
                std::thread user(AnswerUndoQuestion, product, ready, done);
                Click(general, IDC_UNDO);
                user.join();
            }
        } else if (scene == L"taken" || scene == L"taken-preview") {
            if (!GiveThePhotosTheirDates(path)) {
                std::fprintf(stderr, "the photos could not be written (error %lu)\n", ::GetLastError());
                return 1;
            }
            // The date taken is the last entry of the Advanced page's rows.
            open.ShowPage(1);
            HWND advanced = open.AdvancedWindow();
            // The preview shows the Modified column first: the date taken, and "no date taken".
            SelectOperation(advanced, IDC_MODIFIED_OPERATION, 9);
            if (scene == L"taken-preview")
                open.ShowPage(2);
            else
                SelectOperation(advanced, IDC_CREATED_OPERATION, OpSameAsFirstOther);
            AnnounceAndWait(product, ready, done);
        } else if (scene == L"browse") {
            std::thread user(DriveBrowseDialog, photos.Path(), ready, done);
            Click(general, IDC_BROWSE);
            user.join();
        }
    }
    ::CoUninitialize();
    ::LocalFree(argv);
    return 0;
}
