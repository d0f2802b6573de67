#pragma once

#include "engine/FileTime.h"

// An HTTP date (RFC 1123 "Sun, 06 Nov 1994 08:49:37 GMT", RFC 850 "Sunday, 06-Nov-94 08:49:37
// GMT" or asctime "Sun Nov  6 08:49:37 1994") -> UTC calendar time, read by the platform's
// Internet date parser. Text of any other form is refused before that parser sees it, and its
// answer is taken only when it agrees with the fields written in the text: some versions of
// the parser report success with the current time or garbage for text it cannot read.
bool ParseInternetDate(const wchar_t* text, CalendarTime& utc);
