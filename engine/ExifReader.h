#pragma once

#include "engine/MediaDate.h"

#include <optional>
#include <span>

// The date taken from TIFF data: a TIFF or TIFF-based raw file (either byte order, with the
// raw formats' own signatures), or the TIFF block inside an Exif block. Only the first
// directory and the Exif directory it points to are read, so no chain of offsets can loop.
[[nodiscard]] std::optional<FileTime> ReadTiffDate(ByteSource& tiff);

// The same from an Exif block in memory, with or without its "Exif\0\0" prefix.
[[nodiscard]] std::optional<FileTime> ReadExifBlockDate(std::span<const std::byte> block);
