#pragma once

#include "engine/SelectionApply.h"

#include <functional>
#include <string>
#include <vector>

// What the General page shows about several selected items, as the shell's own properties of
// a selection do: "12 files, 3 folders", the type they share or "Multiple types", and "All in
// C:\Photos" or "Various folders". The Advanced page's location names the selected folder, or
// how many folders its rows act in.
struct SelectionHeader {
    std::wstring name;
    std::wstring type;
    std::wstring location;
    std::wstring advancedLocation;
};

// typeOf gives an item's type as the shell names it.
using ItemTypeReader = std::function<std::wstring(const SelectedItem& item)>;

[[nodiscard]] SelectionHeader DescribeSelection(const std::vector<SelectedItem>& items, const ItemTypeReader& typeOf);

// "12 files, 3 folders", "1 file", "2 folders": a count of none is left out.
[[nodiscard]] std::wstring SelectionCountsText(unsigned long long files, unsigned long long folders);
