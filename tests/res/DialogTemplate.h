#pragma once

#include "tests/res/ResourceData.h"

#include <optional>
#include <string>
#include <vector>

// An extended dialog template (DLGTEMPLATEEX) as the resource compiler wrote it.
struct DialogItem {
    DWORD id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    // Predefined classes stored as ordinals are given by their names ("BUTTON", "EDIT", ...).
    std::wstring className;
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

// Empty when the data is not a complete extended template.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::byte> data);
