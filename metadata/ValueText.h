#pragma once

#include "engine/FileTime.h"

#include <string>

// A value text without the white space the locale knows at either end (null gives empty).
std::wstring TrimWhiteSpace(const wchar_t* text);

// The instant a row's date text names; false for an empty text or one the parser cannot read.
// Direction marks the shell puts into dates are ignored.
bool ReadDateText(std::wstring text, FileTime& utc);
