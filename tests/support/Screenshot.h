#pragma once

#include <windows.h>

#include <string>

// Saves a picture of a window as drawn, as a PNG file: its client area, or the whole window
// with the frame Wine draws itself when there is no window manager. Needs COM on the thread.
HRESULT SaveWindowPicture(HWND window, const std::wstring& path, bool withFrame);
