#include "ui/ResultText.h"
#include "platform/Handles.h"

#include "tests/support/MessageBoxCapture.h"
#include "RegistryTestKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Runs the real program (CHRONSET_PROGRAM names its file) with the registration switches and
// checks the current user's registry, the exit codes and the error box of a failed run.

namespace {

std::wstring ProgramPath()
{
    const char* program = std::getenv("CHRONSET_PROGRAM");
    if (!program)
        return std::wstring();
    std::wstring path(program, program + std::strlen(program));
    // A Unix path from the build names the root of the current drive, which Wine maps to /.
    wchar_t full[MAX_PATH];
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length && length < MAX_PATH ? std::wstring(full, length) : std::wstring();
}

struct ProgramRun {
    bool finished = false;
    DWORD exitCode = 0;
    std::vector<CapturedMessageBox> boxes;
};

struct BoxSearch {
    DWORD processId;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (owner == search->processId && std::wstring(className) == L"#32770" && ::IsWindowVisible(window))
        search->boxes.push_back(window);
    return TRUE;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[1024] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                          &copied);
    return std::wstring(text, copied);
}

// Starts the program with the tail, answers every message box it shows with OK (recording
// it), and waits at most a minute for it to end.
ProgramRun RunProgram(const std::wstring& program, const std::wstring& tail)
{
    ProgramRun run;
    std::wstring commandLine = L"\"" + program + L"\" " + tail;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        ADD_FAILURE() << "CreateProcessW failed: " << ::GetLastError();
        return run;
    }
    FileHandle processHandle(process.hProcess);
    FileHandle threadHandle(process.hThread);

    std::vector<HWND> answered;
    for (int waited = 0; waited < 600; ++waited) {
        if (::WaitForSingleObject(processHandle.get(), 100) == WAIT_OBJECT_0) {
            run.finished = true;
            ::GetExitCodeProcess(processHandle.get(), &run.exitCode);
            return run;
        }
        BoxSearch search{process.dwProcessId, {}};
        ::EnumWindows(&CollectBox, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.boxes) {
            if (std::find(answered.begin(), answered.end(), box) != answered.end())
                continue;
            answered.push_back(box);
            CapturedMessageBox captured;
            captured.caption = TextOf(box);
            captured.text = TextOf(::GetDlgItem(box, 0xFFFF));
            run.boxes.push_back(captured);
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    ::TerminateProcess(processHandle.get(), 1);
    ADD_FAILURE() << "the program did not end";
    return run;
}

std::wstring ProductName()
{
    wchar_t buffer[256] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), 128, buffer, 256);
    return buffer;
}

class ProgramRegistration : public testing::Test {
protected:
    void SetUp() override
    {
        program_ = ProgramPath();
        ASSERT_FALSE(program_.empty()) << "CHRONSET_PROGRAM must name the program";
        DeleteKeyTree(HKEY_CURRENT_USER, VerbKeyPath);
        DeleteKeyTree(HKEY_CURRENT_USER, ClassKeyPath);
    }
    void TearDown() override
    {
        DeleteKeyTree(HKEY_CURRENT_USER, VerbKeyPath);
        DeleteKeyTree(HKEY_CURRENT_USER, ClassKeyPath);
    }

    void ExpectRegistered() { ExpectRegisteredExactly(HKEY_CURRENT_USER, program_); }

    std::wstring program_;
};

TEST_F(ProgramRegistration, SwitchesRegisterAndUnregisterTheVerb)
{
    ProgramRun run = RunProgram(program_, L"/RegServer");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    ExpectRegistered();

    CreateKeyWithValue(HKEY_CURRENT_USER, VerbKeyPath, L"Extra", L"by hand");
    run = RunProgram(program_, L"/rEgSeRvEr");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    ExpectRegistered();

    for (const wchar_t* tail : {L"/UnregServer", L"/UNREGSERVER"}) {
        run = RunProgram(program_, tail);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u) << tail;
        EXPECT_TRUE(run.boxes.empty()) << tail;
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, VerbKeyPath)) << tail;
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKeyPath)) << tail;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, ShellKeyPath)) << tail;
    }
}

TEST_F(ProgramRegistration, AFailedRegistrationIsShownAndBecomesTheExitCode)
{
    // A volatile shell key refuses the lasting verb key below it.
    const KeySnapshot shell = ReadKey(HKEY_CURRENT_USER, ShellKeyPath);
    ASSERT_TRUE(shell.subkeys.empty()) << "the shell key holds keys of others";
    DeleteKeyTree(HKEY_CURRENT_USER, ShellKeyPath);
    {
        RegistryKey volatileShell;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, ShellKeyPath, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, volatileShell.put(), nullptr),
                  ERROR_SUCCESS);
    }

    const ProgramRun run = RunProgram(program_, L"/RegServer");
    const HRESULT expected = HResultFromWin32(ERROR_CHILD_MUST_BE_VOLATILE);
    DeleteKeyTree(HKEY_CURRENT_USER, ShellKeyPath);
    RegistryKey shellAgain;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, ShellKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, shellAgain.put(),
                      nullptr);

    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(expected));
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, ResultText(expected));
    EXPECT_EQ(run.boxes[0].caption, ProductName());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, VerbKeyPath));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKeyPath));
}

} // namespace
