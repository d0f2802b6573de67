// Times how long the editor takes from its start until its property sheet is on the screen,
// painted, and its message loop answers, started in turns with its yardsticks, as the median
// of each:
// - the editor on one item against minimal programs with a one-page sheet (a page of one line,
//   and the editor's General page with no code behind it);
// - the editor as the verb's COM server, handed a selection of 10,000 files through
//   IDropTarget::Drop as the shell hands it, against the same with one file.
//   startup_bench.exe EDITOR MINIMAL MINIMAL-WITH-GENERAL-PAGE ITEM TREE
// TREE is a folder whose files (10,000 of them) make the selection.

#include "app/VerbClass.h"
#include "platform/Handles.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t Rounds = 21;
constexpr std::size_t SelectionSize = 10000;
constexpr double GiveUpSeconds = 60;
constexpr double StartUpGoal = 1.3;
constexpr double SelectionGoal = 1.5;

double Seconds()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct SheetSearch {
    DWORD processId; // 0: any process but this one
    HWND sheet;
};

BOOL CALLBACK FindSheet(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<SheetSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    const bool ownerMatches = search.processId ? owner == search.processId : owner != ::GetCurrentProcessId();
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    // A sheet is a dialog with a tab control; a message box (a failure) has none.
    if (ownerMatches && ::IsWindowVisible(window) && std::wstring(className) == L"#32770" &&
        ::FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr)) {
        search.sheet = window;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleSheetOf(DWORD processId)
{
    SheetSearch search{processId, nullptr};
    ::EnumWindows(FindSheet, reinterpret_cast<LPARAM>(&search));
    return search.sheet;
}

BOOL CALLBACK FindUnpainted(HWND window, LPARAM context)
{
    if (::IsWindowVisible(window) && ::GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(context) = true;
        return FALSE;
    }
    return TRUE;
}

// True while the window or one of its controls has a part still to paint.
bool HasPartToPaint(HWND window)
{
    bool unpainted = ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!unpainted)
        ::EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted;
}

// Waits a millisecond while serving this thread's messages (a COM server calls back into the
// data object it was handed); false when `process` (if any) ends meanwhile.
bool Pause(HANDLE process)
{
    const DWORD count = process ? 1 : 0;
    const DWORD woken = ::MsgWaitForMultipleObjects(count, process ? &process : nullptr, FALSE, 1, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    return !(process && woken == WAIT_OBJECT_0);
}

// Ends a program that did not come up or go away as it should have.
class ProcessGuard {
public:
    explicit ProcessGuard(HANDLE process) : process_(process) {}
    ~ProcessGuard()
    {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.get(), 99);
    }
    ProcessGuard(const ProcessGuard&) = delete;
    ProcessGuard& operator=(const ProcessGuard&) = delete;

    void reset(HANDLE process) { process_.reset(process); }
    [[nodiscard]] HANDLE get() const noexcept { return process_.get(); }

private:
    FileHandle process_; // a kernel handle, closed as a file's is
};

struct StartUp {
    double answered = 0; // the sheet visible and the program's message loop answering
    double painted = 0;  // and the sheet and its controls painted
};

// From `start` on: waits for a sheet of the process (of any other process where `processId`
// is 0, and then takes the sheet's process into `process`) to be visible and painted, and
// gives the seconds that took. False, with a message, when it does not come.
bool TimeSheet(const wchar_t* what, double start, DWORD processId, ProcessGuard& process, HWND& sheet, StartUp& times)
{
    while (!(sheet = VisibleSheetOf(processId))) {
        if (!Pause(process.get())) {
            DWORD code = 0;
            ::GetExitCodeProcess(process.get(), &code);
            std::fwprintf(stderr, L"%ls ended with 0x%08lx before it showed a sheet\n", what,
                          static_cast<unsigned long>(code));
            return false;
        }
        if (Seconds() - start > GiveUpSeconds) {
            std::fwprintf(stderr, L"%ls showed no sheet within %.0f s\n", what, GiveUpSeconds);
            return false;
        }
    }
    if (!process.get()) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(sheet, &owner);
        process.reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, owner));
    }
    // Up once the program's thread answers from its message loop and has painted the sheet
    // and every control on it: work it posts to itself before painting counts, too. The first
    // answer comes before any painting (a sent message goes first).
    for (times.answered = 0;;) {
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(GiveUpSeconds * 1000),
                                   &answer)) {
            std::fwprintf(stderr, L"%ls did not answer\n", what);
            return false;
        }
        if (times.answered == 0)
            times.answered = Seconds() - start;
        if (!HasPartToPaint(sheet))
            break;
        if (!Pause(process.get()) || Seconds() - start > GiveUpSeconds) {
            std::fwprintf(stderr, L"%ls did not paint its sheet\n", what);
            return false;
        }
    }
    times.painted = Seconds() - start;
    return true;
}

