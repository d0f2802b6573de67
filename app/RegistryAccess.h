#pragma once

#include "platform/Handles.h"

#include <windows.h>

#include <string>

// The registry operations that applying a registry script needs. Each returns the
// platform's error code (ERROR_SUCCESS on success).
class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    virtual LSTATUS OpenKey(HKEY parent, const std::wstring& name, REGSAM access, RegistryKey& key) = 0;
    virtual LSTATUS CreateKey(HKEY parent, const std::wstring& name, REGSAM access, RegistryKey& key) = 0;
    // REG_SZ with its terminating zero; an empty name sets the key's default value.
    virtual LSTATUS SetStringValue(HKEY key, const std::wstring& name, const std::wstring& data) = 0;
    virtual LSTATUS DeleteValue(HKEY key, const std::wstring& name) = 0;
    virtual LSTATUS CountSubkeys(HKEY key, DWORD& count) = 0;
    // Deletes the key with all its subkeys and values.
    virtual LSTATUS DeleteTree(HKEY parent, const std::wstring& name) = 0;
    // Deletes a key that has no subkeys.
    virtual LSTATUS DeleteKey(HKEY parent, const std::wstring& name) = 0;
};

// The platform's registry.
class SystemRegistry : public RegistryAccess {
public:
    LSTATUS OpenKey(HKEY parent, const std::wstring& name, REGSAM access, RegistryKey& key) override;
    LSTATUS CreateKey(HKEY parent, const std::wstring& name, REGSAM access, RegistryKey& key) override;
    LSTATUS SetStringValue(HKEY key, const std::wstring& name, const std::wstring& data) override;
    LSTATUS DeleteValue(HKEY key, const std::wstring& name) override;
    LSTATUS CountSubkeys(HKEY key, DWORD& count) override;
    LSTATUS DeleteTree(HKEY parent, const std::wstring& name) override;
    LSTATUS DeleteKey(HKEY parent, const std::wstring& name) override;
};
