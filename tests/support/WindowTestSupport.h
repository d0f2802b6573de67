#pragma once

#include "tests/support/TempFolder.h"

#include <windows.h>

#include <optional>

// Processes the messages waiting in this thread's queue, as the program's loop would.
// Returns the exit code of a WM_QUIT found among them.
std::optional<int> PumpPendingMessages();

// The visible sheet of another process (a dialog titled with the product's name), waited for
// up to 30 seconds; null when none came.
HWND WaitForSheetOf(DWORD processId);

// The sheet's Apply button.
inline constexpr int kApplyNowButton = 0x3021;