// Cancels the sheet and waits for its program to end.
bool CloseSheet(const wchar_t* what, HWND sheet, const ProcessGuard& process)
{
    ::PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    const double start = Seconds();
    while (::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        if (!Pause(process.get()))
            break;
        if (Seconds() - start > GiveUpSeconds) {
            std::fwprintf(stderr, L"%ls did not end after Cancel\n", what);
            return false;
        }
    }
    return true;
}

// Starts `program` with `arguments` and times its sheet; then closes it.
bool TimeProgram(const std::wstring& program, const std::wstring& arguments, StartUp& times)
{
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Seconds();
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", program.c_str(), ::GetLastError());
        return false;
    }
    FileHandle thread(info.hThread);
    ProcessGuard process(info.hProcess);
    HWND sheet = nullptr;
    return TimeSheet(program.c_str(), start, info.dwProcessId, process, sheet, times) &&
           CloseSheet(program.c_str(), sheet, process);
}

// A data object offering one CF_HDROP block of paths, as the shell's offers a selection.
class PathsData final : public IDataObject {
public:
    explicit PathsData(const std::vector<std::wstring>& paths)
    {
        DROPFILES header{};
        header.pFiles = sizeof header;
        header.fWide = TRUE;
        block_.resize(sizeof header);
        std::memcpy(block_.data(), &header, sizeof header);
        for (const std::wstring& path : paths)
            Append(path.c_str(), path.size() + 1);
        Append(L"", 1);
    }
    PathsData(const PathsData&) = delete;
    PathsData& operator=(const PathsData&) = delete;

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
    // Lives on the stack of the one who drops it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, block_.size()));
        if (!memory)
            return E_OUTOFMEMORY;
        void* bytes = ::GlobalLock(memory.get());
        if (!bytes)
            return E_OUTOFMEMORY;
        std::memcpy(bytes, block_.data(), block_.size());
        ::GlobalUnlock(memory.get());
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory.release();
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

private:
    void Append(const wchar_t* text, std::size_t characters)
    {
        const std::size_t at = block_.size();
        block_.resize(at + characters * sizeof(wchar_t));
        std::memcpy(block_.data() + at, text, characters * sizeof(wchar_t));
    }

    std::vector<BYTE> block_;
};

// Has COM start the verb's server, drops `data` on its drop target as the shell invokes the
// verb, and times the sheet; then closes it.
bool TimeDrop(IDataObject& data, StartUp& times)
{
    const wchar_t* what = L"the verb's server";
    const double start = Seconds();
    ComPtr<IDropTarget> target;
    HRESULT hr = ::CoCreateInstance(VerbClassId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDropTarget, target.put_void());
    if (FAILED(hr)) {
        std::fwprintf(stderr, L"%ls did not start (0x%08lx)\n", what, static_cast<unsigned long>(hr));
        return false;
    }
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    hr = target->DragEnter(&data, MK_RBUTTON, POINTL{10, 10}, &effect);
    if (SUCCEEDED(hr)) {
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        hr = target->Drop(&data, 0, POINTL{10, 10}, &effect);
    }
    if (FAILED(hr)) {
        std::fwprintf(stderr, L"%ls refused the drop (0x%08lx)\n", what, static_cast<unsigned long>(hr));
        return false;
    }
    ProcessGuard process(nullptr);
    HWND sheet = nullptr;
    if (!TimeSheet(what, start, 0, process, sheet, times))
        return false;
    target.reset();
    return CloseSheet(what, sheet, process);
}

// Registers the editor as the verb's server for this run: per user with /RegServer, and
// machine-wide as well, where Wine's COM looks classes up (Windows merges the per-user
// classes in); both are removed again at the end.
class ServerRegistration {
public:
    explicit ServerRegistration(const std::wstring& program) : program_(program)
    {
        registered_ = Run(L"/RegServer");
        const std::wstring key = ClassKey() + L"\\LocalServer32";
        RegistryKey server;
        const std::wstring command = L"\"" + program_ + L"\"";
        machineWide_ =
            ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, server.put(),
                              nullptr) == ERROR_SUCCESS &&
            ::RegSetValueExW(server.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                             static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~ServerRegistration()
    {
        if (machineWide_)
            ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, ClassKey().c_str());
        if (registered_)
            Run(L"/UnregServer");
    }
    ServerRegistration(const ServerRegistration&) = delete;
    ServerRegistration& operator=(const ServerRegistration&) = delete;

    [[nodiscard]] bool Registered() const { return registered_; }

private:
    static std::wstring ClassKey() { return std::wstring(L"Software\\Classes\\CLSID\\") + VerbClassIdText; }

