#pragma once

#include "app/RegistryScript.h"

#include <windows.h>

#include <string>

// The replacements every registration run gets: Module (the program path with each single
// quote doubled, in double quotes), Module_Raw (the same without the double quotes) and an
// empty APPID.
ReplacementMap ProgramReplacements(const std::wstring& programPath);

// The file name of a loaded module; a name that fills the whole MAX_PATH buffer gives
// 0x8007007A (insufficient buffer).
[[nodiscard]] HRESULT ReadModulePath(HMODULE module, std::wstring& path);

// A "REGISTRY" resource of a program file, read as single-byte text in the thread's ANSI
// code page and widened.
[[nodiscard]] HRESULT LoadRegistryScript(const std::wstring& programPath, WORD id, std::wstring& script);

// Adds (true) or removes (false) the "Timestamp" verb of the current user's context menu
// for every file and folder, by running the program's registry script 128.
[[nodiscard]] HRESULT RegisterVerb(bool registering);
