#include "res/resource.h"
#include "tests/res/ResourceData.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>

namespace {

// A string read from its string block in exactly the given language; none when the block
// or the entry is missing (an empty entry counts as missing, as LoadStringW sees it).
std::optional<std::wstring> StringInLanguage(UINT id, WORD language)
{
    ByteReader reader(ResourceBytes(RT_STRING, static_cast<int>(id / 16 + 1), language));
    for (UINT index = 0; index < 16; ++index) {
        const auto length = reader.Read<WORD>();
        const auto chars = reader.ReadBytes(length * sizeof(wchar_t));
        if (!reader.ok())
            return std::nullopt;
        if (index == id % 16) {
            if (length == 0)
                return std::nullopt;
            return std::wstring(reinterpret_cast<const wchar_t*>(chars.data()), length);
        }
    }
    return std::nullopt;
}

struct ExpectedString {
    UINT id;
    const wchar_t* english;
    const wchar_t* japanese;
};

const ExpectedString Strings[] = {
    {IDS_PRODUCT_NAME, L"Nebbi's Timestamp Editor", L"Nebbi's Timestamp Editor"},
    {IDS_VERB, L"Timestamp", L"タイムスタンプの変更"},
    {IDS_ABOUT, L"&About Nebbi's Timestamp Editor", L"バージョン情報(&A)"},
    {IDS_METADATA_GROUP, L"Metadata", L"メタ情報"},
    {IDS_PROPERTY, L"Property", L"プロパティ"},
    {IDS_VALUE, L"Value", L"値"},
    {IDS_USE_TIMESTAMP_OF, L"Use Timestamp Of", L"タイムスタンプの参照"},
    {IDS_SELECT_FOLDER, L"Select &Folder", L"フォルダーの選択(&F)"},
    {IDS_PROGRESS_FOLDER, L"Changing the timestamps of the items in %1", L"%1 内のタイムスタンプを変更しています"},
    {IDS_PROGRESS_COUNTS, L"%1, %2", L"%1、%2"},
    {IDS_PROGRESS_ONE_FILE, L"%1 file", L"ファイル %1 個"},
    {IDS_PROGRESS_FILES, L"%1 files", L"ファイル %1 個"},
    {IDS_PROGRESS_ONE_FOLDER, L"%1 folder", L"フォルダー %1 個"},
    {IDS_PROGRESS_FOLDERS, L"%1 folders", L"フォルダー %1 個"},
    {IDS_NOT_ON_DRIVE, L"\"%1\" is not a file or folder on a drive, so its times cannot be changed.",
     L"「%1」はドライブ上のファイルやフォルダーではないため、タイムスタンプを変更できません。"},
    {IDS_SELECTION_UNREADABLE, L"The selection could not be read.", L"選択された項目を読み取れませんでした。"},
    {IDS_PROGRESS_SELECTION, L"Changing the timestamps of the %1 selected items",
     L"選択した %1 個の項目のタイムスタンプを変更しています"},
    {IDS_MULTIPLE_TYPES, L"Multiple types", L"複数の種類"},
    {IDS_ALL_IN, L"All in %1", L"すべて %1 内"},
    {IDS_VARIOUS_FOLDERS, L"Various folders", L"複数のフォルダー"},
    {IDS_SELECTED_FOLDERS, L"The %1 selected folders", L"選択した %1 個のフォルダー"},
    {IDS_LOOP_SKIPPED, L"1 folder was skipped: it leads back to %2, a folder above it.\n%1",
     L"1 個のフォルダーをスキップしました。上位のフォルダー %2 に戻るリンクです。\n%1"},
    {IDS_LOOPS_SKIPPED,
     L"%3 folders were skipped: each leads back to a folder above it. The first leads back to %2.\n%1",
     L"%3 個のフォルダーをスキップしました。どれも上位のフォルダーに戻るリンクです。最初のものは %2 に戻ります。\n%1"},
    {IDS_PREVIEW_SUMMARY, L"%1 (%2, %3); %4", L"%1(%2、%3)。%4"},
    {IDS_PREVIEW_ONE_ITEM, L"1 item will change", L"1 個の項目が変更されます"},
    {IDS_PREVIEW_ITEMS, L"%1 items will change", L"%1 個の項目が変更されます"},
    {IDS_PREVIEW_ONE_STAYS, L"1 stays as it is", L"1 個はそのままです"},
    {IDS_PREVIEW_STAY, L"%1 stay as they are", L"%1 個はそのままです"},
    {IDS_PREVIEW_STOPPED, L"The preview was stopped.", L"プレビューは中止されました。"},
    {IDS_PREVIEW_FAILED, L"The apply would stop here: %1", L"適用はここで止まります: %1"},
    {IDS_PREVIEW_CHANGE, L"%1 → %2", L"%1 → %2"},
    {IDS_PREVIEW_NEW_ITEM, L"(new)", L"(新規)"},
    {IDS_PREVIEW_NAME, L"Name", L"名前"},
    {IDS_PREVIEW_FOLDER, L"Folder", L"フォルダー"},
    {IDS_PREVIEW_CREATED, L"Created", L"作成日時"},
    {IDS_PREVIEW_MODIFIED, L"Modified", L"更新日時"},
    {IDS_PREVIEW_ACCESSED, L"Accessed", L"アクセス日時"},
    {IDS_PREVIEW_PROGRESS_FOLDER, L"Finding the items that would change in %1", L"%1 内で変更される項目を調べています"},
    {IDS_PREVIEW_PROGRESS_SELECTION, L"Finding which of the %1 selected items would change",
     L"選択した %1 個の項目のうち変更されるものを調べています"},
    {IDS_UNDO_CONFIRM_ONE, L"Restore the times of the 1 item that the last apply changed?",
     L"前回の適用で変更した 1 個の項目のタイムスタンプを元に戻しますか?"},
    {IDS_UNDO_CONFIRM, L"Restore the times of the %1 items that the last apply changed?",
     L"前回の適用で変更した %1 個の項目のタイムスタンプを元に戻しますか?"},
    {IDS_UNDO_PROGRESS, L"Restoring the times of %1 items", L"%1 個の項目のタイムスタンプを元に戻しています"},
    {IDS_UNDO_LEFT_ALONE_ONE, L"1 item was left as it is: its times changed again after the apply.\n%1",
     L"1 個の項目はそのままにしました。適用の後でタイムスタンプが再び変更されています。\n%1"},
    {IDS_UNDO_LEFT_ALONE,
     L"%2 items were left as they are: their times changed again after the apply. The first of them:\n%1",
     L"%2 個の項目はそのままにしました。適用の後でタイムスタンプが再び変更されています。最初の項目:\n%1"},
    {IDS_NO_DATE_TAKEN_ONE, L"1 file kept its times: it holds no date taken that could be read.\n%1",
     L"1 個のファイルは撮影日時を読み取れなかったため、タイムスタンプを変更しませんでした。\n%1"},
    {IDS_NO_DATE_TAKEN,
     L"%2 files kept their times: they hold no date taken that could be read. The first of them:\n%1",
     L"%2 個のファイルは撮影日時を読み取れなかったため、タイムスタンプを変更しませんでした。最初のファイル:\n%1"},
    {IDS_PREVIEW_NO_DATE_TAKEN, L"no date taken", L"撮影日時なし"},
};

TEST(StringTable, EveryStringExistsInBothLanguages)
{
    for (const auto& expected : Strings) {
        SCOPED_TRACE(expected.id);
        EXPECT_EQ(StringInLanguage(expected.id, EnglishLanguage).value_or(L"(missing)"), expected.english);
        EXPECT_EQ(StringInLanguage(expected.id, JapaneseLanguage).value_or(L"(missing)"), expected.japanese);
        EXPECT_EQ(AccessKey(expected.japanese), AccessKey(expected.english));
    }
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::set<WORD>*>(param)->insert(language);
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param)
{
    auto& languagesByName = *reinterpret_cast<std::map<std::wstring, std::set<WORD>>*>(param);
    const std::wstring key = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(name)) : name;
    ::EnumResourceLanguagesW(module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languagesByName[key]));
    return TRUE;
}

