#pragma once

#include "engine/FileTime.h"
#include "engine/TimeSpan.h"

#include <cstdint>
#include <optional>

// The index of the entry chosen in a row's operation combo box.
using TimestampOperation = std::int32_t;

enum : TimestampOperation {
    OpDontChange = 0,
    OpSpecifiedDateTime = 1,
    OpSpecifiedTimeOfDay = 2,
    OpCurrentDateTime = 3,
    OpMidnight = 4,
    OpSecondToZero = 5,
    OpSameAsFirstOther = 6,
    OpSameAsSecondOther = 7,
    OpEarliestEntry = 8,
    OpLatestEntry = 9,
    OpShiftBySpan = 10,
    OpDateTaken = 11,
};

// The rows of one timestamp page: per kind an operation, a picker value (UTC) and a span to
// shift by, and the current time of the apply in progress.
struct HandlingRecord {
    TimestampOperation operation[TimestampKindCount] = {OpDontChange, OpDontChange, OpDontChange};
    FileTime value[TimestampKindCount] = {};
    TimeSpan span[TimestampKindCount] = {};
    FileTime now = 0;

    [[nodiscard]] bool AnyOperation() const;
    // Whether writing a file's new times a second time leaves them as the first write did:
    // every kind gets a fixed value, a value from its own date or time of day, the file's date
    // taken, or keeps it, and a kind copied from another copies one of those. A shift by a span does not, nor a
    // copy of a kind that is itself copied or shifted, nor an operation this build does not know.
    [[nodiscard]] bool RewritesTheSame() const;
    // Whether some row takes its new value from the moment a file's own data says it was taken.
    [[nodiscard]] bool TakesDateTaken() const;
};

// Earliest and latest time per kind among a folder's entries.
struct TimeExtremes {
    FileTime earliest[TimestampKindCount];
    FileTime latest[TimestampKindCount];

    TimeExtremes(); // the starting values of a search: 0x7FFFFFFFFFFFFFFF and 0
};

// Replaces times by their new values. Without extremes, the earliest/latest operations act
// like "Don't change", and so does the date-taken operation without a date taken (a folder, or
// a file whose data records none). A kind whose new value does not convert, or whose shift
// leaves the range of file times, becomes InvalidFileTime.
void ComputeNewTimes(const HandlingRecord& options, FileTimes& times, const TimeExtremes* extremes,
                     std::optional<FileTime> dateTaken = std::nullopt);

// What to write to an item whose times are current: the new value of each kind that changes,
// InvalidFileTime for each kind left as it is ("Don't change" or an unknown code, an
// earliest/latest operation without extremes, the date-taken operation without a date taken,
// a shift by a span of zero, a value that does not convert, a shift that leaves the range of
// file times).
FileTimes TimesToWrite(const HandlingRecord& options, const FileTimes& current, const TimeExtremes* extremes,
                       std::optional<FileTime> dateTaken = std::nullopt);

// TimesToWrite for an apply that reports what it cannot write: nothing when a kind that
// changes gets a value the platform cannot write: a shift that leaves the range of file times
// (see ShiftFileTime), 0 (1601-01-01 00:00:00.0000000, which the platform reads as "leave
// unchanged") or a value above 0x7FFFFFFFFFFFFFFF. A kind whose local conversion fails
// (InvalidFileTime) is left as it is, as in TimesToWrite.
[[nodiscard]] std::optional<FileTimes> CheckedTimesToWrite(const HandlingRecord& options, const FileTimes& current,
                                                           const TimeExtremes* extremes,
                                                           std::optional<FileTime> dateTaken = std::nullopt);

// CheckedTimesToWrite as a file-system change wants it: the times to write, or none at all
// (every kind InvalidFileTime) with `refused` set, so that nothing of the item is written.
FileTimes TimesToWriteOrRefuse(const HandlingRecord& options, const FileTimes& current, const TimeExtremes* extremes,
                               bool& refused, std::optional<FileTime> dateTaken = std::nullopt);

// What an apply reports for an item whose new time cannot be written.
inline constexpr HRESULT UnwritableTimeResult = HRESULT_FROM_WIN32(ERROR_INVALID_TIME);
