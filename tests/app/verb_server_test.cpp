#include "app/VerbClass.h"
#include "engine/TimestampOperations.h"
#include "platform/Handles.h"
#include "res/resource.h"

#include "tests/support/TempFolder.h"
#include "RegistryTestKeys.h"
#include "ShellDataObjects.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// The real program (CHRONSET_PROGRAM names its file) as the verb's local server: registered
// with /RegServer, started by COM for this client, handed a selection through IDropTarget the
// way the shell invokes a DropTarget verb, and driven across processes like a user would.

namespace {

constexpr const wchar_t* Caption = L"Nebbi's Timestamp Editor";
constexpr DWORD AllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr FileTime OldTime = 126227808000000000ull; // 2001-01-01 00:00:00 UTC

std::wstring ProgramPath()
{
    const char* program = std::getenv("CHRONSET_PROGRAM");
    if (!program)
        return std::wstring();
    const std::wstring path(program, program + std::strlen(program));
    wchar_t full[MAX_PATH];
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::wstring(full, length) : std::wstring();
}

HRESULT RunToEnd(const std::wstring& program, const wchar_t* tail)
{
    std::wstring commandLine = L"\"" + program + L"\" " + tail;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return HRESULT_FROM_WIN32(::GetLastError());
    FileHandle processHandle(process.hProcess);
    FileHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(processHandle.get(), 60000) != WAIT_OBJECT_0)
        return HRESULT_FROM_WIN32(WAIT_TIMEOUT);
    DWORD code = 0;
    ::GetExitCodeProcess(processHandle.get(), &code);
    return static_cast<HRESULT>(code);
}

// A top-level dialog window of another process captioned with the product name: the sheet
// (it has an OK button) or a message box (its text is static 65535).
enum class WindowKind { Sheet, MessageBox };

HWND FindServerWindow(WindowKind kind)
{
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, L"#32770", Caption)) != nullptr) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == ::GetCurrentProcessId() || !::IsWindowVisible(window))
            continue;
        const bool isBox = ::GetDlgItem(window, 0xFFFF) != nullptr;
        if (isBox == (kind == WindowKind::MessageBox))
            return window;
    }
    return nullptr;
}

// Waits for such a window while letting this thread serve the calls the server makes into
// the data object.
HWND WaitForServerWindow(WindowKind kind, DWORD milliseconds = 30000)
{
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        if (HWND window = FindServerWindow(kind))
            return window;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(50);
    }
    return nullptr;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                          &copied);
    return std::wstring(text, copied);
}

