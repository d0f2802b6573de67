#include "tests/support/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring g_program;

class RealProgram {
public:
    explicit RealProgram(const std::wstring& target)
    {
        std::wstring commandLine = L"\"" + g_program + L"\" \"" + target + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        m_started = ::CreateProcessW(g_program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &m_process) != FALSE;
    }
    ~RealProgram()
    {
        if (!m_started)
            return;
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_process.hProcess, 99);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
    bool Started() const { return m_started; }
    DWORD Id() const { return m_process.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD WaitForExit(DWORD milliseconds)
    {
        ::WaitForSingleObject(m_process.hProcess, milliseconds);
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(m_process.hProcess, &code);
        return code;
    }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_process{};
};

TEST(RealProgram, OpensTheSheetForAFileAndExitsWithItsResultOnOk)
{
    ASSERT_FALSE(g_program.empty()) << "the program's path is the first argument";
    TempFolder folder;
    const std::wstring file = folder.MakeFile(L"target.txt");
    RealProgram program(file);
    ASSERT_TRUE(program.Started()) << ::GetLastError();
    HWND sheet = WaitForSheetOf(program.Id());
    ASSERT_TRUE(sheet) << "no sheet window appeared";
    EXPECT_TRUE(::GetWindowLongW(sheet, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    ::SendMessageW(::GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(20000), 1u);
}

TEST(RealProgram, CancelEndsWithZero)
{
    TempFolder folder;
    RealProgram program(folder.Path());
    ASSERT_TRUE(program.Started());
    HWND sheet = WaitForSheetOf(program.Id());
    ASSERT_TRUE(sheet);
    ::SendMessageW(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(program.WaitForExit(20000), 0u);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) {
        for (const char* p = argv[1]; *p; ++p)
            g_program.push_back(static_cast<wchar_t>(*p));
    }
    return RUN_ALL_TESTS();
}
