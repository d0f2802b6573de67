#include "app/Registration.h"
#include "app/RegistryScriptApplier.h"
#include "ui/ResultText.h"

#include "RegistryTestKeys.h"
#include "VerbScript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring SamplePath = L"C:\\Program Files\\Nebbi's Tools\\chronset64.exe";

// The platform's registry, except that one operation on one name fails with access denied.
class RefusingRegistry : public SystemRegistry {
public:
    enum class Operation { Create, SetValue, DeleteValue };
    RefusingRegistry(Operation operation, std::wstring name) : operation_(operation), name_(std::move(name)) {}

    LSTATUS CreateKey(HKEY parent, const std::wstring& name, REGSAM access, RegistryKey& key) override
    {
        return Refuses(Operation::Create, name) ? ERROR_ACCESS_DENIED
                                                : SystemRegistry::CreateKey(parent, name, access, key);
    }
    LSTATUS SetStringValue(HKEY key, const std::wstring& name, const std::wstring& data) override
    {
        return Refuses(Operation::SetValue, name) ? ERROR_ACCESS_DENIED
                                                  : SystemRegistry::SetStringValue(key, name, data);
    }
    LSTATUS DeleteValue(HKEY key, const std::wstring& name) override
    {
        return Refuses(Operation::DeleteValue, name) ? ERROR_ACCESS_DENIED : SystemRegistry::DeleteValue(key, name);
    }

    int refusals = 0;

private:
    bool Refuses(Operation operation, const std::wstring& name)
    {
        if (operation != operation_ || name != name_)
            return false;
        ++refusals;
        return true;
    }

    Operation operation_;
    std::wstring name_;
};

HRESULT RunVerbScript(ScriptMode mode, HKEY root, RegistryAccess& registry)
{
    return RunRegistryScript(VerbScriptText, ProgramReplacements(SamplePath), mode, root, registry);
}

HRESULT RunVerbScript(ScriptMode mode, HKEY root)
{
    SystemRegistry registry;
    return RunVerbScript(mode, root, registry);
}

TEST(RegistryScriptApplier, UnregisteringWhatWasNeverRegisteredCreatesNothing)
{
    ScratchKey root;
    EXPECT_EQ(RunVerbScript(ScriptMode::Unregister, root.get()), S_OK);
    EXPECT_TRUE(ReadKey(root.get(), L"").subkeys.empty());
}

TEST(RegistryScriptApplier, AFailedRegistrationIsRolledBackAndReturnsItsCode)
{
    for (auto [operation, name] : {std::pair{RefusingRegistry::Operation::SetValue, L"Position"},
                                   std::pair{RefusingRegistry::Operation::SetValue, L""},
                                   std::pair{RefusingRegistry::Operation::Create, L"DropTarget"},
                                   std::pair{RefusingRegistry::Operation::Create, L"LocalServer32"}}) {
        ScratchKey root;
        // An earlier registration and a stranger's value on the shell key.
        ASSERT_EQ(RunVerbScript(ScriptMode::Register, root.get()), S_OK);
        CreateKeyWithValue(root.get(), ShellKeyPath, L"Kept", L"yes");

        RefusingRegistry registry(operation, name);
        EXPECT_EQ(RunVerbScript(ScriptMode::Register, root.get(), registry), static_cast<HRESULT>(0x80070005)) << name;
        EXPECT_EQ(registry.refusals, 1) << name;
        EXPECT_FALSE(KeyExists(root.get(), VerbKeyPath)) << name;
        EXPECT_FALSE(KeyExists(root.get(), ClassKeyPath)) << name;
        const KeySnapshot shell = ReadKey(root.get(), ShellKeyPath);
        EXPECT_TRUE(shell.exists) << name;
        EXPECT_TRUE(shell.subkeys.empty()) << name;
        EXPECT_EQ(shell.values.at(L"Kept"), L"yes") << name;
    }
}

