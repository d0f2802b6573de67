#pragma once

#include <windows.h>

// The COM class through which the shell hands the "Timestamp" verb a whole selection: the
// program registers itself as this class's per-user local server (res/chronset.rgs names the
// same identifier as the verb's DropTarget).
inline constexpr CLSID VerbClassId{0x3D452E27, 0x4C32, 0x4BFD, {0x90, 0xB0, 0x81, 0x02, 0x54, 0xA3, 0x03, 0x0D}};
inline constexpr const wchar_t* VerbClassIdText = L"{3D452E27-4C32-4BFD-90B0-810254A3030D}";
