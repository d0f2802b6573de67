#pragma once

#include <windows.h>

#include <string>

// A window handle with the calls the program makes on it most. Owns nothing.
class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hWnd = nullptr) noexcept : m_hWnd(hWnd) {}
    operator HWND() const noexcept { return m_hWnd; }
    [[nodiscard]] bool IsWindow() const noexcept { return m_hWnd && ::IsWindow(m_hWnd); }

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    LRESULT SendDlgItemMessage(int id, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageW(m_hWnd, id, msg, wParam, lParam);
    }
    [[nodiscard]] HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    [[nodiscard]] HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    [[nodiscard]] int GetDlgCtrlID() const noexcept { return ::GetDlgCtrlID(m_hWnd); }

    std::wstring GetWindowText() const
    {
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
        return text;
    }
};
