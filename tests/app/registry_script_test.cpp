#include "app/RegistryScript.h"
#include "app/VerbClass.h"

#include "VerbScript.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ReplacementMap SampleMap()
{
    ReplacementMap map;
    map[L"Module"] = L"\"C:\\Tools\\it''s\\chronset64.exe\"";
    map[L"Module_Raw"] = L"C:\\Tools\\it''s\\chronset64.exe";
    map[L"APPID"] = L"";
    return map;
}

TEST(ExpandReplacements, ReplacesNamesInAnyCaseAndPercentPairs)
{
    std::wstring out;
    ASSERT_EQ(ExpandReplacements(L"a %module% b %MODULE_RAW%%appid%c", SampleMap(), out), S_OK);
    EXPECT_EQ(out, L"a \"C:\\Tools\\it''s\\chronset64.exe\" b C:\\Tools\\it''s\\chronset64.exec");
    ASSERT_EQ(ExpandReplacements(L"'%Module% \"%%1\"' 100%% %%%APPID%%%", SampleMap(), out), S_OK);
    EXPECT_EQ(out, L"'\"C:\\Tools\\it''s\\chronset64.exe\" \"%1\"' 100% %%");
    ASSERT_EQ(ExpandReplacements(L"", SampleMap(), out), S_OK);
    EXPECT_EQ(out, L"");
}

TEST(ExpandReplacements, RejectsUnknownOverLongAndUnclosedNames)
{
    ReplacementMap map = SampleMap();
    const std::wstring name31(31, L'x');
    const std::wstring name32(32, L'x');
    map[name32] = L"never used";
    std::wstring out = L"untouched";
    EXPECT_EQ(ExpandReplacements(L"%Modules%", map, out), DISP_E_EXCEPTION);
    EXPECT_EQ(ExpandReplacements(L"%" + name31 + L"%", map, out), DISP_E_EXCEPTION);
    EXPECT_EQ(ExpandReplacements(L"%" + name32 + L"%", map, out), E_FAIL);
    EXPECT_EQ(ExpandReplacements(L"ok %Module", map, out), DISP_E_EXCEPTION);
    EXPECT_EQ(out, L"untouched");

    map[name31] = L"31";
    ASSERT_EQ(ExpandReplacements(L"%" + name31 + L"%", map, out), S_OK);
    EXPECT_EQ(out, L"31");
}

// A NoRemove key without data, the one child of its parent with that name.
const RegistryScriptEntry& NoRemoveKey(const std::vector<RegistryScriptEntry>& level, const wchar_t* name)
{
    for (const RegistryScriptEntry& key : level) {
        if (key.name == name) {
            EXPECT_FALSE(key.isValue) << name;
            EXPECT_EQ(key.removal, KeyRemoval::NoRemove) << name;
            EXPECT_FALSE(key.hasData) << name;
            return key;
        }
    }
    ADD_FAILURE() << "no key " << name;
    static const RegistryScriptEntry none;
    return none;
}

