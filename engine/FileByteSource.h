#pragma once

#include "engine/MediaDate.h"

#include <windows.h>

#include <cstdint>
#include <memory>

// A file's bytes for the date reader, read from the file as the reader asks for them. The
// file's first block comes in one read, since it holds an image's metadata as a rule and the
// reader asks for it in many small pieces; every range past it is read on its own, so a movie's
// box headers and movie box are all that is read of a large video.
class FileByteSource final : public ByteSource {
public:
    // The first block: the directories and dates of a JPEG's Exif, a TIFF's first directories,
    // a HEIF's meta box. A read costs mostly its call, not its bytes (under Wine 13 us for
    // 4 KiB, 15 us for 16 KiB, 22 us for 64 KiB), so one read of this size serves a photo.
    static constexpr std::size_t HeadBytes = std::size_t{16} * 1024;

    // Reads through `file`, open for reading, which the caller keeps open while the source is
    // used; false, with the cause in GetLastError, when the file's size cannot be read.
    [[nodiscard]] bool Attach(HANDLE file);

    [[nodiscard]] std::uint64_t Size() const override { return size_; }
    [[nodiscard]] bool ReadAt(std::uint64_t offset, std::span<std::byte> into) override;

    // The bytes read from the file so far.
    [[nodiscard]] std::uint64_t BytesRead() const noexcept { return bytesRead_; }

private:
    bool ReadFromFile(std::uint64_t offset, std::span<std::byte> into);

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::uint64_t size_ = 0;
    std::unique_ptr<std::byte[]> head_; // the first HeadBytes (the whole of a shorter file) once read
    bool headRead_ = false;
    std::uint64_t bytesRead_ = 0;
};
