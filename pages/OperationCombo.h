#pragma once

#include "engine/TimestampOperations.h"

#include <windows.h>

// The operations a row's combo box offers, in the order of the entries the General page's
// dialog-initialisation data adds. The Advanced page's data has no entries for the folder-only
// operations, and a file's General page removes them, so an entry's index is not its code:
// each entry carries its code as item data.
struct OperationEntry {
    TimestampOperation code;
    bool folderOnly;
};

inline constexpr OperationEntry kOperationEntries[] = {
    {OpDontChange, false},   {OpSpecifiedDateTime, false}, {OpSpecifiedTimeOfDay, false}, {OpCurrentDateTime, false},
    {OpMidnight, false},     {OpSecondToZero, false},      {OpSameAsFirstOther, false},   {OpSameAsSecondOther, false},
    {OpEarliestEntry, true}, {OpLatestEntry, true},        {OpShiftBySpan, false},
};

// Fills the page's operation boxes from dialog-initialisation resource `dataId`, whose entries
// follow the table, with the folder-only ones when `dataHasFolderOnly`, and tags each entry with
// its code; the folder-only entries stay only when `offerFolderOnly`. False when a box could not
// be filled or holds other entries than the table says.
bool FillOperationCombos(HWND page, UINT dataId, bool dataHasFolderOnly, bool offerFolderOnly);

// The code of the chosen entry; -1 when none is chosen.
[[nodiscard]] TimestampOperation ChosenOperation(HWND combo);

// Chooses the entry of `code`; false, and no entry chosen, when the box offers none.
bool ChooseOperation(HWND combo, TimestampOperation code);
