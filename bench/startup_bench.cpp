// Times how long a program takes from its start until its property sheet is on the screen,
// painted, and its message loop answers: the editor on one item against minimal programs with a
// one-page sheet (a page of one line, and the editor's General page with no code behind it),
// started in turns, and the median of each.
//   startup_bench.exe EDITOR MINIMAL MINIMAL-WITH-GENERAL-PAGE ITEM

#include "platform/Handles.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t Rounds = 21;
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

struct StartUp {
    double answered = 0; // the sheet visible and the program's message loop answering
    double painted = 0;  // and the sheet and its controls painted
};

// Starts `program` with `arguments`, waits for its sheet to be visible and painted, and gives
// the seconds that took; then cancels the sheet and waits for the program to end. False, with
// a message, when any of it fails.
bool TimeStartUp(const std::wstring& program, const std::wstring& arguments, StartUp& times)
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
    // and every control on it: work it posts to itself before painting counts, too. The first
    // answer comes before any painting (a sent message goes first).
    for (times.answered = 0;;) {
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutW(sheet, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(GiveUpSeconds * 1000),
                                   &answer)) {
            std::fwprintf(stderr, L"%ls did not answer\n", program.c_str());
            return false;
        }
        if (times.answered == 0)
            times.answered = Seconds() - start;
        if (!HasPartToPaint(sheet))
            break;
        if (::WaitForSingleObject(process.get(), 1) != WAIT_TIMEOUT || Seconds() - start > GiveUpSeconds) {
            std::fwprintf(stderr, L"%ls did not paint its sheet\n", program.c_str());
            return false;
        }
    }
    times.painted = Seconds() - start;
    ::PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    if (::WaitForSingleObject(process.get(), static_cast<DWORD>(GiveUpSeconds * 1000)) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"%ls did not end after Cancel\n", program.c_str());
        return false;
    }
    return true;
}

struct Contender {
    const wchar_t* name;
    std::wstring program;
    std::wstring arguments;
    std::vector<double> answered;
    std::vector<double> painted;
};

// One start of each first, untimed (the first start of a program reads its files from disk),
// then `Rounds` rounds, each starting with the next contender, so that each is as often first.
bool TimeInTurns(std::vector<Contender>& contenders)
{
    StartUp times;
    for (const Contender& contender : contenders) {
        if (!TimeStartUp(contender.program, contender.arguments, times))
            return false;
    }
    for (std::size_t round = 0; round < Rounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            Contender& contender = contenders[(round + turn) % contenders.size()];
            if (!TimeStartUp(contender.program, contender.arguments, times))
                return false;
            contender.answered.push_back(times.answered);
            contender.painted.push_back(times.painted);
        }
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

void PrintRatio(const wchar_t* label, double a, double b, const wchar_t* goal)
{
    std::wprintf(L"%ls: %.2f s / %.2f s = %.2f%ls\n", label, a, b, a / b, goal);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: startup_bench EDITOR MINIMAL MINIMAL-WITH-GENERAL-PAGE ITEM\n");
        return 2;
    }
    const std::wstring item = L"\"" + Argument(argv[4]) + L"\"";
    std::vector<Contender> contenders = {{L"one item", Argument(argv[1]), item, {}, {}},
                                         {L"minimal sheet", Argument(argv[2]), item, {}, {}},
                                         {L"minimal sheet with the General page", Argument(argv[3]), item, {}, {}}};
    if (!TimeInTurns(contenders))
        return 1;
    std::wprintf(L"start-up (median of %u starts each, in turns), to the first answer / painted:\n",
                 static_cast<unsigned>(Rounds));
    for (const Contender& contender : contenders)
        std::wprintf(L"  %ls %.3f s / %.3f s\n", contender.name, Median(contender.answered), Median(contender.painted));
    const double one = Median(contenders[0].painted);
    wchar_t goal[32];
    std::swprintf(goal, 32, L" (goal <= %.1f)", StartUpGoal);
    PrintRatio(L"startup one item/minimal", one, Median(contenders[1].painted), goal);
    PrintRatio(L"startup one item/minimal, to the first answer", Median(contenders[0].answered),
               Median(contenders[1].answered), L"");
    PrintRatio(L"startup one item/General page alone", one, Median(contenders[2].painted), L"");
    return 0;
}
