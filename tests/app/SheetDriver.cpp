#include "tests/app/SheetDriver.h"

#include <shellapi.h>

#include <atomic>

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

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    m_path = std::wstring(base) + L"chronset-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++counter);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    std::wstring from = m_path;
    from.push_back(L'\0'); // the list of paths ends with an empty one
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

std::wstring TempFolder::MakeFile(const wchar_t* name) const
{
    const std::wstring path = Child(name);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ::CloseHandle(file);
    return path;
}

std::wstring TempFolder::MakeFolder(const wchar_t* name) const
{
    const std::wstring path = Child(name);
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}
