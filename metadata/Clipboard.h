#pragma once

#include <windows.h>

#include <string>

// Puts `text` on the clipboard as Unicode text, owned by `owner`; false when the clipboard
// cannot be opened or the memory not had.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);
