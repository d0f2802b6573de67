#pragma once

#include "engine/FileTime.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The date texts media files carry, read into UTC file times. Every reader refuses blank,
// zero and out-of-range fields rather than guessing.

// An Exif date "YYYY:MM:DD HH:MM:SS" (also written with '-' or '/' in the date and 'T'
// between date and time; anything after the seconds is ignored) with its offset text
// ("+09:00", "-0500", "Z"; blank or unreadable means none) and sub-second digits (".123"
// written as "123"; unreadable means none). Without an offset the date is local time.
[[nodiscard]] std::optional<FileTime> ExifDateToFileTime(std::string_view date, std::string_view offset,
                                                         std::string_view subSeconds);

// ISO 8601 text as QuickTime stores its creation date: "YYYY-MM-DDTHH:MM:SS", optional
// fraction, optional "Z" or numeric offset; local time without a zone.
[[nodiscard]] std::optional<FileTime> IsoDateToFileTime(std::string_view text);

// A movie header's creation time: seconds since 1904-01-01 UTC; zero means none.
[[nodiscard]] std::optional<FileTime> MovieSecondsToFileTime(std::uint64_t seconds);
