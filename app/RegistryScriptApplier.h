#pragma once

#include "app/RegistryAccess.h"
#include "app/RegistryScript.h"

#include <windows.h>

#include <string_view>

enum class ScriptMode { Register, Unregister };

// Applies a script's keys and values. The root HKEY_CURRENT_USER (or HKCU) stands for
// currentUser; any other root gives DISP_E_EXCEPTION before anything is changed.
// Register opens or creates every key and sets every value; a failure stops at once, the
// failing root's block is then unregistered (its own result ignored) and the failure is
// returned. Unregister deletes the named values and every key that is not NoRemove and has
// no subkeys left; what is missing already is no error. Registry errors come back as
// 0x8007xxxx.
[[nodiscard]] HRESULT ApplyRegistryScript(const RegistryScript& script, ScriptMode mode, HKEY currentUser,
                                          RegistryAccess& registry);

// Expands the replacements, reads the script and applies it.
[[nodiscard]] HRESULT RunRegistryScript(std::wstring_view text, const ReplacementMap& replacements, ScriptMode mode,
                                        HKEY currentUser, RegistryAccess& registry);
