#pragma once

#include "platform/Handles.h"

#include <objidl.h>

#include <string>
#include <vector>

// The shell's data object for items of one folder, as the shell makes it for a selection:
// SHBindToParent on the first item, then the folder's GetUIObjectOf with the items' IDs.
ComPtr<IDataObject> DataObjectOf(const std::vector<std::wstring>& paths);
