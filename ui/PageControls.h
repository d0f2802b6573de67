#pragma once

#include <windows.h>

// Beeps and moves the focus to a control of a page through the dialog manager (which also
// keeps the default button right), so that the user sees which value failed.
void PointAtFailedControl(HWND page, HWND control);

// Sets the text of control `id` of `page`; when that fails, points at the control. False on
// failure.
bool SetControlText(HWND page, int id, const wchar_t* text);

// Check boxes as booleans.
bool IsChecked(HWND page, int id);
void SetChecked(HWND page, int id, bool checked);

// Places a top-level window in the middle of its visible owner, or of the work area of the
// monitor nearest to it when it has no such owner, and keeps it inside that work area (a
// window larger than the work area goes to its top-left corner).
void CenterOnWorkArea(HWND window);
