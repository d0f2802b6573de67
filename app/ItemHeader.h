#pragma once

#include "platform/Handles.h"

#include <thread>
#include <optional>
#include <string>

// What the pages show of one item above its rows: the shell's icon, name and type.
struct ItemHeader {
    IconHandle icon;
    std::wstring displayName;
    std::wstring typeName;
};

// The item's header as the shell shows it; from the name and attributes alone where the shell
// cannot take the path exactly or the item does not exist yet.
[[nodiscard]] ItemHeader ReadItemHeader(const std::wstring& path, bool isFolder);

// An item's header read on a thread of its own while the sheet is made. The shell's first icon
// look-up in a process fills its icon cache, which takes about as long as making the sheet's
// windows; the page that shows the header waits for it when it is made.
class PendingItemHeader {
public:
    PendingItemHeader() = default;
    ~PendingItemHeader();
    PendingItemHeader(const PendingItemHeader&) = delete;
    PendingItemHeader& operator=(const PendingItemHeader&) = delete;

    void Start(const std::wstring& path, bool isFolder);
    // The header, waited for; nothing when none was started or it was taken already.
    [[nodiscard]] std::optional<ItemHeader> Take();

private:
    // Written by the reading thread, read once it has ended. A plain thread: the standard
    // library's futures need a thread-local of its own that clang's MinGW builds cannot link.
    std::thread m_reading;
    std::optional<ItemHeader> m_read;
};
