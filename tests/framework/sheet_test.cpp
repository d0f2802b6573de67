#include "framework/PropertyPage.h"
#include "framework/PropertySheet.h"
#include "tests/framework/TemplateBuilder.h"

#include <gtest/gtest.h>

namespace {

constexpr int kApplyButton = 0x3021;

class CountingPage : public CPropertyPageImpl {
public:
    explicit CountingPage(const DLGTEMPLATE* tmpl) : CPropertyPageImpl(0)
    {
        m_psp.dwFlags |= PSP_DLGINDIRECT;
        m_psp.pResource = tmpl;
    }
    int kills = 0;
    int applies = 0;
    bool refuseToLeave = false;
    int applyResult = PSNRET_NOERROR;

    BEGIN_MSG_MAP(CountingPage)
        PROPERTY_PAGE_NOTIFICATIONS()
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    bool OnKillActive() override
    {
        ++kills;
        return refuseToLeave;
    }
    int OnApply() override
    {
        ++applies;
        return applyResult;
    }
};

class TestSheet : public CPropertySheetImpl {
public:
    TestSheet() : CPropertySheetImpl(0)
    {
        m_psh.dwFlags |= PSH_MODELESS | PSH_NOCONTEXTHELP;
        m_psh.pszCaption = L"sheet";
    }
    int initialized = 0;
    int sysCommands = 0;
    BEGIN_MSG_MAP(TestSheet)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    END_MSG_MAP()
    LRESULT OnSysCommand(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        ++sysCommands;
        handled = FALSE;
        return 0;
    }

protected:
    void OnSheetInitialized() override { ++initialized; }
};

class PropertySheetTest : public ::testing::Test {
protected:
    TemplateBuilder tmpl{WS_CHILD | WS_CAPTION | DS_SETFONT, 120, 60, L"Page"};
};

TEST_F(PropertySheetTest, SheetIsSubclassedAtInitialisationAndAppliesThroughItsPages)
{
    CountingPage page(tmpl.Get());
    TestSheet sheet;
    ASSERT_TRUE(sheet.AddPage(page.Create()));
    EXPECT_FALSE(sheet.AddPage(nullptr));
    HWND hwnd = sheet.Create();
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(sheet.initialized, 1);
    EXPECT_EQ(sheet.m_hWnd, hwnd);
    ASSERT_TRUE(page.m_hWnd);
    EXPECT_EQ(::GetParent(page.m_hWnd), hwnd);
    EXPECT_EQ(sheet.PageIndex(page.m_hWnd), 0);
    EXPECT_FALSE(sheet.AddPage(page.Create())); // pages go in before the window exists

    // The sheet's own map sees its messages first, then the platform's procedure. A command
    // of our own: the platform's ones (SC_KEYMENU and the like) start modal loops.
    ::SendMessageW(hwnd, WM_SYSCOMMAND, 0x0010, 0);
    EXPECT_EQ(sheet.sysCommands, 1);

    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, kApplyButton)));
    page.SetModified();
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, kApplyButton)));

    ::SendMessageW(hwnd, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    EXPECT_EQ(page.kills, 1);
    EXPECT_EQ(page.applies, 1);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, kApplyButton)));

    // A page that refuses to be left stops the apply.
    page.refuseToLeave = true;
    page.SetModified();
    ::SendMessageW(hwnd, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    EXPECT_EQ(page.kills, 2);
    EXPECT_EQ(page.applies, 1);

    ::DestroyWindow(hwnd);
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(page.m_hWnd, nullptr);
}

TEST_F(PropertySheetTest, PageHandlesNeverHandedToASheetAreDestroyedWithIt)
{
    CountingPage page(tmpl.Get());
    {
        TestSheet sheet;
        ASSERT_TRUE(sheet.AddPage(page.Create()));
        EXPECT_EQ(sheet.GetPageCount(), 1);
    }
    EXPECT_EQ(page.m_hWnd, nullptr);
    EXPECT_EQ(page.kills, 0);
}

} // namespace
