#pragma once

#include "engine/MediaBytes.h"

#include <optional>

// Files of the ISO base media format: HEIF/HEIC and AVIF images, MP4/MOV/M4V/3GP movies.
// The reader walks box headers and reads only the boxes that hold dates: in an image the
// Exif item (found through the top-level meta box's item information and item locations), in
// a movie the movie header and the QuickTime metadata inside the movie box, wherever that box
// stands. It follows fixed paths of box types, so its depth is bounded by the code.
enum class IsoMediaKind { Image, Movie };

// An image's Exif date, else the movie box's; a movie's the other way round.
[[nodiscard]] std::optional<FileTime> ReadIsoMediaDate(ByteSource& source, IsoMediaKind kind, HeaderBudget& budget);
