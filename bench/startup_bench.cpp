// Times how long a program takes from its start until its property sheet is on the screen,
// painted, and its message loop answers: the editor on one item against a minimal program with a one-page
// sheet, started in turns, and the median of each.
//   startup_bench.exe EDITOR MINIMAL ITEM

#include "platform/Handles.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Rounds = 21;
constexpr double GiveUpSeconds = 60;
constexpr double StartUpGoal = 1.3;

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
    DWORD processId;
    HWND sheet;
};

BOOL CALLBACK FindSheet(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<SheetSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    // A sheet is a dialog with a tab control; a message box (a failure) has none.
    if (owner == search.processId && ::IsWindowVisible(window) && std::wstring(className) == L"#32770" &&
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

// Ends a started program that did not come up or go away as it should have.
class ProcessGuard {
public:
    explicit ProcessGuard(const PROCESS_INFORMATION& process) : process_(process.hProcess), thread_(process.hThread) {}
    ~ProcessGuard()
    {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_.get(), 99);
    }
    ProcessGuard(const ProcessGuard&) = delete;
    ProcessGuard& operator=(const ProcessGuard&) = delete;

    [[nodiscard]] HANDLE get() const noexcept { return process_.get(); }

private:
    FileHandle process_; // a kernel handle, closed as a file's is
    FileHandle thread_;
};

// Starts `program` with `arguments`, waits for its sheet to be visible and painted and its
// message loop to answer, and gives the seconds that took; then cancels the sheet and waits for the program
// to end. False, with a message, when any of it fails.
bool TimeStartUp(const std::wstring& program, const std::wstring& arguments, double& seconds)
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
    ProcessGuard process(info);
    HWND sheet = nullptr;
    while (!(sheet = VisibleSheetOf(info.dwProcessId))) {
        // The wait is the polling interval, and notices a program that ended instead.
        if (::WaitForSingleObject(process.get(), 1) != WAIT_TIMEOUT || Seconds() - start > GiveUpSeconds) {
            std::fwprintf(stderr, L"%ls showed no sheet\n", program.c_str());
            return false;
        }
    }
    // Up once the program's thread answers from its message loop and has painted the sheet
    // and every control on it: work it posts to itself before painting counts, too.
    for (;;) {
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(GiveUpSeconds * 1000),
                                   &answer)) {
            std::fwprintf(stderr, L"%ls did not answer\n", program.c_str());
            return false;
        }
        if (!HasPartToPaint(sheet))
            break;
        if (::WaitForSingleObject(process.get(), 1) != WAIT_TIMEOUT || Seconds() - start > GiveUpSeconds) {
            std::fwprintf(stderr, L"%ls did not paint its sheet\n", program.c_str());
            return false;
        }
    }
    seconds = Seconds() - start;
    ::PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    if (::WaitForSingleObject(process.get(), static_cast<DWORD>(GiveUpSeconds * 1000)) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"%ls did not end after Cancel\n", program.c_str());
        return false;
    }
    return true;
}

struct Contender {
    std::wstring program;
    std::wstring arguments;
    std::vector<double> seconds;
};

// One start of each first, untimed (the first start of a program reads its files from disk),
// then `Rounds` rounds that take turns at which goes first.
bool TimeInTurns(Contender& a, Contender& b)
{
    double ignored = 0;
    if (!TimeStartUp(a.program, a.arguments, ignored) || !TimeStartUp(b.program, b.arguments, ignored))
        return false;
    for (int round = 0; round < Rounds; ++round) {
        Contender& first = round % 2 ? b : a;
        Contender& second = round % 2 ? a : b;
        double seconds = 0;
        if (!TimeStartUp(first.program, first.arguments, seconds))
            return false;
        first.seconds.push_back(seconds);
        if (!TimeStartUp(second.program, second.arguments, seconds))
            return false;
        second.seconds.push_back(seconds);
    }
    return true;
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
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: startup_bench EDITOR MINIMAL ITEM\n");
        return 2;
    }
    Contender editor{Argument(argv[1]), L"\"" + Argument(argv[3]) + L"\"", {}};
    Contender minimal{Argument(argv[2]), editor.arguments, {}};
    if (!TimeInTurns(editor, minimal))
        return 1;
    const double one = Median(editor.seconds);
    const double least = Median(minimal.seconds);
    std::wprintf(L"start-up (median of %d starts each, in turns): one item %.3f s, minimal sheet %.3f s\n", Rounds, one,
                 least);
    std::wprintf(L"startup one item/minimal: %.2f s / %.2f s = %.2f (goal <= %.1f)\n", one, least, one / least,
                 StartUpGoal);
    return 0;
}
