#pragma once

#include "platform/Handles.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// A key under HKEY_CURRENT_USER\Software\ChronsetTests that only this process uses; it is
// deleted with everything below it when the object goes.
class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY get() const noexcept { return key_.get(); }

private:
    std::wstring path_;
    RegistryKey key_;
};

struct KeySnapshot {
    bool exists = false;
    std::map<std::wstring, std::wstring> values; // REG_SZ data by name; "" is the default value
    std::vector<std::wstring> nonStringValues;
    std::vector<std::wstring> subkeys; // sorted
};

KeySnapshot ReadKey(HKEY root, const std::wstring& path);
bool KeyExists(HKEY root, const std::wstring& path);
void CreateKeyWithValue(HKEY root, const std::wstring& path, const std::wstring& valueName, const std::wstring& data);
void DeleteKeyTree(HKEY root, const std::wstring& path);

inline constexpr const wchar_t* ShellKeyPath = L"Software\\Classes\\AllFilesystemObjects\\shell";
inline constexpr const wchar_t* VerbKeyPath = L"Software\\Classes\\AllFilesystemObjects\\shell\\chronset";
inline constexpr const wchar_t* DropTargetKeyPath =
    L"Software\\Classes\\AllFilesystemObjects\\shell\\chronset\\DropTarget";
inline constexpr const wchar_t* ClassKeyPath = L"Software\\Classes\\CLSID\\{3D452E27-4C32-4BFD-90B0-810254A3030D}";
inline constexpr const wchar_t* LocalServerKeyPath =
    L"Software\\Classes\\CLSID\\{3D452E27-4C32-4BFD-90B0-810254A3030D}\\LocalServer32";

// The four values of the verb key for a program path.
std::map<std::wstring, std::wstring> ExpectedVerbValues(const std::wstring& programPath);

// Checks that the class key and the verb are registered for the program with exactly the
// scripted keys and values, and nothing else below them.
void ExpectRegisteredExactly(HKEY root, const std::wstring& programPath);
