#pragma once

#include "engine/FileTime.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// Picker values as the user sees them: the control's local calendar time as a UTC file time.
FileTime PickerUtc(HWND picker);
// Sets a picker's local value directly, as a keyboard edit would leave it.
bool SetPickerUtc(HWND picker, FileTime utc);
// The picker's displayed text.
std::wstring ControlText(HWND control);

// The time zone west of UTC (local time behind UTC)?
bool LocalTimeIsBehindUtc();

// A UTC file time from calendar fields.
FileTime Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millisecond = 0);

// Builds the user-string notification a picker sends when the user ends a free-text edit
// (Wine's picker has no such mode) and sends it to the picker's parent, which reflects it.
// The record starts with the picker's current value; returns it as the handler left it.
NMDATETIMESTRINGW SendUserString(HWND picker, const wchar_t* text, LRESULT* result = nullptr);

// Makes a picker report that it holds no readable date (GDT_ERROR), as a control whose value
// cannot be taken would; Wine's picker accepts no date that would fail to convert.
void MakePickerUnreadable(HWND picker);
void MakePickerReadable(HWND picker);

// Makes a picker refuse every value it is given, as it refuses a date it cannot show; no file
// on this machine's Linux file system can hold a time that early (ext4 stops at 1901).
void MakePickerRefuseValues(HWND picker);
void MakePickerTakeValues(HWND picker);
