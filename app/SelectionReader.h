#pragma once

#include <objidl.h>

#include <string>
#include <vector>

// What a dropped selection turned out to be, read in one transfer from its data object.
struct DroppedSelection {
    enum class Kind {
        Paths,      // every item has a file-system path: `paths`
        NotOnDrive, // an item has none (a phone, a zip folder, a library): `itemName` names it
        Unreadable, // the data object holds no selection in a format read here, or a malformed one
    };
    Kind kind = Kind::Unreadable;
    std::vector<std::wstring> paths;
    std::wstring itemName;
};

// Reads the selection: the shell ID list format where offered (it tells items on a drive from
// others), else CF_HDROP. The block is read with its own bounds; each item's path and, for
// an item without one, its display name come from the ID lists in this process.
DroppedSelection ReadDroppedSelection(IDataObject* data);

// Whether the data object offers a format ReadDroppedSelection reads.
bool OffersSelection(IDataObject* data);
