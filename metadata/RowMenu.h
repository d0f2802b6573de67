#pragma once

#include <windows.h>

// The context menu of a metadata row (menu 1050 for dates, 1060 for durations).

// Grays what a row cannot do: everything but Copy when the row may not be edited, and the
// commands that need an existing value (midnight, second to zero) when the row has none.
void GrayRowMenu(HMENU menu, bool editable, bool hasValue);

// A menu point that lies on no monitor moves horizontally into the work area of the nearest
// monitor; its height stays.
POINT KeepMenuPointOnMonitor(POINT point);
