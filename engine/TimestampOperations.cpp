#include "engine/TimestampOperations.h"

#include <optional>

namespace {

// The kinds a "same as" row takes its value from: [kind][0] for code 6, [kind][1] for code 7.
constexpr TimestampKind OtherKinds[TimestampKindCount][2] = {
    {LastWrite, LastAccess}, // creation
    {Creation, LastWrite},   // last access
    {Creation, LastAccess},  // last write
};

// The picker's clock reading (its local hours, minutes and seconds, and its fraction of a
// second) put on the item's local date. The local calendar time is converted as a whole, so
// the offset is the one in force at that reading, not at the day's midnight. A reading that
// the day does not have (in the hour skipped when summer time starts) or has twice (in the
// hour repeated when it ends) becomes what the platform's local-to-UTC conversion
// (TzSpecificLocalTimeToSystemTime) makes of it. Windows documents a repeated reading as taken
// as daylight time (the first of the two instants) and gives a skipped one no guaranteed
// result; Wine 8 takes the repeated 01:30 as daylight time and the skipped 02:30 as standard
// time, which the clock shows as 03:30 daylight time.
FileTime TimeOfDayOnLocalDate(FileTime old, FileTime picker)
{
    CalendarTime date;
    CalendarTime clock;
    if (!UtcFileTimeToLocalCalendar(old, date) || !UtcFileTimeToLocalCalendar(picker, clock))
        return InvalidFileTime;
    date.wHour = clock.wHour;
    date.wMinute = clock.wMinute;
    date.wSecond = clock.wSecond;
    date.wDayOfWeek = 0;
    FileTime utc;
    const std::uint64_t fraction = picker % TicksPerSecond;
    if (!LocalCalendarToUtcFileTime(date, utc) || utc > LargestFileTime - fraction)
        return InvalidFileTime;
    return utc + fraction;
}

// A kind's candidate value: InvalidFileTime where a local conversion fails (the kind is then
// left as it is), nothing where a shift leaves the range of file times (which is refused).
std::optional<FileTime> Candidate(const HandlingRecord& options, int kind, FileTime old, const TimeExtremes* extremes,
                                  std::optional<FileTime> dateTaken)
{
    switch (options.operation[kind]) {
    case OpSpecifiedDateTime:
        return options.value[kind];
    case OpSpecifiedTimeOfDay:
        return TimeOfDayOnLocalDate(old, options.value[kind]);
    case OpCurrentDateTime:
        return options.now;
    case OpMidnight:
        return LocalMidnight(old);
    case OpSecondToZero:
        return old - old % TicksPerMinute;
    case OpEarliestEntry:
        return extremes ? extremes->earliest[kind] : old;
    case OpLatestEntry:
        return extremes ? extremes->latest[kind] : old;
    case OpShiftBySpan:
        return ShiftFileTime(old, options.span[kind]);
    case OpDateTaken:
        return dateTaken.value_or(old);
    default:
        return old;
    }
}

// Whether the row of a kind gives it a new value; unknown codes act like "Don't change", and
// so do a shift by a span of zero and the date taken of an item without one.
bool Changes(const HandlingRecord& options, int kind, const TimeExtremes* extremes, std::optional<FileTime> dateTaken)
{
    const TimestampOperation operation = options.operation[kind];
    if (operation == OpEarliestEntry || operation == OpLatestEntry)
        return extremes != nullptr;
    if (operation == OpDateTaken)
        return dateTaken.has_value();
    if (operation == OpShiftBySpan)
        return !options.span[kind].IsZero();
    return operation > OpDontChange && operation < OpEarliestEntry;
}

// The new value of every kind, nothing for those whose candidate was refused.
std::array<std::optional<FileTime>, TimestampKindCount> NewValues(const HandlingRecord& options, const FileTimes& times,
                                                                  const TimeExtremes* extremes,
                                                                  std::optional<FileTime> dateTaken)
{
    std::optional<FileTime> candidate[TimestampKindCount];
    for (int k = 0; k < TimestampKindCount; ++k)
        candidate[k] = Candidate(options, k, times[k], extremes, dateTaken);
    std::array<std::optional<FileTime>, TimestampKindCount> result;
    for (int k = 0; k < TimestampKindCount; ++k) {
        switch (options.operation[k]) {
        case OpSameAsFirstOther:
            result[k] = candidate[OtherKinds[k][0]];
            break;
        case OpSameAsSecondOther:
            result[k] = candidate[OtherKinds[k][1]];
            break;
        default:
            result[k] = candidate[k];
            break;
        }
    }
    return result;
}

// Zero reads as "leave unchanged" to the platform, and all-ones is how a failed local
// conversion leaves a kind; every other value above the largest file time is refused.
bool Writable(FileTime t)
{
    return t != 0 && (t <= LargestFileTime || t == InvalidFileTime);
}

} // namespace

