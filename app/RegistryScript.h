#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

// Reading of registry scripts: the %name% replacements and the tree of keys and values.
// Nothing here touches the registry.

struct NameLessIgnoringCase {
    bool operator()(const std::wstring& left, const std::wstring& right) const noexcept;
};

// Replacement values by name; names are compared without regard to case.
using ReplacementMap = std::map<std::wstring, std::wstring, NameLessIgnoringCase>;

// Replaces every %name% by its value and every %% by %. A name missing from the map, or a
// % without its closing partner, gives DISP_E_EXCEPTION; a name of 32 characters or more
// gives E_FAIL.
[[nodiscard]] HRESULT ExpandReplacements(std::wstring_view text, const ReplacementMap& replacements,
                                         std::wstring& expanded);

enum class KeyRemoval {
    Normal,      // created when registering, deleted when unregistering if no subkeys are left
    NoRemove,    // created when registering, never deleted
    ForceRemove, // deleted with everything below it, then created, when registering
};

// A key (with its optional default value and its contents) or a named string value.
struct RegistryScriptEntry {
    bool isValue = false;
    KeyRemoval removal = KeyRemoval::Normal;
    std::wstring name; // for a value, empty names the default value
    bool hasData = false;
    std::wstring data; // a value's text, or a key's default value when hasData
    std::vector<RegistryScriptEntry> children;
};

struct RegistryScriptRoot {
    std::wstring name; // as written, e.g. HKEY_CURRENT_USER
    std::vector<RegistryScriptEntry> children;
};

using RegistryScript = std::vector<RegistryScriptRoot>;

// Reads an expanded script: roots, each with a braced block of keys and values. Keys may be
// preceded by NoRemove or ForceRemove and followed by "= s 'text'" and/or a block; values
// are "val name = s 'text'". Tokens are separated by blanks, tabs and line breaks; a token
// in single quotes may hold blanks, and '' inside it stands for '. Anything else (a quoted
// token running into the next one, an empty or nested key name, an unclosed block, the
// Delete keyword, other value types or roots nested deeper than the registry allows) gives
// DISP_E_EXCEPTION.
[[nodiscard]] HRESULT ParseRegistryScript(std::wstring_view text, RegistryScript& script);
