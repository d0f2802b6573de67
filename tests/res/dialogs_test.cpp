#include "res/resource.h"
#include "tests/res/DialogTemplate.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace {

struct ExpectedControl {
    int id;
    const wchar_t* className;
    DWORD style;
    short x, y, cx, cy;
    const wchar_t* text;
};

// The English page templates control by control, in tab order. Each row's span box follows its
// picker, in the same place, hidden until the row's operation is the shift.
const std::vector<ExpectedControl> GeneralControls = {
    {IDC_ITEM_ICON, L"STATIC", 0x50000003, 7, 7, 20, 20, L""},
    {IDC_DISPLAY_NAME, L"EDIT", 0x50000880, 36, 12, 184, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50000010, 7, 32, 213, 1, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 40, 54, 8, L"Type:"},
    {IDC_TYPE_NAME, L"EDIT", 0x50000880, 64, 40, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 58, 54, 8, L"Location:"},
    {IDC_LOCATION, L"EDIT", 0x50000880, 64, 58, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50000010, 7, 72, 213, 1, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 81, 54, 8, L"&Created:"},
    {IDC_CREATED_OPERATION, L"COMBOBOX", 0x50210003, 64, 78, 156, 112, L""},
    {IDC_CREATED_VALUE, L"SysDateTimePick32", 0x5001003C, 64, 94, 156, 14, L""},
    {IDC_CREATED_SPAN, L"EDIT", 0x40810080, 64, 94, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 115, 54, 8, L"&Modified:"},
    {IDC_MODIFIED_OPERATION, L"COMBOBOX", 0x50210003, 64, 112, 156, 112, L""},
    {IDC_MODIFIED_VALUE, L"SysDateTimePick32", 0x5001003C, 64, 128, 156, 14, L""},
    {IDC_MODIFIED_SPAN, L"EDIT", 0x40810080, 64, 128, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 149, 54, 8, L"Acce&ssed:"},
    {IDC_ACCESSED_OPERATION, L"COMBOBOX", 0x50210003, 64, 146, 156, 112, L""},
    {IDC_ACCESSED_VALUE, L"SysDateTimePick32", 0x5001003C, 64, 162, 156, 14, L""},
    {IDC_ACCESSED_SPAN, L"EDIT", 0x40810080, 64, 162, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50000010, 7, 184, 213, 1, L""},
    {IDC_CURRENT_DATE_TIME, L"BUTTON", 0x50010000, 7, 190, 100, 14, L"Current &Date and Time"},
    {IDC_BROWSE, L"BUTTON", 0x50010000, 111, 190, 52, 14, L"&Browse..."},
    {IDC_UNDO, L"BUTTON", 0x58010000, 167, 190, 53, 14, L"&Undo"},
    {IDC_RECURSIVE, L"BUTTON", 0x50010003, 7, 214, 213, 10, L"Also apply this change to all subfolders &recursively"},
    {IDC_EXCLUDE_SYSTEM, L"BUTTON", 0x40010003, 7, 228, 0, 10, L"&Exclude system files and folders"},
    {IDC_EXCLUDE_HIDDEN, L"BUTTON", 0x50010003, 7, 228, 213, 10, L"Exclude &hidden files and folders"},
};

const std::vector<ExpectedControl> AdvancedControls = {
    {IDC_ITEM_ICON, L"STATIC", 0x50000003, 7, 7, 20, 20, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 36, 12, 184, 14, L"Files in the folder"},
    {IDC_STATIC, L"STATIC", 0x50000010, 7, 32, 213, 1, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 40, 54, 8, L"&File names:"},
    {IDC_NAME_PATTERNS, L"EDIT", 0x50810080, 64, 38, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 58, 54, 8, L"Location:"},
    {IDC_LOCATION, L"EDIT", 0x50000880, 64, 58, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50000010, 7, 72, 213, 1, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 81, 54, 8, L"&Created:"},
    {IDC_CREATED_OPERATION, L"COMBOBOX", 0x50210003, 64, 78, 156, 112, L""},
    {IDC_CREATED_VALUE, L"SysDateTimePick32", 0x5001003C, 64, 94, 156, 14, L""},
    {IDC_CREATED_SPAN, L"EDIT", 0x40810080, 64, 94, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 115, 54, 8, L"&Modified:"},
    {IDC_MODIFIED_OPERATION, L"COMBOBOX", 0x50210003, 64, 112, 156, 112, L""},
    {IDC_MODIFIED_VALUE, L"SysDateTimePick32", 0x5001003C, 64, 128, 156, 14, L""},
    {IDC_MODIFIED_SPAN, L"EDIT", 0x40810080, 64, 128, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 149, 54, 8, L"Acce&ssed:"},
    {IDC_ACCESSED_OPERATION, L"COMBOBOX", 0x50210003, 64, 146, 156, 112, L""},
    {IDC_ACCESSED_VALUE, L"SysDateTimePick32", 0x5001003C, 64, 162, 156, 14, L""},
    {IDC_ACCESSED_SPAN, L"EDIT", 0x40810080, 64, 162, 156, 14, L""},
    {IDC_STATIC, L"STATIC", 0x50000010, 7, 184, 213, 1, L""},
    {IDC_CURRENT_DATE_TIME, L"BUTTON", 0x50010000, 64, 190, 102, 14, L"Current &Date and Time"},
    {IDC_BROWSE, L"BUTTON", 0x50010000, 170, 190, 50, 14, L"&Browse..."},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 214, 213, 30,
     L"You can use multiple file names. Separate file names with semicolons. If no file names are used, all files "
     L"are applied.\nYou can use wildcard characters in file names."},
};

