#pragma once

#include "platform/Result.h"

#include <string>

// The system's message for a result code without its trailing line breaks, or
// "HRESULT 0x%8.8x" when the system has none.
std::wstring ResultText(HRESULT code);
