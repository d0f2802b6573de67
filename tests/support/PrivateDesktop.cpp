#include "tests/support/PrivateDesktop.h"

#include <windows.h>

#include <string>

bool UsePrivateDesktop()
{
    const std::wstring name = L"chronset-test-" + std::to_wstring(::GetCurrentProcessId());
    // Kept for the life of the process: the thread's windows live on it.
    HDESK desktop = ::CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    return desktop && ::SetThreadDesktop(desktop);
}
