#include "engine/DatedFileTimes.h"

#include "engine/FileByteSource.h"

namespace {

// The date read through the handle that writes the times, once.
class HandleDateReader {
public:
    HandleDateReader(HANDLE file, bool readable) : file_(file), readable_(readable) {}

    std::optional<FileTime> operator()()
    {
        if (asked_ || !readable_)
            return date_;
        asked_ = true;
        // Windows then leaves the last-access time alone for every later operation on the
        // handle. Wine 8 accepts the call but reading moves the time all the same (the Linux
        // file's atime): RestoreAccessTime covers that.
        FILETIME keep{0xFFFFFFFF, 0xFFFFFFFF};
        ::SetFileTime(file_, nullptr, &keep, nullptr);
        FileByteSource source;
        if (source.Attach(file_))
            date_ = ReadDateTaken(source);
        return date_;
    }

    [[nodiscard]] bool Read() const noexcept { return asked_; }

private:
    HANDLE file_;
    bool readable_;
    bool asked_ = false;
    std::optional<FileTime> date_;
};

// Where the data was read and the change leaves the last-access time, the time read before
// is written back if the read moved it (it does not where the platform honoured the request
// to keep it, and there nothing more is written).
void RestoreAccessTime(HANDLE file, const FileTimes& current, FileTimes& wanted)
{
    FileTimes now;
    if (wanted[LastAccess] == InvalidFileTime && ReadOpenTimes(file, now) && now[LastAccess] != current[LastAccess])
        wanted[LastAccess] = current[LastAccess];
}

} // namespace

bool ChangeFileTimesByDate(const wchar_t* path, const DatedTimesChange& change, FileTimes& stored)
{
    bool readable = true;
    FileHandle file = OpenForTimes(path, GENERIC_READ | FILE_WRITE_ATTRIBUTES);
    if (!file) {
        readable = false;
        file = OpenForTimes(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
        if (!file)
            return false;
    }
    FileTimes current;
    if (!ReadOpenTimes(file.get(), current)) {
        const DWORD error = ::GetLastError();
        file.reset();
        ::SetLastError(error);
        return false;
    }
    HandleDateReader reader(file.get(), readable);
    FileTimes wanted = change(current, [&reader] { return reader(); });
    if (reader.Read())
        RestoreAccessTime(file.get(), current, wanted);
    return StoreTimesAndClose(file, current, wanted, stored);
}