// The process behind a window, to wait for its end.
FileHandle ProcessOf(HWND window)
{
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    return FileHandle(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
}

DWORD WaitForExit(const FileHandle& process, DWORD milliseconds = 30000)
{
    if (::WaitForSingleObject(process.get(), milliseconds) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

// The processes running the program's file, by their identifiers.
std::vector<DWORD> ProgramProcesses(const std::wstring& program)
{
    const std::wstring fileName = program.substr(program.find_last_of(L'\\') + 1);
    std::vector<DWORD> found;
    FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::CompareStringOrdinal(entry.szExeFile, -1, fileName.c_str(), -1, TRUE) == CSTR_EQUAL)
            found.push_back(entry.th32ProcessID);
    }
    return found;
}

FileTime ModifiedTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<FileTime>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void SetModifiedTime(const std::wstring& path, FileTime time)
{
    FileHandle item(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(item.valid()) << ::GetLastError();
    FILETIME value{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    ASSERT_TRUE(::SetFileTime(item.get(), nullptr, nullptr, &value));
}

FileTime Now()
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<FileTime>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// A data object of this test's own, whose CF_HDROP block says its paths start past its end.
class MalformedDropData final : public IDataObject {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        ++blocksGiven;
        // A header of 20 bytes and one path, with pFiles pointing 1000 bytes further.
        const wchar_t path[] = L"C:\\x\0";
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 20 + sizeof(path));
        auto* bytes = static_cast<BYTE*>(::GlobalLock(memory));
        const DWORD filesOffset = 1000;
        std::memcpy(bytes, &filesOffset, sizeof(filesOffset));
        const BOOL wide = TRUE;
        std::memcpy(bytes + 16, &wide, sizeof(wide));
        std::memcpy(bytes + 20, path, sizeof(path));
        ::GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    std::atomic<ULONG> references_{1};
    std::atomic<int> blocksGiven{0};
};

class VerbServer : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::CoInitialize(nullptr);
        program_ = ProgramPath();
        ASSERT_FALSE(program_.empty()) << "CHRONSET_PROGRAM must name the program";
        ASSERT_EQ(RunToEnd(program_, L"/RegServer"), S_OK);
        // Wine's COM looks classes up only under HKEY_LOCAL_MACHINE, where Windows merges in
        // the per-user classes the program registers; the machine-wide copy stands in for that
        // merge for the length of these tests.
        CreateKeyWithValue(HKEY_LOCAL_MACHINE, LocalServerKeyPath, L"", L"\"" + program_ + L"\"");
    }

    static void TearDownTestSuite()
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, ClassKeyPath);
        EXPECT_EQ(RunToEnd(program_, L"/UnregServer"), S_OK);
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKeyPath));
        ::CoUninitialize();
    }

    // Starts the server through COM and asks for its drop target, as the shell does.
    static ComPtr<IDropTarget> Activate()
    {
        ComPtr<IDropTarget> target;
        EXPECT_EQ(::CoCreateInstance(VerbClassId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDropTarget, target.put_void()),
                  S_OK);
        if (target)
            ::CoAllowSetForegroundWindow(target.get(), nullptr);
        return target;
    }

    // DragEnter then Drop, as the shell invokes a DropTarget verb; the effects they answer.
    static void DropOn(IDropTarget* target, IDataObject* data, DWORD expectedEffect)
    {
        DWORD effect = AllEffects;
        EXPECT_EQ(target->DragEnter(data, MK_RBUTTON, POINTL{10, 10}, &effect), S_OK);
        EXPECT_EQ(effect, expectedEffect);
        effect = AllEffects;
        EXPECT_EQ(target->Drop(data, 0, POINTL{10, 10}, &effect), S_OK);
    }

    // Answers the refusal box the server shows and checks that the server then ends without
    // ever having shown a sheet.
    static void ExpectOneRefusalAndNoSheet(const std::wstring& expectedText)
    {
        HWND box = WaitForServerWindow(WindowKind::MessageBox);
        ASSERT_TRUE(box) << "no message box appeared";
        EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), expectedText);
        EXPECT_FALSE(FindServerWindow(WindowKind::Sheet));
        const FileHandle server = ProcessOf(box);
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_EQ(WaitForExit(server), 0u);
        EXPECT_FALSE(FindServerWindow(WindowKind::MessageBox));
        EXPECT_FALSE(FindServerWindow(WindowKind::Sheet));
    }

    static std::wstring program_;
};

std::wstring VerbServer::program_;

// The one process of the program that is not among `before`.
FileHandle NewServerProcess(const std::wstring& program, const std::vector<DWORD>& before)
{
    std::vector<DWORD> added;
    for (const DWORD id : ProgramProcesses(program)) {
        if (std::find(before.begin(), before.end(), id) == before.end())
            added.push_back(id);
    }
    EXPECT_EQ(added.size(), 1u);
    if (added.size() != 1)
        return FileHandle();
    return FileHandle(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, added[0]));
}

std::wstring LoadedText(UINT id)
{
    wchar_t buffer[512] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), id, buffer, 512);
    return buffer;
}

TEST_F(VerbServer, ASelectionOfFilesAndFoldersOpensTheSheetAndOkWritesIt)
{
    TempFolder folder;
    const std::vector<std::wstring> items{folder.MakeFile(L"one.txt"), folder.MakeFolder(L"two"),
                                          folder.MakeFile(L"three.txt")};
    const std::wstring other = folder.MakeFile(L"other.txt");
    for (const std::wstring& item : items)
        SetModifiedTime(item, OldTime);
    SetModifiedTime(other, OldTime);
    ComPtr<IDataObject> data = DataObjectOf(items);
    ASSERT_TRUE(data);

    ComPtr<IDropTarget> target = Activate();
    ASSERT_TRUE(target);
    DropOn(target.get(), data.get(), DROPEFFECT_COPY);
    target.reset();

    HWND sheet = WaitForServerWindow(WindowKind::Sheet);
    ASSERT_TRUE(sheet) << "no sheet appeared";
    const FileHandle server = ProcessOf(sheet);
    ASSERT_TRUE(server.valid());
    EXPECT_FALSE(FindServerWindow(WindowKind::MessageBox));

    HWND general = reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ASSERT_TRUE(general);
    // One sheet for the whole selection, named as such, with the folder's Advanced page and
    // the Preview page.
    const std::wstring header = TextOf(::GetDlgItem(general, IDC_DISPLAY_NAME));
    EXPECT_TRUE(header == L"2 files, 1 folder" || header == L"ファイル 2 個、フォルダー 1 個");
    EXPECT_EQ(
        ::SendMessageW(reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)), TCM_GETITEMCOUNT, 0, 0),
        3);
    HWND combo = ::GetDlgItem(general, IDC_MODIFIED_OPERATION);
    ASSERT_EQ(::SendMessageW(combo, CB_SETCURSEL, OpCurrentDateTime, 0), OpCurrentDateTime);
    ::SendMessageW(general, WM_COMMAND, MAKEWPARAM(IDC_MODIFIED_OPERATION, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(combo));
    const FileTime before = Now();
    ::SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);

    EXPECT_EQ(WaitForExit(server), 1u);
    // Every selected item is written; nothing beside them.
    for (const std::wstring& item : items)
        EXPECT_GE(ModifiedTime(item) + 20'000'000ull, before) << "kept its old time: " << testing::PrintToString(item);
    EXPECT_EQ(ModifiedTime(other), OldTime);
}

