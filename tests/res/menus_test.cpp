#include "platform/Handles.h"
#include "res/resource.h"
#include "tests/res/ResourceData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct MenuEntry {
    UINT id; // 0 for a separator
    std::wstring text;
    bool operator==(const MenuEntry&) const = default;
};

void PrintTo(const MenuEntry& entry, std::ostream* os)
{
    *os << entry.id << " " << testing::PrintToString(entry.text);
}

// The entries of the first submenu of a menu resource in exactly the given language,
// as the platform builds the menu from it.
std::vector<MenuEntry> PopupEntries(int id, WORD language)
{
    const auto bytes = ResourceBytes(RT_MENU, id, language);
    if (bytes.empty()) {
        ADD_FAILURE() << "menu " << id << " missing in language " << language;
        return {};
    }
    MenuHandle menu(::LoadMenuIndirectW(bytes.data()));
    if (!menu) {
        ADD_FAILURE() << "menu " << id << " cannot be built";
        return {};
    }
    EXPECT_EQ(::GetMenuItemCount(menu.get()), 1) << "one popup";
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    std::vector<MenuEntry> entries;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        wchar_t text[128] = {};
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        EXPECT_TRUE(::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ(info.hSubMenu, nullptr);
        if (info.fType & MFT_SEPARATOR)
            entries.push_back({0, L""});
        else
            entries.push_back({info.wID, text});
    }
    return entries;
}

TEST(ContextMenus, DateValueMenuHasItsCommandsInBothLanguages)
{
    const std::vector<MenuEntry> english = {
        {IDM_COPY, L"&Copy"},
        {IDM_DELETE, L"&Delete"},
        {0, L""},
        {IDM_SET_CURRENT_DATE_TIME, L"Set c&urrent date and time"},
        {IDM_SET_MIDNIGHT, L"Set &time of day to midnight"},
        {IDM_SET_SECOND_TO_ZERO, L"Set &second to zero"},
        {IDM_SET_CREATION_TIME, L"Set c&reation time of this file"},
        {IDM_SET_MODIFICATION_TIME, L"Set &modification time of this file"},
        {IDM_SET_ACCESS_TIME, L"Set &access time of this file"},
    };
    const std::vector<MenuEntry> japanese = {
        {IDM_COPY, L"コピー(&C)"},
        {IDM_DELETE, L"削除(&D)"},
        {0, L""},
        {IDM_SET_CURRENT_DATE_TIME, L"現在の日付と時刻に変更する(&U)"},
        {IDM_SET_MIDNIGHT, L"時刻を午前零時に変更する(&T)"},
        {IDM_SET_SECOND_TO_ZERO, L"秒を切り捨てる(&S)"},
        {IDM_SET_CREATION_TIME, L"ファイルの作成日時に変更する(&R)"},
        {IDM_SET_MODIFICATION_TIME, L"ファイルの更新日時に変更する(&M)"},
        {IDM_SET_ACCESS_TIME, L"ファイルのアクセス日時に変更する(&A)"},
    };
    EXPECT_EQ(PopupEntries(IDR_DATE_MENU, EnglishLanguage), english);
    EXPECT_EQ(PopupEntries(IDR_DATE_MENU, JapaneseLanguage), japanese);
}

TEST(ContextMenus, DurationValueMenuHasItsCommandsInBothLanguages)
{
    const std::vector<MenuEntry> english = {
        {IDM_COPY, L"&Copy"},
        {IDM_DELETE, L"&Delete"},
        {0, L""},
        {IDM_RESET, L"&Reset"},
    };
    const std::vector<MenuEntry> japanese = {
        {IDM_COPY, L"コピー(&C)"},
        {IDM_DELETE, L"削除(&D)"},
        {0, L""},
        {IDM_RESET, L"リセット(&R)"},
    };
    EXPECT_EQ(PopupEntries(IDR_DURATION_MENU, EnglishLanguage), english);
    EXPECT_EQ(PopupEntries(IDR_DURATION_MENU, JapaneseLanguage), japanese);
}

} // namespace
