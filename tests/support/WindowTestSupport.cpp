#include "tests/support/WindowTestSupport.h"

std::optional<int> PumpPendingMessages()
{
    std::optional<int> quit;
    MSG msg{};
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = static_cast<int>(msg.wParam);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return quit;
}

HWND WaitForSheetOf(DWORD processId)
{
    for (int attempt = 0; attempt < 300; ++attempt) {
        HWND window = nullptr;
        while ((window = ::FindWindowExW(nullptr, window, L"#32770", L"Nebbi's Timestamp Editor")) != nullptr) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId && ::IsWindowVisible(window))
                return window;
        }
        ::Sleep(100);
    }
    return nullptr;
}
