#include "app/RegistryScript.h"

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

TEST(ParseRegistryScript, ReadsTheVerbScriptIntoItsTree)
{
    std::wstring expanded;
    ASSERT_EQ(ExpandReplacements(VerbScriptText, SampleMap(), expanded), S_OK);
    RegistryScript script;
    ASSERT_EQ(ParseRegistryScript(expanded, script), S_OK);

    ASSERT_EQ(script.size(), 1u);
    EXPECT_EQ(script[0].name, L"HKEY_CURRENT_USER");
    const std::vector<RegistryScriptEntry>* level = &script[0].children;
    for (const wchar_t* name : {L"Software", L"Classes", L"AllFilesystemObjects", L"shell"}) {
        ASSERT_EQ(level->size(), 1u) << name;
        const RegistryScriptEntry& key = level->front();
        EXPECT_FALSE(key.isValue);
        EXPECT_EQ(key.name, name);
        EXPECT_EQ(key.removal, KeyRemoval::NoRemove);
        EXPECT_FALSE(key.hasData);
        level = &key.children;
    }
    ASSERT_EQ(level->size(), 1u);
    const RegistryScriptEntry& verb = level->front();
    EXPECT_EQ(verb.name, L"chronset");
    EXPECT_EQ(verb.removal, KeyRemoval::ForceRemove);
    EXPECT_FALSE(verb.hasData);
    ASSERT_EQ(verb.children.size(), 6u);

    const RegistryScriptEntry& command = verb.children[0];
    EXPECT_FALSE(command.isValue);
    EXPECT_EQ(command.name, L"command");
    EXPECT_EQ(command.removal, KeyRemoval::Normal);
    EXPECT_TRUE(command.hasData);
    EXPECT_EQ(command.data, L"\"C:\\Tools\\it's\\chronset64.exe\" \"%1\"");
    EXPECT_TRUE(command.children.empty());

    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {L"Icon", L"\"C:\\Tools\\it's\\chronset64.exe\""},
        {L"MUIVerb", L"@\"C:\\Tools\\it's\\chronset64.exe\",-256"},
        {L"MultiSelectModel", L"Single"},
        {L"NoWorkingDirectory", L""},
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
