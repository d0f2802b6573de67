#pragma once

#include <string_view>

// The written forms of dates that the text parsers accept, read by hand: the ISO 8601 basic
// and extended forms and the three HTTP date forms. Each is a fixed sequence of digits,
// separators and names, so it is read in one pass from the front without backtracking; a
// regular-expression engine would also pull the standard library's whole locale machinery into
// the program. A field is a view into the text; an empty view is a field left out.

// White space as ECMAScript's "\s" has it: tab, line feed, vertical tab, form feed, carriage
// return, the space separators of Unicode, the line and paragraph separators and the byte-order
// mark.
bool IsTextSpace(wchar_t c);

// The text without the white space before and after it.
std::wstring_view TrimTextSpace(std::wstring_view text);

// "20240131T123456+0900" or "2024-01-31T12:34:56+09:00": seconds optional, then optionally "Z"
// or a sign with two digits of hours and optionally two of minutes (with a colon in the
// extended form). Case matters ("T", "Z"); digits are ASCII.
struct IsoDateFields {
    std::wstring_view year, month, day, hour, minute, second;
    std::wstring_view zone;        // "Z" or the whole offset; empty when the text names local time
    std::wstring_view offsetHours; // sign and two digits
    std::wstring_view offsetMinutes;
};

// Both read the whole text, which has no white space around it (see TrimTextSpace).
bool ReadIsoBasicForm(std::wstring_view text, IsoDateFields& fields);
bool ReadIsoExtendedForm(std::wstring_view text, IsoDateFields& fields);

// RFC 1123 "Sun, 06 Nov 1994 08:49:37 GMT", RFC 850 "Sunday, 06-Nov-94 08:49:37 GMT" and
// asctime "Sun Nov  6 08:49:37 1994". Names in any letter case; white space where the forms
// have it, of any length; digits are ASCII.
struct HttpDateFields {
    std::wstring_view day, month, year, hour, minute, second;
};

// Each reads the whole text, which has no white space around it (see TrimTextSpace).
bool ReadRfc1123Form(std::wstring_view text, HttpDateFields& fields);
bool ReadRfc850Form(std::wstring_view text, HttpDateFields& fields);
bool ReadAsctimeForm(std::wstring_view text, HttpDateFields& fields);
