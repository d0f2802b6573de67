#pragma once

#include <string>

// Removes the invisible direction controls a display text may carry around its parts
// (U+200E, U+200F and U+202A..U+202E), which no date or duration parser reads.
void RemoveDirectionMarks(std::wstring& text);
