#pragma once

#include "engine/FileTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A span of time to shift a timestamp by. Years and months are calendar steps of the local
// date (the day of the month stays, or becomes the month's last day where it does not exist,
// and the local clock reading stays); everything else (weeks, days, hours, minutes, seconds)
// is an exact duration in ticks, the same on either side of a daylight-saving change. One
// sign covers the whole span: every field is negative, or none is.
struct TimeSpan {
    std::int32_t months = 0;  // years count as twelve months each
    std::int64_t ticks = 0;

    [[nodiscard]] bool IsZero() const noexcept { return months == 0 && ticks == 0; }
    bool operator==(const TimeSpan&) const = default;
};

// The languages a span is written in.
enum class SpanLanguage { English, Japanese };

// Reads a span as the user may type it, in English, in Japanese or as an ISO 8601 duration,
// with an optional sign (+ when none): "1:30", "-0:45", "+2:00:00", "3d 4:00", "-1 day 2:00",
// "90 min", "2 h", "-3 days", "1 week", "2 years", "-6 months", "3日", "2時間", "30分", "1年",
// "6か月", "PT9H", "-P1DT2H30M", "P2Y". Nothing for any other text, and for a span whose
// fields overflow.
[[nodiscard]] std::optional<TimeSpan> ParseTimeSpan(std::wstring_view text);

// The one canonical form of a span in a language; ParseTimeSpan reads it back to the same span.
[[nodiscard]] std::wstring FormatTimeSpan(const TimeSpan& span, SpanLanguage language);

// The time shifted by the span; nothing when the result is outside what a file time can hold
// (before 1601-01-01 or beyond the largest value the platform writes) or when a calendar step
// of the local date cannot be converted.
[[nodiscard]] std::optional<FileTime> ShiftFileTime(FileTime time, const TimeSpan& span);
