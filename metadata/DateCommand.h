#pragma once

#include "engine/FileTime.h"

#include <windows.h>

// What the date commands of a row's menu (1051-1056) make of the row: the current time, the
// row's local midnight, the row's time with zero seconds, or one of the item's own times.
// InvalidFileTime when the command has nothing to give (midnight and zero seconds of a row
// without a readable value, or an unknown command): the row then stays as it is.
FileTime DateCommandValue(UINT command, FileTime rowValue, FileTime now, const FileTimes& itemTimes);

// Whether the command needs the item's own times.
bool DateCommandNeedsItemTimes(UINT command);