const std::vector<ExpectedControl> MetadataControls = {
    {IDC_METADATA_LIST, L"SysListView32", 0x5281880D, 7, 7, 212, 220, L""},
    {IDC_STATIC, L"STATIC", 0x50020000, 7, 234, 212, 11, L""},
    {IDC_DATE_EDITOR, L"SysDateTimePick32", 0x4000003C, 0, 0, 0, 0, L""},
    {IDC_DURATION_EDITOR, L"EDIT", 0x40800080, 0, 0, 0, 0, L""},
};

const std::vector<ExpectedControl> PreviewControls = {
    {IDC_PREVIEW_SUMMARY, L"STATIC", 0x50020000, 7, 7, 213, 18, L""},
    {IDC_PREVIEW_LIST, L"SysListView32", 0x5081100D, 7, 28, 213, 216, L""},
};

struct PageCase {
    int id;
    const wchar_t* englishTitle;
    const wchar_t* japaneseTitle;
    const std::vector<ExpectedControl>* controls;
};

const PageCase Pages[] = {
    {IDD_GENERAL, L"General", L"全般", &GeneralControls},
    {IDD_ADVANCED, L"Advanced", L"詳細", &AdvancedControls},
    {IDD_METADATA, L"Advanced", L"詳細", &MetadataControls},
    {IDD_PREVIEW, L"Preview", L"プレビュー", &PreviewControls},
};

DialogTemplate LoadTemplate(int id, WORD language)
{
    auto parsed = ParseDialogTemplate(ResourceBytes(RT_DIALOG, id, language));
    EXPECT_TRUE(parsed.has_value()) << "dialog " << id << " language " << language;
    return parsed.value_or(DialogTemplate{});
}

TEST(PageTemplates, EnglishTemplatesHaveTheirFrameFontAndEveryControl)
{
    for (const auto& page : Pages) {
        SCOPED_TRACE(page.id);
        const auto dialog = LoadTemplate(page.id, EnglishLanguage);
        // The resource compiler adds WS_CHILD | WS_VISIBLE by default; the styles must come out exact.
        EXPECT_EQ(dialog.style, 0x80C001C8u);
        EXPECT_EQ(dialog.exStyle, 0u);
        EXPECT_EQ(dialog.cx, 227);
        EXPECT_EQ(dialog.cy, 251);
        EXPECT_EQ(dialog.title, page.englishTitle);
        EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
        EXPECT_EQ(dialog.pointSize, 8);
        EXPECT_EQ(dialog.weight, 0);
        EXPECT_EQ(dialog.italic, 0);
        EXPECT_EQ(dialog.charset, DEFAULT_CHARSET);

        ASSERT_EQ(dialog.items.size(), page.controls->size());
        for (size_t i = 0; i < dialog.items.size(); ++i) {
            const auto& actual = dialog.items[i];
            const auto& expected = (*page.controls)[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " id " << expected.id);
            EXPECT_EQ(static_cast<int>(actual.id), expected.id);
            EXPECT_TRUE(SameClassName(actual.className, expected.className))
                << testing::PrintToString(actual.className);
            EXPECT_EQ(actual.style, expected.style) << std::hex << actual.style;
            EXPECT_EQ(actual.exStyle, 0u);
            EXPECT_EQ(actual.x, expected.x);
            EXPECT_EQ(actual.y, expected.y);
            EXPECT_EQ(actual.cx, expected.cx);
            EXPECT_EQ(actual.cy, expected.cy);
            EXPECT_EQ(actual.text, expected.text);
        }
    }
}