TEST(RegistryScriptApplier, AKeyTheRegistryRefusesFailsTheRegistrationAndRollsItBack)
{
    ScratchKey root;
    // A lasting key cannot be made below a volatile one.
    RegistryKey volatileKey;
    ASSERT_EQ(::RegCreateKeyExW(root.get(), L"Software\\Volatile", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, volatileKey.put(), nullptr),
              ERROR_SUCCESS);
    volatileKey.reset();

    const std::wstring script = L"HKCU { NoRemove Software { ForceRemove Made { val A = s 'a' Sub { } } "
                                L"NoRemove Volatile { Lasting { } } } }";
    SystemRegistry registry;
    EXPECT_EQ(RunRegistryScript(script, ReplacementMap(), ScriptMode::Register, root.get(), registry),
              HResultFromWin32(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_TRUE(KeyExists(root.get(), L"Software\\Volatile"));
    EXPECT_FALSE(KeyExists(root.get(), L"Software\\Volatile\\Lasting"));
    EXPECT_FALSE(KeyExists(root.get(), L"Software\\Made"));
}

TEST(RegistryScriptApplier, UnregisteringStopsAtTheFirstFailure)
{
    ScratchKey root;
    ASSERT_EQ(RunVerbScript(ScriptMode::Register, root.get()), S_OK);
    RefusingRegistry registry(RefusingRegistry::Operation::DeleteValue, L"MUIVerb");
    EXPECT_EQ(RunVerbScript(ScriptMode::Unregister, root.get(), registry), static_cast<HRESULT>(0x80070005));
    // The class key, DropTarget and Icon come before MUIVerb in the script; the rest is still there.
    const KeySnapshot verb = ReadKey(root.get(), VerbKeyPath);
    ASSERT_TRUE(verb.exists);
    EXPECT_TRUE(verb.subkeys.empty());
    EXPECT_EQ(verb.values.count(L"Icon"), 0u);
    EXPECT_FALSE(KeyExists(root.get(), ClassKeyPath));
    EXPECT_EQ(verb.values.count(L"MUIVerb"), 1u);
    EXPECT_EQ(verb.values.count(L"Position"), 1u);

    // Values already gone are no failure the next time.
    EXPECT_EQ(RunVerbScript(ScriptMode::Unregister, root.get()), S_OK);
    EXPECT_FALSE(KeyExists(root.get(), VerbKeyPath));
}

TEST(RegistryScriptApplier, ScriptsThatCannotBeReadChangeNothing)
{
    ScratchKey root;
    SystemRegistry registry;
    ReplacementMap replacements = ProgramReplacements(SamplePath);
    const struct {
        std::wstring text;
        HRESULT expected;
    } cases[] = {
        {L"HKCU { NoRemove Software { Made { } } val }", DISP_E_EXCEPTION},
        {L"HKCU { NoRemove Software { Made { } } } HKEY_LOCAL_MACHINE { Made { } }", DISP_E_EXCEPTION},
        {L"HKCR { Made { } }", DISP_E_EXCEPTION},
        {L"HKCU { NoRemove Software { Made = s '%Undefined%' } }", DISP_E_EXCEPTION},
        {L"HKCU { NoRemove Software { Made = s '%" + std::wstring(32, L'M') + L"%' } }", E_FAIL},
    };
    for (const auto& c : cases) {
        for (ScriptMode mode : {ScriptMode::Register, ScriptMode::Unregister}) {
            EXPECT_EQ(RunRegistryScript(c.text, replacements, mode, root.get(), registry), c.expected) << c.text;
            EXPECT_TRUE(ReadKey(root.get(), L"").subkeys.empty()) << c.text;
        }
    }
}

TEST(RegistryScriptApplier, KeysOfTheScriptKeepTheirDefaultValuesAndNamedValues)
{
    ScratchKey root;
    SystemRegistry registry;
    const std::wstring script =
        L"HKCU { NoRemove Software { Made = s 'top' { val '' = s 'replaced' val 'With Space' = s 'a b' "
        L"Inner = s '' { } } } }";
    ASSERT_EQ(RunRegistryScript(script, ReplacementMap(), ScriptMode::Register, root.get(), registry), S_OK);
    const KeySnapshot made = ReadKey(root.get(), L"Software\\Made");
    EXPECT_EQ(made.values, (std::map<std::wstring, std::wstring>{{L"", L"replaced"}, {L"With Space", L"a b"}}));
    EXPECT_EQ(made.subkeys, std::vector<std::wstring>{L"Inner"});
    EXPECT_EQ(ReadKey(root.get(), L"Software\\Made\\Inner").values, (std::map<std::wstring, std::wstring>{{L"", L""}}));

    ASSERT_EQ(RunRegistryScript(script, ReplacementMap(), ScriptMode::Unregister, root.get(), registry), S_OK);
    EXPECT_FALSE(KeyExists(root.get(), L"Software\\Made"));
    EXPECT_TRUE(KeyExists(root.get(), L"Software"));
}

} // namespace