TEST(ResourceLanguages, StringsPagesCombosAndMenusExistInEnglishAndJapaneseAlone)
{
    // Every string block, page template, combo list and menu exists in both languages, and in no other,
    // so the platform's choice by UI language always finds a complete set.
    for (LPCWSTR type : {RT_STRING, RT_DIALOG, RT_MENU, MAKEINTRESOURCEW(RT_DLGINIT_ID)}) {
        std::map<std::wstring, std::set<WORD>> languagesByName;
        ASSERT_TRUE(::EnumResourceNamesW(::GetModuleHandleW(nullptr), type, CollectName,
                                         reinterpret_cast<LONG_PTR>(&languagesByName)));
        EXPECT_FALSE(languagesByName.empty());
        for (const auto& [name, languages] : languagesByName)
            EXPECT_EQ(languages, (std::set<WORD>{EnglishLanguage, JapaneseLanguage}))
                << "type " << reinterpret_cast<uintptr_t>(type) << " name " << testing::PrintToString(name);
    }
}

BOOL CALLBACK CollectStringBlock(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<UINT>*>(param)->insert(static_cast<UINT>(reinterpret_cast<uintptr_t>(name)));
    return TRUE;
}

std::set<UINT> StringIds(WORD language)
{
    std::set<UINT> blocks;
    ::EnumResourceNamesW(::GetModuleHandleW(nullptr), RT_STRING, CollectStringBlock,
                         reinterpret_cast<LONG_PTR>(&blocks));
    std::set<UINT> ids;
    for (UINT block : blocks) {
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            if (StringInLanguage(id, language))
                ids.insert(id);
        }
    }
    return ids;
}

TEST(StringTable, BothLanguagesDefineTheSameStrings)
{
    std::set<UINT> expected;
    for (const auto& string : Strings)
        expected.insert(string.id);
    EXPECT_EQ(StringIds(EnglishLanguage), expected);
    EXPECT_EQ(StringIds(JapaneseLanguage), expected);
}

TEST(StringTable, LoadStringFollowsTheUserInterfaceLanguage)
{
    // The tests run once with an English and once with a Japanese user interface.
    const bool japanese = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE;
    wchar_t text[256] = {};
    ASSERT_GT(::LoadStringW(::GetModuleHandleW(nullptr), IDS_VERB, text, static_cast<int>(std::size(text))), 0);
    EXPECT_STREQ(text, japanese ? L"タイムスタンプの変更" : L"Timestamp");
}

} // namespace
