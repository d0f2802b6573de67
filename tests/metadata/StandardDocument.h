#pragma once

#include "tests/metadata/FakePropertySystem.h"

#include <cstdint>

// Rows of the standard document: a date with seconds, the total editing time, a second date.
enum MetadataRow : int { ContentCreatedRow = 0, EditingTimeRow = 1, DateSavedRow = 2 };

// The standard document's values, in the process's time zone.
std::uint64_t ContentCreatedValue();                                       // 2024-01-31 12:34:56 local
std::uint64_t DateSavedValue();                                            // 2023-12-24 08:00:00 local
inline constexpr std::uint64_t EditingTimeValue = 3723ull * 10'000'000ull; // 1:02:03

// A typical document's full-details list in the substitute store: the three offered
// properties above, among a title, the file-system dates and the size, which are not offered.
// Dates are shown in the locale's formats, as Windows shows them.
void AddStandardDocument(FakePropertySystem& system);
