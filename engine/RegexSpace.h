#pragma once

#include <string_view>

// The text without the leading and trailing characters that "\s" of the standard library's
// regular expressions matches. Patterns framed by "\s*" then match the trimmed text alike,
// and the pattern engine, which recurses once per character, never sees a long run of
// white space (a pasted text of some thousand blanks would overflow the stack).
std::wstring_view TrimRegexSpace(const wchar_t* text);
