#pragma once

#include <string>

// How far a folder walk has come. A file counts once the walk has read its times (and written
// those that change); a folder counts once its entries are done and its own times written
// (without folder operations, once its entries are done). A subfolder the walk does not enter
// (a link back to a folder on the current path) does not count.
struct WalkCounts {
    unsigned long long files = 0;
    unsigned long long folders = 0;

    bool operator==(const WalkCounts&) const = default;
};

// How a folder walk ended: every item done, stopped at a failure (which was reported), or
// stopped because its progress sink asked it to (nothing reported).
enum class WalkOutcome { Finished, Failed, Stopped };

// Follows a folder walk and decides whether it goes on. The walk asks before it touches each
// item: each file it opens, each folder before it is entered (listed, or opened for its
// identity), and each folder again before its own times are written after its entries. The
// walk calls it on its own thread, in walk order.
class WalkProgress {
public:
    virtual ~WalkProgress() = default;
    // The item about to be touched (its full path) and the counts done so far. False stops the
    // walk before that item: what was written stays written, and neither the folder being
    // walked nor any folder above it is written.
    [[nodiscard]] virtual bool Continue(const std::wstring& item, const WalkCounts& done) = 0;
};
