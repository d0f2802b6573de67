#pragma once

#include <windows.h>

#include <string>

// A platform error code as a result code: values that are zero or already negative as a
// result code stay as they are, any other becomes 0x8007xxxx.
HRESULT HResultFromWin32(DWORD error) noexcept;

// The calling thread's last platform error as a result code; E_FAIL when a call failed
// without recording an error, so that a failure never reads as success.
HRESULT LastErrorResult() noexcept;

// The system's message for a result code without its trailing line breaks, or
// "HRESULT 0x%8.8x" when the system has none.
std::wstring ResultText(HRESULT code);