TEST(ParseRegistryScript, ReadsTheVerbScriptIntoItsTree)
{
    std::wstring expanded;
    ASSERT_EQ(ExpandReplacements(VerbScriptText, SampleMap(), expanded), S_OK);
    RegistryScript script;
    ASSERT_EQ(ParseRegistryScript(expanded, script), S_OK);

    ASSERT_EQ(script.size(), 1u);
    EXPECT_EQ(script[0].name, L"HKEY_CURRENT_USER");
    ASSERT_EQ(script[0].children.size(), 1u);
    const RegistryScriptEntry& classes = NoRemoveKey(NoRemoveKey(script[0].children, L"Software").children, L"Classes");
    ASSERT_EQ(classes.children.size(), 2u);

    // The class key: its name in braces, the product name, and the program as local server.
    const RegistryScriptEntry& clsid = NoRemoveKey(classes.children, L"CLSID");
    ASSERT_EQ(clsid.children.size(), 1u);
    const RegistryScriptEntry& verbClass = clsid.children[0];
    EXPECT_FALSE(verbClass.isValue);
    EXPECT_EQ(verbClass.name, VerbClassIdText);
    EXPECT_EQ(verbClass.removal, KeyRemoval::ForceRemove);
    EXPECT_TRUE(verbClass.hasData);
    EXPECT_EQ(verbClass.data, L"Nebbi's Timestamp Editor");
    ASSERT_EQ(verbClass.children.size(), 1u);
    EXPECT_EQ(verbClass.children[0].name, L"LocalServer32");
    EXPECT_FALSE(verbClass.children[0].isValue);
    EXPECT_EQ(verbClass.children[0].data, L"\"C:\\Tools\\it's\\chronset64.exe\"");
    EXPECT_TRUE(verbClass.children[0].children.empty());

    const RegistryScriptEntry& shell =
        NoRemoveKey(NoRemoveKey(classes.children, L"AllFilesystemObjects").children, L"shell");
    ASSERT_EQ(shell.children.size(), 1u);
    const RegistryScriptEntry& verb = shell.children[0];
    EXPECT_EQ(verb.name, L"chronset");
    EXPECT_EQ(verb.removal, KeyRemoval::ForceRemove);
    EXPECT_FALSE(verb.hasData);
    ASSERT_EQ(verb.children.size(), 5u);

    const RegistryScriptEntry& dropTarget = verb.children[0];
    EXPECT_FALSE(dropTarget.isValue);
    EXPECT_EQ(dropTarget.name, L"DropTarget");
    EXPECT_EQ(dropTarget.removal, KeyRemoval::Normal);
    EXPECT_FALSE(dropTarget.hasData);
    ASSERT_EQ(dropTarget.children.size(), 1u);
    EXPECT_TRUE(dropTarget.children[0].isValue);
    EXPECT_EQ(dropTarget.children[0].name, L"Clsid");
    EXPECT_EQ(dropTarget.children[0].data, VerbClassIdText);

    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {L"Icon", L"\"C:\\Tools\\it's\\chronset64.exe\""},
        {L"MUIVerb", L"@\"C:\\Tools\\it's\\chronset64.exe\",-256"},
        {L"MultiSelectModel", L"Player"},
        {L"Position", L"Bottom"},
    };
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const RegistryScriptEntry& value = verb.children[i + 1];
        EXPECT_TRUE(value.isValue) << i;
        EXPECT_EQ(value.name, values[i].first);
        EXPECT_TRUE(value.hasData);
        EXPECT_EQ(value.data, values[i].second);
    }
}

TEST(ParseRegistryScript, TakesBracedNamesQuotedOrNotAndKeepsLoneBracesAsBlocks)
{
    RegistryScript script;
    ASSERT_EQ(ParseRegistryScript(L"HKCU { {3D452E27-4C32-4BFD-90B0-810254A3030D} = s 'a' { x } "
                                  L"'{B}' { } val {C} = s '{D}' }",
                                  script),
              S_OK);
    ASSERT_EQ(script.size(), 1u);
    const auto& entries = script[0].children;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, L"{3D452E27-4C32-4BFD-90B0-810254A3030D}");
    EXPECT_EQ(entries[0].data, L"a");
    ASSERT_EQ(entries[0].children.size(), 1u);
    EXPECT_EQ(entries[0].children[0].name, L"x");
    EXPECT_EQ(entries[1].name, L"{B}");
    EXPECT_TRUE(entries[1].children.empty());
    EXPECT_TRUE(entries[2].isValue);
    EXPECT_EQ(entries[2].name, L"{C}");
    EXPECT_EQ(entries[2].data, L"{D}");

    // A brace glued to a name is part of the name, so the block is never closed.
    EXPECT_EQ(ParseRegistryScript(L"HKCU { K {x}", script), DISP_E_EXCEPTION);
}