TEST(PageTemplates, JapaneseTemplatesMatchTheEnglishLayoutWithTranslatedTexts)
{
    for (const auto& page : Pages) {
        SCOPED_TRACE(page.id);
        const auto english = LoadTemplate(page.id, EnglishLanguage);
        const auto japanese = LoadTemplate(page.id, JapaneseLanguage);
        EXPECT_EQ(japanese.style, 0x80C001C0u); // without DS_FIXEDSYS
        EXPECT_EQ(japanese.cx, english.cx);
        EXPECT_EQ(japanese.cy, english.cy);
        EXPECT_EQ(japanese.title, page.japaneseTitle);
        EXPECT_EQ(japanese.typeface, L"MS UI Gothic");
        EXPECT_EQ(japanese.pointSize, 9);
        EXPECT_EQ(japanese.weight, 0);
        EXPECT_EQ(japanese.italic, 0);
        EXPECT_EQ(japanese.charset, SHIFTJIS_CHARSET);

        ASSERT_EQ(japanese.items.size(), english.items.size());
        for (size_t i = 0; i < english.items.size(); ++i) {
            const auto& en = english.items[i];
            const auto& ja = japanese.items[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " id " << static_cast<int>(en.id));
            EXPECT_EQ(ja.id, en.id);
            EXPECT_TRUE(SameClassName(ja.className, en.className));
            EXPECT_EQ(ja.style, en.style);
            EXPECT_EQ(ja.exStyle, en.exStyle);
            EXPECT_EQ(ja.x, en.x);
            EXPECT_EQ(ja.y, en.y);
            EXPECT_EQ(ja.cx, en.cx);
            EXPECT_EQ(ja.cy, en.cy);
            EXPECT_EQ(ja.text.empty(), en.text.empty());
            if (!en.text.empty()) {
                EXPECT_NE(ja.text, en.text) << "left untranslated";
            }
            // Japanese texts keep the English access key, written as "(&X)".
            EXPECT_EQ(AccessKey(ja.text), AccessKey(en.text));
        }
    }
}

TEST(PageTemplates, AccessKeysAreUniqueWithinEachPage)
{
    for (const auto& page : Pages) {
        for (WORD language : {EnglishLanguage, JapaneseLanguage}) {
            SCOPED_TRACE(testing::Message() << page.id << " language " << language);
            std::set<wchar_t> keys;
            for (const auto& item : LoadTemplate(page.id, language).items) {
                if (const wchar_t key = AccessKey(item.text)) {
                    EXPECT_TRUE(keys.insert(key).second) << "access key used twice: " << static_cast<int>(key);
                }
            }
        }
    }
}

struct CreatedControl {
    std::wstring className;
    bool visible = false;
};

struct CreatedDialog {
    std::map<int, CreatedControl> controls;
};

INT_PTR CALLBACK RecordControlsDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* created = reinterpret_cast<CreatedDialog*>(lParam);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        ::GetClassNameW(child, className, static_cast<int>(std::size(className)));
        const bool visible = (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
        created->controls[::GetDlgCtrlID(child)] = CreatedControl{className, visible};
    }
    // Ending the dialog during WM_INITDIALOG means it is never shown.
    ::EndDialog(dialog, 1);
    return TRUE;
}

TEST(PageTemplates, EveryTemplateCreatesItsControlsWithTheirVisibility)
{
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&classes));
    for (const auto& page : Pages) {
        for (WORD language : {EnglishLanguage, JapaneseLanguage}) {
            SCOPED_TRACE(testing::Message() << page.id << " language " << language);
            const auto bytes = ResourceBytes(RT_DIALOG, page.id, language);
            ASSERT_FALSE(bytes.empty());
            CreatedDialog created;
            const INT_PTR result = ::DialogBoxIndirectParamW(
                ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes.data()), nullptr,
                RecordControlsDialogProc, reinterpret_cast<LPARAM>(&created));
            ASSERT_EQ(result, 1) << ::GetLastError();
            for (const auto& expected : *page.controls) {
                if (expected.id == IDC_STATIC)
                    continue;
                SCOPED_TRACE(expected.id);
                const auto found = created.controls.find(expected.id);
                ASSERT_NE(found, created.controls.end());
                EXPECT_TRUE(SameClassName(found->second.className, expected.className));
                EXPECT_EQ(found->second.visible, (expected.style & WS_VISIBLE) != 0);
            }
        }
    }
}

} // namespace
