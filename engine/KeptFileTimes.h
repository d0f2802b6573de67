#pragma once

#include "engine/FileTime.h"

#include <windows.h>

#include <array>
#include <string>

// Which kinds of time a step leaves as they are.
using TimestampKindSet = std::array<bool, TimestampKindCount>;
inline constexpr TimestampKindSet EveryTimestampKind{true, true, true};

// An item's times, read before a step that moves them as a side effect (a property handler
// rewriting the file) and put back after it.
class KeptFileTimes {
public:
    [[nodiscard]] HRESULT Read(const std::wstring& path);
    // Writes back the times read of the given kinds, leaving the others as they are now;
    // nothing before a successful Read.
    [[nodiscard]] HRESULT PutBack(const TimestampKindSet& kinds) const;

private:
    std::wstring m_path;
    FileTimes m_times{InvalidFileTime, InvalidFileTime, InvalidFileTime};
};