    bool Run(const wchar_t* option) const
    {
        std::wstring commandLine = L"\"" + program_ + L"\" " + option;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(program_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info))
            return false;
        FileHandle thread(info.hThread);
        ProcessGuard process(info.hProcess);
        DWORD code = 1;
        return ::WaitForSingleObject(process.get(), static_cast<DWORD>(GiveUpSeconds * 1000)) == WAIT_OBJECT_0 &&
               ::GetExitCodeProcess(process.get(), &code) && code == 0;
    }

    std::wstring program_;
    bool registered_ = false;
    bool machineWide_ = false;
};

// The files under `folder`, depth first, up to `limit` of them.
void CollectFiles(const std::wstring& folder, std::size_t limit, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (!search)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectFiles(folder + L"\\" + name, limit, files);
        else if (files.size() < limit)
            files.push_back(folder + L"\\" + name);
    } while (files.size() < limit && ::FindNextFileW(search.get(), &entry));
}

struct Contender {
    const wchar_t* name;
    std::function<bool(StartUp&)> run;
    std::vector<double> answered;
    std::vector<double> painted;
};

// One start of each first, untimed (the first start of a program reads its files from disk),
// then `Rounds` rounds, each starting with the next contender, so that each is as often first.
bool TimeInTurns(std::vector<Contender>& contenders)
{
    StartUp times;
    for (const Contender& contender : contenders) {
        if (!contender.run(times))
            return false;
    }
    for (std::size_t round = 0; round < Rounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            Contender& contender = contenders[(round + turn) % contenders.size()];
            if (!contender.run(times))
                return false;
            contender.answered.push_back(times.answered);
            contender.painted.push_back(times.painted);
        }
    }
    return true;
}

void PrintTimes(const std::vector<Contender>& contenders)
{
    std::wprintf(L"start-up (median of %u starts each, in turns), to the first answer / painted:\n",
                 static_cast<unsigned>(Rounds));
    for (const Contender& contender : contenders)
        std::wprintf(L"  %ls %.3f s / %.3f s\n", contender.name, Median(contender.answered), Median(contender.painted));
}

void PrintRatio(const wchar_t* label, double a, double b, double goal = 0)
{
    std::wprintf(L"%ls: %.2f s / %.2f s = %.2f", label, a, b, a / b);
    if (goal > 0)
        std::wprintf(L" (goal <= %.1f)", goal);
    std::wprintf(L"\n");
}

std::wstring Argument(const char* text)
{
    std::wstring wide(MAX_PATH, L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), MAX_PATH);
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return wide;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fwprintf(stderr, L"usage: startup_bench EDITOR MINIMAL MINIMAL-WITH-GENERAL-PAGE ITEM TREE\n");
        return 2;
    }
    const std::wstring editor = Argument(argv[1]);
    const std::wstring item = Argument(argv[4]);
    const std::wstring quotedItem = L"\"" + item + L"\"";
    const auto program = [&quotedItem](std::wstring path) {
        return [path, &quotedItem](StartUp& times) { return TimeProgram(path, quotedItem, times); };
    };
    std::vector<Contender> sheets = {{L"one item", program(editor), {}, {}},
                                     {L"minimal sheet", program(Argument(argv[2])), {}, {}},
                                     {L"minimal sheet with the General page", program(Argument(argv[3])), {}, {}}};
    if (!TimeInTurns(sheets))
        return 1;
    PrintTimes(sheets);
    PrintRatio(L"startup one item/minimal", Median(sheets[0].painted), Median(sheets[1].painted), StartUpGoal);
    PrintRatio(L"startup one item/minimal, to the first answer", Median(sheets[0].answered),
               Median(sheets[1].answered));
    PrintRatio(L"startup one item/General page alone", Median(sheets[0].painted), Median(sheets[2].painted));

    std::vector<std::wstring> files;
    CollectFiles(Argument(argv[5]), SelectionSize, files);
    if (files.size() != SelectionSize) {
        std::fwprintf(stderr, L"%ls holds %u files, not %u\n", Argument(argv[5]).c_str(),
                      static_cast<unsigned>(files.size()), static_cast<unsigned>(SelectionSize));
        return 1;
    }
    ::CoInitialize(nullptr);
    bool dropped = false;
    std::vector<Contender> drops;
    {
        ServerRegistration registration(editor);
        PathsData many(files);
        PathsData one({item});
        drops = {
            {L"one item through the verb's server", [&one](StartUp& times) { return TimeDrop(one, times); }, {}, {}},
            {L"10,000 items through the verb's server",
             [&many](StartUp& times) { return TimeDrop(many, times); },
             {},
             {}}};
        dropped = registration.Registered() && TimeInTurns(drops);
    }
    ::CoUninitialize();
    if (!dropped)
        return 1;
    PrintTimes(drops);
    PrintRatio(L"startup 10,000 items/one item", Median(drops[1].painted), Median(drops[0].painted), SelectionGoal);
    return 0;
}
