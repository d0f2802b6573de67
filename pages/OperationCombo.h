#pragma once

#include "engine/TimestampOperations.h"

#include <windows.h>

// The operations a row's combo box offers, in the order of the entries the General page's
// dialog-initialisation data adds. The Advanced page's data has no entries for the folder-only
// operations, and a file's General page removes them; the General page of a folder, or of
// folders alone, removes the file-only ones, since its rows reach no file. So an entry's index
// is not its code: each entry carries its code as item data.
struct OperationEntry {
    TimestampOperation code;
    bool folderOnly;
    bool fileOnly;
};

inline constexpr OperationEntry kOperationEntries[] = {
    {OpDontChange, false, false},       {OpSpecifiedDateTime, false, false}, {OpSpecifiedTimeOfDay, false, false},
    {OpCurrentDateTime, false, false},  {OpMidnight, false, false},          {OpSecondToZero, false, false},
    {OpSameAsFirstOther, false, false}, {OpSameAsSecondOther, false, false}, {OpEarliestEntry, true, false},
    {OpLatestEntry, true, false},       {OpShiftBySpan, false, false},       {OpDateTaken, false, true},
};

// Which entries of the table a page's boxes keep.
struct OfferedOperations {
    bool folderOnly = false; // the rows reach a folder's entries
    bool fileOnly = false;   // the rows reach a file
};

// Fills the page's operation boxes from dialog-initialisation resource `dataId`, whose entries
// follow the table, with the folder-only ones when `dataHasFolderOnly`, and tags each entry with
// its code; the folder-only and file-only entries stay only where `offered` says so. False when
// a box could not be filled or holds other entries than the table says.
bool FillOperationCombos(HWND page, UINT dataId, bool dataHasFolderOnly, OfferedOperations offered);

// The code of the chosen entry; -1 when none is chosen.
[[nodiscard]] TimestampOperation ChosenOperation(HWND combo);

// Chooses the entry of `code`; false, and no entry chosen, when the box offers none.
bool ChooseOperation(HWND combo, TimestampOperation code);
