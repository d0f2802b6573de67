#include "app/RegistryScriptApplier.h"

#include "ui/ResultText.h"

#include <vector>

namespace {

constexpr REGSAM WritableKeyAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

bool IsCurrentUserRoot(const std::wstring& name) noexcept
{
    for (const wchar_t* accepted : {L"HKEY_CURRENT_USER", L"HKCU"}) {
        if (::CompareStringOrdinal(name.c_str(), -1, accepted, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

class ScriptApplier {
public:
    explicit ScriptApplier(RegistryAccess& registry) : registry_(registry) {}

    HRESULT Register(HKEY parent, const std::vector<RegistryScriptEntry>& entries)
    {
        return EachEntry(parent, entries, &ScriptApplier::SetValue, &ScriptApplier::RegisterKey);
    }

    HRESULT Unregister(HKEY parent, const std::vector<RegistryScriptEntry>& entries)
    {
        return EachEntry(parent, entries, &ScriptApplier::DeleteValue, &ScriptApplier::UnregisterKey);
    }

private:
    using Step = HRESULT (ScriptApplier::*)(HKEY, const RegistryScriptEntry&);

    // Takes the entries in order, values with one step and keys with the other, and stops at
    // the first failure.
    HRESULT EachEntry(HKEY parent, const std::vector<RegistryScriptEntry>& entries, Step valueStep, Step keyStep)
    {
        for (const RegistryScriptEntry& entry : entries) {
            const HRESULT hr = (this->*(entry.isValue ? valueStep : keyStep))(parent, entry);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    }

    HRESULT SetValue(HKEY key, const RegistryScriptEntry& entry)
    {
        const LSTATUS status = registry_.SetStringValue(key, entry.name, entry.data);
        return status == ERROR_SUCCESS ? S_OK : HResultFromWin32(status);
    }

    HRESULT DeleteValue(HKEY key, const RegistryScriptEntry& entry)
    {
        const LSTATUS status = registry_.DeleteValue(key, entry.name);
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
            return S_OK;
        return HResultFromWin32(status);
    }

    HRESULT RegisterKey(HKEY parent, const RegistryScriptEntry& entry)
    {
        if (entry.removal == KeyRemoval::ForceRemove)
            registry_.DeleteTree(parent, entry.name); // a key that cannot go is simply reused

        RegistryKey key;
        LSTATUS status = registry_.OpenKey(parent, entry.name, WritableKeyAccess, key);
        if (status != ERROR_SUCCESS)
            status = registry_.OpenKey(parent, entry.name, KEY_READ, key);
        if (status != ERROR_SUCCESS)
            status = registry_.CreateKey(parent, entry.name, WritableKeyAccess, key);
        if (status != ERROR_SUCCESS)
            return HResultFromWin32(status);

        if (entry.hasData) {
            status = registry_.SetStringValue(key.get(), std::wstring(), entry.data);
            if (status != ERROR_SUCCESS)
                return HResultFromWin32(status);
        }
        return Register(key.get(), entry.children);
    }

    HRESULT UnregisterKey(HKEY parent, const RegistryScriptEntry& entry)
    {
        bool deletesValues = false;
        for (const RegistryScriptEntry& child : entry.children)
            deletesValues = deletesValues || child.isValue;

        RegistryKey key;
        LSTATUS status = registry_.OpenKey(parent, entry.name, KEY_READ | (deletesValues ? KEY_SET_VALUE : 0), key);
        if (status == ERROR_FILE_NOT_FOUND)
            return S_OK;
        if (status != ERROR_SUCCESS)
            return HResultFromWin32(status);

        const HRESULT hr = Unregister(key.get(), entry.children);
        if (FAILED(hr))
            return hr;
        if (entry.removal == KeyRemoval::NoRemove)
            return S_OK;

        // Subkeys the script does not name belong to someone else and keep the key.
        DWORD subkeys = 0;
        status = registry_.CountSubkeys(key.get(), subkeys);
        if (status != ERROR_SUCCESS)
            return HResultFromWin32(status);
        key.reset();
        if (subkeys != 0)
            return S_OK;
        status = registry_.DeleteKey(parent, entry.name);
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
            return S_OK;
        return HResultFromWin32(status);
    }

    RegistryAccess& registry_;
};

} // namespace

HRESULT ApplyRegistryScript(const RegistryScript& script, ScriptMode mode, HKEY currentUser, RegistryAccess& registry)
{
    for (const RegistryScriptRoot& root : script) {
        if (!IsCurrentUserRoot(root.name))
            return DISP_E_EXCEPTION;
    }

    ScriptApplier applier(registry);
    for (const RegistryScriptRoot& root : script) {
        if (mode == ScriptMode::Unregister) {
            const HRESULT hr = applier.Unregister(currentUser, root.children);
            if (FAILED(hr))
                return hr;
            continue;
        }
        const HRESULT hr = applier.Register(currentUser, root.children);
        if (FAILED(hr)) {
            applier.Unregister(currentUser, root.children);
            return hr;
        }
    }
    return S_OK;
}

HRESULT RunRegistryScript(std::wstring_view text, const ReplacementMap& replacements, ScriptMode mode, HKEY currentUser,
                          RegistryAccess& registry)
{
    std::wstring expanded;
    HRESULT hr = ExpandReplacements(text, replacements, expanded);
    if (FAILED(hr))
        return hr;
    RegistryScript script;
    hr = ParseRegistryScript(expanded, script);
    if (FAILED(hr))
        return hr;
    return ApplyRegistryScript(script, mode, currentUser, registry);
}
