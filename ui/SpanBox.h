#pragma once

#include "engine/TimeSpan.h"

#include <windows.h>

#include <optional>

// The language spans are written in for the user: Japanese under a Japanese interface
// language, English under any other.
SpanLanguage UserSpanLanguage();

// The span an edit box's text names; nothing for text of none of the span forms.
std::optional<TimeSpan> SpanInBox(HWND box);

// Writes `span` into the box in the user's canonical form. Text that already reads so is left
// as it is, so that the box reports no change. False when the box refuses the text.
bool ShowSpanInBox(HWND box, const TimeSpan& span);