TEST(ParseRegistryScript, HandlesQuotedNamesKeywordCaseAndDenseLayout)
{
    RegistryScript script;
    ASSERT_EQ(ParseRegistryScript(L"HKCU {\n'key with spaces'='it''s' {} forceremove 'F' {\tVAL '' = S 'x'\n"
                                  L"'val' = s ''''}\r\nnoremove N }",
                                  script),
              DISP_E_EXCEPTION)
        << "'=' glued to its neighbours is not a token of its own";

    ASSERT_EQ(ParseRegistryScript(L"HKCU {\n'key with spaces' = s 'it''s' { } forceremove 'F' {\tVAL '' = S 'x'\n"
                                  L"'val' = s '''' }\r\nnoremove N\n}\nHKEY_CURRENT_USER { }",
                                  script),
              S_OK);
    ASSERT_EQ(script.size(), 2u);
    EXPECT_EQ(script[0].name, L"HKCU");
    EXPECT_TRUE(script[1].children.empty());
    const auto& keys = script[0].children;
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].name, L"key with spaces");
    EXPECT_EQ(keys[0].data, L"it's");
    EXPECT_TRUE(keys[0].children.empty());
    EXPECT_EQ(keys[1].name, L"F");
    EXPECT_EQ(keys[1].removal, KeyRemoval::ForceRemove);
    ASSERT_EQ(keys[1].children.size(), 2u);
    EXPECT_TRUE(keys[1].children[0].isValue);
    EXPECT_EQ(keys[1].children[0].name, L"");
    EXPECT_EQ(keys[1].children[0].data, L"x");
    // A quoted 'val' is a key name, not the keyword.
    EXPECT_FALSE(keys[1].children[1].isValue);
    EXPECT_EQ(keys[1].children[1].name, L"val");
    EXPECT_EQ(keys[1].children[1].data, L"'");
    EXPECT_EQ(keys[2].name, L"N");
    EXPECT_EQ(keys[2].removal, KeyRemoval::NoRemove);
    EXPECT_FALSE(keys[2].hasData);

    ASSERT_EQ(ParseRegistryScript(L" \r\n\t", script), S_OK);
    EXPECT_TRUE(script.empty());
}

TEST(ParseRegistryScript, RejectsMalformedScripts)
{
    const wchar_t* malformed[] = {
        L"HKCU",                         // root without block
        L"HKCU { Software",              // unclosed block
        L"HKCU { Software { }",          // unclosed outer block
        L"HKCU { } }",                   // stray closing brace
        L"{ }",                          // no root name
        L"HKCU { val }",                 // value without name
        L"HKCU { val V }",               // value without data
        L"HKCU { val V = s }",           // data missing
        L"HKCU { val V = s unquoted }",  // data not quoted
        L"HKCU { val V = d '1' }",       // type this reader does not know
        L"HKCU { val V s 'x' }",         // no equals sign
        L"HKCU { val V = 's' 'x' }",     // quoted type letter
        L"HKCU { K = 'x' }",             // key data without type
        L"HKCU { K = s 'unterminated }", // unterminated quote
        L"HKCU { NoRemove }",            // keyword without key
        L"HKCU { NoRemove { } }",        // keyword before a block
        L"HKCU { '' { } }",              // empty key name
        L"HKCU { ForceRemove '' }",      // empty key name to force-remove
        L"HKCU { 'a\\b' { } }",          // more than one key in a name
        L"HKCU { Delete K }",            // keyword not supported
        L"HKCU { = }",                   // equals sign as a name
    };
    for (const wchar_t* text : malformed) {
        RegistryScript script;
        EXPECT_EQ(ParseRegistryScript(text, script), DISP_E_EXCEPTION) << text;
        EXPECT_TRUE(script.empty()) << text;
    }
}

TEST(ParseRegistryScript, RejectsNestingDeeperThanTheRegistryAllows)
{
    const auto nested = [](int depth) {
        std::wstring text = L"HKCU {";
        for (int i = 0; i < depth; ++i)
            text += L" K {";
        for (int i = 0; i <= depth; ++i)
            text += L" }";
        return text;
    };
    RegistryScript script;
    EXPECT_EQ(ParseRegistryScript(nested(100), script), S_OK);
    EXPECT_EQ(ParseRegistryScript(nested(600), script), DISP_E_EXCEPTION);
}

} // namespace
