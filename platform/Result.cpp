#include "platform/Result.h"

HRESULT HResultFromWin32(DWORD error) noexcept
{
    const auto code = static_cast<HRESULT>(error);
    if (code <= 0)
        return code;
    return static_cast<HRESULT>((error & 0x0000FFFFu) | 0x80070000u);
}

HRESULT LastErrorResult() noexcept
{
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HResultFromWin32(error);
}
