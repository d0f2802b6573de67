#pragma once

#include <windows.h>
#include <propsys.h>

#include <string>

// One offered shell property of the target file and, at the same index, one row of the
// metadata list.
struct MetadataEntry {
    PROPERTYKEY key{};
    VARTYPE type = VT_EMPTY; // VT_FILETIME or VT_UI8
    std::wstring canonicalName;
    std::wstring displayName;
    std::wstring valueText; // as formatted for display; empty when the file has no value
    bool writable = true;
    bool modified = false;
};
