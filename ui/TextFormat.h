#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// A string of the user's locale, or empty when it cannot be read.
std::wstring UserLocaleText(LCTYPE type);

// A resource text with its numbered inserts filled: %1 is the first argument, %2 the second,
// up to %9; "%%" gives one percent sign. An insert without an argument stays as written, so
// a translation may leave one out or change their order.
std::wstring FillInserts(const std::wstring& pattern, std::initializer_list<std::wstring> arguments);

// A count with the user's digit grouping and no decimals ("1,234" in English).
std::wstring GroupedNumber(unsigned long long value);

// A text of at most `limit` characters: a longer one keeps its start and its end, joined by
// "...", so that a path still shows its root and its last names.
std::wstring ShortenMiddle(const std::wstring& text, std::size_t limit);
