#pragma once

#include <windows.h>

// Where an in-place editor goes over a list view cell, in the list's client coordinates:
// widened by the row's label indent on both sides so that its text lines up with the cell's,
// kept inside the client area, and one pixel taller above and below.
RECT CellEditorBounds(const RECT& selection, const RECT& label, const RECT& cell, const RECT& client);
