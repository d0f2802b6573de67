#include "app/RegistryAccess.h"

LSTATUS SystemRegistry::OpenKey(HKEY parent, const std::wstring& name, REGSAM access, RegistryKey& key)
{
    return ::RegOpenKeyExW(parent, name.c_str(), 0, access, key.put());
}

LSTATUS SystemRegistry::CreateKey(HKEY parent, const std::wstring& name, REGSAM access, RegistryKey& key)
{
    return ::RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key.put(),
                             nullptr);
}

LSTATUS SystemRegistry::SetStringValue(HKEY key, const std::wstring& name, const std::wstring& data)
{
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes);
}

LSTATUS SystemRegistry::DeleteValue(HKEY key, const std::wstring& name)
{
    return ::RegDeleteValueW(key, name.c_str());
}

LSTATUS SystemRegistry::CountSubkeys(HKEY key, DWORD& count)
{
    return ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                              nullptr, nullptr);
}

LSTATUS SystemRegistry::DeleteTree(HKEY parent, const std::wstring& name)
{
    // The contents go through a handle of the key itself, opened with the rights the
    // tree deletion asks for, whatever the rights of the parent's handle.
    RegistryKey key;
    LSTATUS status = ::RegOpenKeyExW(parent, name.c_str(), 0,
                                     DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE, key.put());
    if (status != ERROR_SUCCESS)
        return status;
    status = ::RegDeleteTreeW(key.get(), nullptr);
    key.reset();
    if (status != ERROR_SUCCESS)
        return status;
    return DeleteKey(parent, name);
}

LSTATUS SystemRegistry::DeleteKey(HKEY parent, const std::wstring& name)
{
    return ::RegDeleteKeyExW(parent, name.c_str(), 0, 0);
}