bool HandlingRecord::AnyOperation() const
{
    for (TimestampOperation op : operation)
        if (op != OpDontChange)
            return true;
    return false;
}

bool HandlingRecord::RewritesTheSame() const
{
    // Each of these gives a kind of a file (which has no entries) a value that the same
    // operation, given that value, gives again.
    const auto settles = [this](int kind) {
        switch (operation[kind]) {
        case OpDontChange:
        case OpSpecifiedDateTime:
        case OpSpecifiedTimeOfDay:
        case OpCurrentDateTime:
        case OpMidnight:
        case OpSecondToZero:
        case OpEarliestEntry:
        case OpLatestEntry:
        case OpDateTaken:
            return true;
        case OpShiftBySpan:
            return span[kind].IsZero();
        default:
            return false;
        }
    };
    for (int k = 0; k < TimestampKindCount; ++k) {
        const TimestampOperation op = operation[k];
        if (op == OpSameAsFirstOther || op == OpSameAsSecondOther) {
            if (!settles(OtherKinds[k][op == OpSameAsFirstOther ? 0 : 1]))
                return false;
        } else if (!settles(k)) {
            return false;
        }
    }
    return true;
}

bool HandlingRecord::TakesDateTaken() const
{
    for (TimestampOperation op : operation)
        if (op == OpDateTaken)
            return true;
    return false;
}

TimeExtremes::TimeExtremes()
{
    for (int k = 0; k < TimestampKindCount; ++k) {
        earliest[k] = LargestFileTime;
        latest[k] = 0;
    }
}

void ComputeNewTimes(const HandlingRecord& options, FileTimes& times, const TimeExtremes* extremes,
                     std::optional<FileTime> dateTaken)
{
    const auto values = NewValues(options, times, extremes, dateTaken);
    for (int k = 0; k < TimestampKindCount; ++k)
        times[k] = values[k].value_or(InvalidFileTime);
}

FileTimes TimesToWrite(const HandlingRecord& options, const FileTimes& current, const TimeExtremes* extremes,
                       std::optional<FileTime> dateTaken)
{
    FileTimes times = current;
    ComputeNewTimes(options, times, extremes, dateTaken);
    for (int k = 0; k < TimestampKindCount; ++k)
        if (!Changes(options, k, extremes, dateTaken))
            times[k] = InvalidFileTime;
    return times;
}

std::optional<FileTimes> CheckedTimesToWrite(const HandlingRecord& options, const FileTimes& current,
                                             const TimeExtremes* extremes, std::optional<FileTime> dateTaken)
{
    const auto values = NewValues(options, current, extremes, dateTaken);
    FileTimes times;
    for (int k = 0; k < TimestampKindCount; ++k) {
        if (!Changes(options, k, extremes, dateTaken)) {
            times[k] = InvalidFileTime;
            continue;
        }
        if (!values[k] || !Writable(*values[k]))
            return std::nullopt;
        times[k] = *values[k];
    }
    return times;
}

FileTimes TimesToWriteOrRefuse(const HandlingRecord& options, const FileTimes& current, const TimeExtremes* extremes,
                               bool& refused, std::optional<FileTime> dateTaken)
{
    const std::optional<FileTimes> times = CheckedTimesToWrite(options, current, extremes, dateTaken);
    refused = !times;
    return times.value_or(FileTimes{InvalidFileTime, InvalidFileTime, InvalidFileTime});
}
