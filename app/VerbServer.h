#pragma once

#include "app/SelectionReader.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Opens a sheet for the items on the calling thread and returns at once; when the last sheet
// of the process closes, the sheet posts WM_QUIT.
using SheetOpener = std::function<HRESULT(const std::vector<std::wstring>& paths)>;

// The program as the local server of the verb's class (app/VerbClass.h), as COM starts it
// with -Embedding: one drop target per activation, each dropped selection opened with
// `openSheet` on this thread. Ends when the last sheet closes, or when COM has released every
// object without a sheet having opened; the class object is revoked on the way out. Returns
// the exit code of WM_QUIT, or the failure that kept the server from starting.
[[nodiscard]] HRESULT RunVerbServer(HINSTANCE instance, const SheetOpener& openSheet);

// What the server does with one dropped selection: opens it, or tells the user in one message
// box why not. True when a sheet opened.
bool OpenDroppedSelection(const DroppedSelection& selection, const SheetOpener& openSheet);
