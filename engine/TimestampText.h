#pragma once

#include "engine/FileTime.h"

#include <propidl.h>

// Text typed into or set on a date-time picker -> local calendar time. On success (true) the
// time and flag become the parsed local time and GDT_VALID; otherwise both stay as they were.
// A time of day alone keeps the date of `time`, or takes today's when `flag` is not GDT_VALID.
[[nodiscard]] bool ParseTimestampText(const wchar_t* text, CalendarTime& time, DWORD& flag);

// ISO 8601 basic or extended date-time with optional "Z" or numeric offset -> UTC.
bool ParseIso8601Timestamp(const wchar_t* text, CalendarTime& utc);

// Date property text (local time of the user's locale) -> VT_FILETIME (UTC); empty text -> VT_EMPTY.
[[nodiscard]] HRESULT ParseDateValueText(const wchar_t* text, PROPVARIANT* value);

// Duration text "h:mm[:ss[.fff]]" -> VT_UI8 in 100-nanosecond units; empty text -> VT_EMPTY.
[[nodiscard]] HRESULT ParseDurationText(const wchar_t* text, PROPVARIANT* value);
