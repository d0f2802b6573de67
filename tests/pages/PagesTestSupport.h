#pragma once

#include <windows.h>

#include <string>

// The picker's displayed text.
std::wstring ControlText(HWND control);

// Makes a picker report that it holds no readable date (GDT_ERROR), as a control whose value
// cannot be taken would; Wine's picker accepts no date that would fail to convert.
void MakePickerUnreadable(HWND picker);
void MakePickerReadable(HWND picker);

// Makes a picker refuse every value it is given, as it refuses a date it cannot show; no file
// on this machine's Linux file system can hold a time that early (ext4 stops at 1901).
void MakePickerRefuseValues(HWND picker);
void MakePickerTakeValues(HWND picker);
