#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Processes the messages waiting in this thread's queue, as the program's loop would.
// Returns the exit code of a WM_QUIT found among them.
std::optional<int> PumpPendingMessages();

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const noexcept { return m_path; }
    std::wstring Child(const wchar_t* name) const { return m_path + L"\\" + name; }
    std::wstring MakeFile(const wchar_t* name) const;
    std::wstring MakeFolder(const wchar_t* name) const;

private:
    std::wstring m_path;
};

// The sheet's Apply button.
inline constexpr int kApplyNowButton = 0x3021;