TEST_F(VerbServer, OneItemOpensTheSheetAndCancelEndsTheServer)
{
    TempFolder folder;
    const std::wstring file = folder.MakeFile(L"only.txt");
    SetModifiedTime(file, OldTime);
    ComPtr<IDataObject> data = DataObjectOf({file});
    ASSERT_TRUE(data);

    ComPtr<IDropTarget> target = Activate();
    ASSERT_TRUE(target);
    DropOn(target.get(), data.get(), DROPEFFECT_COPY);
    target.reset();

    HWND sheet = WaitForServerWindow(WindowKind::Sheet);
    ASSERT_TRUE(sheet) << "no sheet appeared";
    const FileHandle server = ProcessOf(sheet);
    ::SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_EQ(WaitForExit(server), 0u);
    EXPECT_EQ(ModifiedTime(file), OldTime);
}

TEST_F(VerbServer, AnItemWithoutAPathIsRefusedByName)
{
    // My Computer, a child of the desktop, through the desktop folder's own data object.
    ComPtr<IShellFolder> desktop;
    ASSERT_EQ(::SHGetDesktopFolder(desktop.put()), S_OK);
    ItemIdList computer;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, reinterpret_cast<PIDLIST_ABSOLUTE*>(computer.put())),
              S_OK);
    CoTaskMemText name;
    ASSERT_EQ(::SHGetNameFromIDList(computer.get(), SIGDN_NORMALDISPLAY, name.put()), S_OK);
    ComPtr<IDataObject> data;
    PCUITEMID_CHILD child = ::ILFindLastID(computer.get());
    ASSERT_EQ(desktop->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, data.put_void()), S_OK);

    ComPtr<IDropTarget> target = Activate();
    ASSERT_TRUE(target);
    DropOn(target.get(), data.get(), DROPEFFECT_COPY);
    target.reset();

    std::wstring expected = LoadedText(IDS_NOT_ON_DRIVE);
    expected.replace(expected.find(L"%1"), 2, name.c_str());
    ExpectOneRefusalAndNoSheet(expected);
}

TEST_F(VerbServer, AMalformedSelectionIsRefusedWithoutAName)
{
    MalformedDropData data;
    ComPtr<IDropTarget> target = Activate();
    ASSERT_TRUE(target);
    DropOn(target.get(), &data, DROPEFFECT_COPY);
    target.reset();

    ExpectOneRefusalAndNoSheet(LoadedText(IDS_SELECTION_UNREADABLE));
    EXPECT_EQ(data.blocksGiven, 1);
}

TEST_F(VerbServer, TheServerEndsWhenReleasedWithoutADrop)
{
    TempFolder folder;
    ComPtr<IDataObject> data = DataObjectOf({folder.MakeFile(L"left.txt")});
    ASSERT_TRUE(data);
    const std::vector<DWORD> running = ProgramProcesses(program_);
    ComPtr<IDropTarget> target = Activate();
    ASSERT_TRUE(target);
    DWORD effect = AllEffects;
    EXPECT_EQ(target->DragEnter(data.get(), MK_RBUTTON, POINTL{1, 1}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragOver(0, POINTL{2, 2}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(0, POINTL{2, 2}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragLeave(), S_OK);

    // The process COM started: the one running the program that was not running before.
    const FileHandle server = NewServerProcess(program_, running);
    ASSERT_TRUE(server.valid());
    // A second activation while the first object is held is served by the same process.
    ComPtr<IDropTarget> second = Activate();
    ASSERT_TRUE(second);
    EXPECT_TRUE(NewServerProcess(program_, running).valid());
    target.reset();
    EXPECT_EQ(WaitForExit(server, 1000), STILL_ACTIVE);
    second.reset();

    EXPECT_EQ(WaitForExit(server), 0u);
    EXPECT_FALSE(FindServerWindow(WindowKind::Sheet));
    EXPECT_FALSE(FindServerWindow(WindowKind::MessageBox));
}

} // namespace
