#include "engine/FileByteSource.h"

#include <algorithm>
#include <cstring>
#include <limits>

bool FileByteSource::Attach(HANDLE file)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        return false;
    file_ = file;
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    head_.reset();
    headRead_ = false;
    bytesRead_ = 0;
    return true;
}

bool FileByteSource::ReadAt(std::uint64_t offset, std::span<std::byte> into)
{
    if (offset > size_ || into.size() > size_ - offset)
        return false;
    const std::uint64_t headSize = std::min<std::uint64_t>(size_, HeadBytes);
    if (offset + into.size() > headSize)
        return ReadFromFile(offset, into);
    if (!headRead_) {
        // Not zeroed first: the read fills every byte or the source fails.
        head_.reset(new std::byte[static_cast<std::size_t>(headSize)]);
        if (!ReadFromFile(0, {head_.get(), static_cast<std::size_t>(headSize)}))
            return false;
        headRead_ = true;
    }
    if (!into.empty())
        std::memcpy(into.data(), head_.get() + offset, into.size());
    return true;
}

bool FileByteSource::ReadFromFile(std::uint64_t offset, std::span<std::byte> into)
{
    // The reader's blocks are bounded far below 4 GiB; one read per range.
    if (into.size() > std::numeric_limits<DWORD>::max())
        return false;
    if (into.empty())
        return true;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(into.size());
    if (!::ReadFile(file_, into.data(), wanted, &read, &at))
        return false;
    bytesRead_ += read;
    return read == wanted;
}
