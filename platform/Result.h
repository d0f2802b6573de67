#pragma once

#include <windows.h>

// A platform error code as a result code: values that are zero or already negative as a
// result code stay as they are, any other becomes 0x8007xxxx.
HRESULT HResultFromWin32(DWORD error) noexcept;

// The calling thread's last platform error as a result code; E_FAIL when a call failed
// without recording an error, so that a failure never reads as success.
[[nodiscard]] HRESULT LastErrorResult() noexcept;
