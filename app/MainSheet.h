#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Builds the modeless property sheet for the targets (one item, or a selection), runs the
// thread's message loop until the sheet is destroyed, and returns the sheet's result (or a
// negative result code when the sheet window cannot be created).
[[nodiscard]] HRESULT RunMainSheet(HINSTANCE instance, const std::vector<std::wstring>& targetPaths);

// Opens a modeless sheet for the targets on the calling thread, whose message loop the caller
// runs, and returns at once. The sheet lives until the thread's loop ends; the last sheet of
// the process to close posts WM_QUIT with its result.
[[nodiscard]] HRESULT OpenSheet(const std::vector<std::wstring>& targetPaths);
