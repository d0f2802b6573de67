#pragma once

#include <windows.h>

#include <string>

// Builds the modeless property sheet for the target, runs the thread's message loop until
// the sheet is destroyed, and returns the sheet's result (or a negative result code when
// the sheet window cannot be created).
[[nodiscard]] HRESULT RunMainSheet(HINSTANCE instance, const std::wstring& targetPath);
