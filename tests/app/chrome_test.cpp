#include "app/Dialog.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    return text;
}

std::wstring ResourceString(UINT id)
{
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return std::wstring(text, static_cast<size_t>(length > 0 ? length : 0));
}

class ChromeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sheet.Create());
        hwnd = sheet.Window();
    }

    TempFolder folder;
    SheetDriver sheet{folder.MakeFile(L"c.txt")};
    HWND hwnd = nullptr;
};

TEST_F(ChromeTest, SheetHasATaskbarButtonIconsAndTheProductCaption)
{
    EXPECT_TRUE(::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(WindowText(hwnd), L"Nebbi's Timestamp Editor");
}

TEST_F(ChromeTest, SystemMenuStartsWithTheAboutEntryAndASeparator)
{
    HMENU menu = ::GetSystemMenu(hwnd, FALSE);
    ASSERT_TRUE(menu);
    EXPECT_EQ(::GetMenuItemID(menu, 0), static_cast<UINT>(IDM_ABOUT));
    EXPECT_EQ(MenuText(menu, 0), ResourceString(IDS_ABOUT));
    EXPECT_FALSE(MenuText(menu, 0).empty());
    MENUITEMINFOW separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(menu, 1, TRUE, &separator));
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
    EXPECT_EQ(::GetMenuItemID(menu, 2), static_cast<UINT>(SC_RESTORE));
}

TEST_F(ChromeTest, AboutCommandShowsNameVersionAndLegalNotice)
{
    MessageBoxCapture boxes;
    EXPECT_EQ(::SendMessageW(hwnd, WM_SYSCOMMAND, IDM_ABOUT, 0), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const CapturedMessageBox& box = boxes.Boxes()[0];
    EXPECT_EQ(box.caption, L"Nebbi's Timestamp Editor");
    const std::wstring expectedStart = L"Nebbi's Timestamp Editor 1.0.0\n";
    ASSERT_GE(box.text.size(), expectedStart.size());
    EXPECT_EQ(box.text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(box.text.find(L"Copyright"), std::wstring::npos);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_TRUE(::IsWindow(hwnd));
}

TEST_F(ChromeTest, KeyboardMessagesPassThroughTheSheetWhileItExists)
{
    MSG tab{};
    tab.hwnd = sheet.GeneralWindow();
    tab.message = WM_KEYDOWN;
    tab.wParam = VK_TAB;
    EXPECT_TRUE(sheet.Loop().PreTranslateMessage(&tab));

    ::DestroyWindow(hwnd);
    sheet.Pump();
    EXPECT_FALSE(sheet.Loop().PreTranslateMessage(&tab)); // the filter left with the window
}

} // namespace
