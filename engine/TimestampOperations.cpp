#include "engine/TimestampOperations.h"

namespace {

// The kinds a "same as" row takes its value from: [kind][0] for code 6, [kind][1] for code 7.
constexpr TimestampKind OtherKinds[TimestampKindCount][2] = {
    {LastWrite, LastAccess}, // creation
    {Creation, LastWrite},   // last access
    {Creation, LastAccess},  // last write
};

FileTime Candidate(TimestampOperation operation, FileTime old, FileTime value, FileTime now,
                   const TimeExtremes* extremes, int kind)
{
    switch (operation) {
    case OpSpecifiedDateTime:
        return value;
    case OpSpecifiedTimeOfDay: {
        const FileTime midnight = LocalMidnight(old);
        const std::uint64_t timeOfDay = LocalTimeOfDay(value);
        return midnight == InvalidFileTime || timeOfDay == InvalidFileTime ? InvalidFileTime : midnight + timeOfDay;
    }
    case OpCurrentDateTime:
        return now;
    case OpMidnight:
        return LocalMidnight(old);
    case OpSecondToZero:
        return old - old % TicksPerMinute;
    case OpEarliestEntry:
        return extremes ? extremes->earliest[kind] : old;
    case OpLatestEntry:
        return extremes ? extremes->latest[kind] : old;
    default:
        return old;
    }
}

// Whether the operation of a kind gives it a new value; unknown codes act like "Don't change".
bool Changes(TimestampOperation operation, const TimeExtremes* extremes)
{
    if (operation == OpEarliestEntry || operation == OpLatestEntry)
        return extremes != nullptr;
    return operation > OpDontChange && operation < OpEarliestEntry;
}

} // namespace

bool HandlingRecord::AnyOperation() const
{
    for (TimestampOperation op : operation)
        if (op != OpDontChange)
            return true;
    return false;
}

TimeExtremes::TimeExtremes()
{
    for (int k = 0; k < TimestampKindCount; ++k) {
        earliest[k] = 0x7FFFFFFFFFFFFFFFull;
        latest[k] = 0;
    }
}

void ComputeNewTimes(const HandlingRecord& options, FileTimes& times, const TimeExtremes* extremes)
{
    FileTime candidate[TimestampKindCount];
    for (int k = 0; k < TimestampKindCount; ++k)
        candidate[k] = Candidate(options.operation[k], times[k], options.value[k], options.now, extremes, k);
    for (int k = 0; k < TimestampKindCount; ++k) {
        switch (options.operation[k]) {
        case OpSameAsFirstOther:
            times[k] = candidate[OtherKinds[k][0]];
            break;
        case OpSameAsSecondOther:
            times[k] = candidate[OtherKinds[k][1]];
            break;
        default:
            times[k] = candidate[k];
            break;
        }
    }
}

FileTimes TimesToWrite(const HandlingRecord& options, const FileTimes& current, const TimeExtremes* extremes)
{
    FileTimes times = current;
    ComputeNewTimes(options, times, extremes);
    for (int k = 0; k < TimestampKindCount; ++k)
        if (!Changes(options.operation[k], extremes))
            times[k] = InvalidFileTime;
    return times;
}
