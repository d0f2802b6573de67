#include "framework/PropertySheet.h"
#include "pages/PreviewPage.h"
#include "pages/PreviewText.h"
#include "res/resource.h"
#include "tests/support/TestTimes.h"
#include "tests/support/WindowTestSupport.h"
#include "ui/TextFormat.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

// A sheet that answers the preview with a given number of changed files, whose modification
// times change, and counts how often it was asked. The times are among the widest to write:
// two-digit months, days and hours, in the evening.
class ManyChangesSite : public CSheetSite {
public:
    explicit ManyChangesSite(std::size_t count) : count_(count) {}

    int ApplyTimestamps() override { return PSNRET_NOERROR; }
    [[nodiscard]] TimestampKindSet KindsLeftUnchanged() const override { return {}; }
    [[nodiscard]] int AddedPageCount() const override { return 1; }
    [[nodiscard]] unsigned long ChoicesGeneration() const override { return generation; }
    bool ComputePreview(PreviewResult& result) override
    {
        ++computed;
        result = PreviewResult{};
        result.changes.reserve(count_);
        const FileTime before = UtcTime(2020, 12, 30, 22, 58);
        for (std::size_t i = 0; i < count_; ++i) {
            const FileTime t = before + i * TicksPerSecond;
            result.changes.push_back({L"C:\\Data\\photo" + std::to_wstring(i) + L".jpg",
                                      false,
                                      false,
                                      {t, t, t},
                                      {t, t, UtcTime(2024, 12, 28, 22, 58)}});
        }
        result.unchanged = 3;
        return true;
    }
    [[nodiscard]] bool CanUndo() const override { return false; }
    void UndoLastApply() override {}

    unsigned long generation = 1;
    int computed = 0;

private:
    std::size_t count_;
};

class PreviewSheet : public CPropertySheetImpl {
public:
    PreviewSheet() : CPropertySheetImpl(IDS_PRODUCT_NAME) { m_psh.dwFlags |= PSH_MODELESS | PSH_NOCONTEXTHELP; }
    ~PreviewSheet() override
    {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }
    PreviewSheet(const PreviewSheet&) = delete;
    PreviewSheet& operator=(const PreviewSheet&) = delete;

    BEGIN_MSG_MAP(PreviewSheet)
    END_MSG_MAP()
};

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(PreviewPage, AHundredThousandChangesAreListedAtOnceScrollWithoutDelayAndAreWorkedOutOncePerChoice)
{
    constexpr std::size_t Count = 100000;
    ManyChangesSite site(Count);
    CPreviewPage page;
    page.SetSheet(&site);
    PreviewSheet sheet;
    ASSERT_TRUE(sheet.AddPage(page.Create()));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(sheet.Create());
    PumpPendingMessages();
    ASSERT_TRUE(page.m_hWnd);
    HWND list = ::GetDlgItem(page.m_hWnd, IDC_PREVIEW_LIST);
    ::UpdateWindow(list);
    const double shown = SecondsSince(start);

    EXPECT_EQ(site.computed, 1);
    EXPECT_EQ(ListView_GetItemCount(list), static_cast<int>(Count));
    wchar_t summary[256] = {};
    ::GetDlgItemTextW(page.m_hWnd, IDC_PREVIEW_SUMMARY, summary, 256);
    EXPECT_EQ(summary, PreviewSummaryText(page.Result()));
    EXPECT_EQ(std::wstring(summary).rfind(GroupedNumber(Count), 0), 0u) << testing::PrintToString(summary);

    // To the last row and back, as a user dragging the scroll box would.
    const auto scrolled = std::chrono::steady_clock::now();
    ASSERT_TRUE(ListView_EnsureVisible(list, static_cast<int>(Count - 1), FALSE));
    ::UpdateWindow(list);
    wchar_t name[64] = {};
    ListView_GetItemText(list, static_cast<int>(Count - 1), 0, name, 64);
    ASSERT_TRUE(ListView_EnsureVisible(list, 0, FALSE));
    ::UpdateWindow(list);
    const double scrolling = SecondsSince(scrolled);
    EXPECT_STREQ(name, (L"photo" + std::to_wstring(Count - 1) + L".jpg").c_str());

    // A list that filled its rows up front would take many seconds for this many; both bounds
    // leave room for a loaded machine.
    EXPECT_LT(shown, 3.0);
    EXPECT_LT(scrolling, 1.0);
    std::printf("shown in %.3f s, scrolled to the end and back in %.3f s\n", shown, scrolling);

    // Shown again without a change of the choices: nothing is worked out again.
    EXPECT_EQ(page.OnSetActive(), 0);
    EXPECT_EQ(site.computed, 1);
    site.generation = 2;
    EXPECT_EQ(page.OnSetActive(), 0);
    EXPECT_EQ(site.computed, 2);
}

// The changing times are read without hovering: their column holds "current → new" whole, in
// either language's date forms, and comes right after the name.
TEST(PreviewPage, TheChangingTimesAreShownWholeBesideTheName)
{
    ManyChangesSite site(3);
    CPreviewPage page;
    page.SetSheet(&site);
    PreviewSheet sheet;
    ASSERT_TRUE(sheet.AddPage(page.Create()));
    ASSERT_TRUE(sheet.Create());
    PumpPendingMessages();
    HWND list = ::GetDlgItem(page.m_hWnd, IDC_PREVIEW_LIST);
    ASSERT_TRUE(list);
    ASSERT_EQ(ListView_GetItemCount(list), 3);

    const std::wstring text = PreviewCellText(page.Result(), 2, PreviewColumn::Modified);
    // The list view keeps about six pixels on either side of a cell's text.
    EXPECT_GE(ListView_GetColumnWidth(list, static_cast<int>(PreviewColumn::Modified)),
              ListView_GetStringWidth(list, text.c_str()) + 12)
        << testing::PrintToString(text);
    int order[PreviewColumnCount] = {};
    ASSERT_TRUE(ListView_GetColumnOrderArray(list, PreviewColumnCount, order));
    EXPECT_EQ(order[0], static_cast<int>(PreviewColumn::Name));
    EXPECT_EQ(order[1], static_cast<int>(PreviewColumn::Modified));
    EXPECT_EQ(order[4], static_cast<int>(PreviewColumn::Folder));
}

} // namespace
