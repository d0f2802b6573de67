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
    std::int32_t months = 0; // years count as twelve months each
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
//
// The written form is a series of numbers with units, largest unit first and each at most
// once, where one clock reading "h:mm[:ss[.fffffff]]" stands for the hours, minutes and
// seconds: "1 day 2:00", "2 h 30 min", "1年6か月", "3日 4:00". English units (any case):
// y, yr(s), year(s); mo(s), month(s); w, wk(s), week(s); d, day(s); h, hr(s), hour(s); min(s),
// minute(s); s, sec(s), second(s). Japanese: 年, か月 (カ月, ヶ月, ケ月, ヵ月, 箇月), 週, 日,
// 時間, 分, 秒, each but 時間 also with 間. Exact units take up to seven decimals ("1.5 h"),
// years and months none. ISO durations take "," or "." for decimals, on their last field only.
// Blanks (also no-break and ideographic ones) may stand around the sign and between the parts;
// full-width digits, letters, signs and colons, and the minus signs U+2212 and U+FF0D read as
// their ASCII forms. The months stay within 2^31 - 1 and the ticks within the largest file
// time, 0x7FFFFFFFFFFFFFFF. The text is read once, front to back.
[[nodiscard]] std::optional<TimeSpan> ParseTimeSpan(std::wstring_view text);

// The one canonical form of a span in a language; ParseTimeSpan reads it back to the same span.
// English "+1 year 2 months 3 days 4:05:06", Japanese "+1年2か月3日 4:05:06": parts of zero
// left out, weeks as days, seconds only where they are not zero ("+1:30", "-0:00:00.5"), and a
// span of zero "0:00". A span whose fields have different signs, which ParseTimeSpan never
// gives, has no form: an empty text.
[[nodiscard]] std::wstring FormatTimeSpan(const TimeSpan& span, SpanLanguage language);

// The time shifted by the span: first the months, as calendar steps of the local date (the
// local clock reading kept, the day clamped to the month's last day), then the ticks, added
// exactly in UTC. Nothing when the result is outside what a file time can hold or the platform
// writes (before 1601-01-01 00:00:00.0000001, since 0 means "leave unchanged" to the platform,
// or beyond 0x7FFFFFFFFFFFFFFF), or when a calendar step of the local date cannot be
// converted. A local reading that the new date skips or repeats (on a day the clock changes)
// becomes what the platform's local-to-UTC conversion makes of it. A span of zero gives the
// time unchanged.
[[nodiscard]] std::optional<FileTime> ShiftFileTime(FileTime time, const TimeSpan& span);
