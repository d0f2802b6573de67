#include "pages/PreviewPage.h"

#include "framework/Module.h"
#include "pages/PreviewText.h"
#include "res/resource.h"
#include "ui/PageControls.h"

#include <algorithm>

namespace {

constexpr UINT ColumnTitles[PreviewColumnCount] = {IDS_PREVIEW_NAME, IDS_PREVIEW_FOLDER, IDS_PREVIEW_CREATED,
                                                   IDS_PREVIEW_MODIFIED, IDS_PREVIEW_ACCESSED};
// In dialog units. A time column holds "current → new" where its kind changes, and the
// current time alone where it does not; the name and time columns widen to what their first
// rows hold, up to the widest.
constexpr int ColumnWidths[PreviewColumnCount] = {60, 110, 160, 160, 160};
constexpr int ChangingTimeWidth = 100;
constexpr int StayingTimeWidth = 85;
constexpr int NarrowestName = 40;
constexpr int WidestNameOrTime = 240;
// Rows measured for a column's width: what the list shows first. Measuring every row of a long
// list would cost what the virtual list saves.
constexpr std::size_t MeasuredRows = 64;
// The space a list view cell keeps around its text (about six pixels a side), and a little more.
constexpr int CellMargin = 14;

int PixelWidth(HWND page, int dialogUnits)
{
    RECT width{0, 0, dialogUnits, 1};
    ::MapDialogRect(page, &width);
    return width.right;
}

// The pixel width that shows the column's cells in the first rows whole, within the given
// bounds in dialog units.
int FittingWidth(HWND page, HWND list, const PreviewResult& result, std::size_t rows, PreviewColumn column,
                 int narrowest, int widest)
{
    int width = PixelWidth(page, narrowest);
    for (std::size_t row = 0; row < rows && row < MeasuredRows; ++row) {
        const std::wstring text = PreviewCellText(result, row, column);
        width = std::max(width, ListView_GetStringWidth(list, text.c_str()) + CellMargin);
    }
    return std::min(width, PixelWidth(page, widest));
}

} // namespace

CPreviewPage::CPreviewPage() : CPropertyPageEx(IDD_PREVIEW) {}

BOOL CPreviewPage::OnInitDialog()
{
    HWND list = GetDlgItem(IDC_PREVIEW_LIST);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP,
                                        LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    for (int c = 0; c < PreviewColumnCount; ++c) {
        std::wstring title = AppModule().LoadText(ColumnTitles[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = PixelWidth(m_hWnd, ColumnWidths[c]);
        column.iSubItem = c;
        ListView_InsertColumn(list, c, &column);
    }
    return TRUE;
}

int CPreviewPage::OnSetActive()
{
    Refresh();
    return 0;
}

int CPreviewPage::OnApply()
{
    return ApplyIfLastPage();
}

void CPreviewPage::Refresh()
{
    CSheetSite* sheet = Sheet();
    if (!sheet || !m_hWnd)
        return;
    const unsigned long generation = sheet->ChoicesGeneration();
    if (m_current && generation == m_generation)
        return;
    if (!sheet->ComputePreview(m_result))
        return;
    m_generation = generation;
    m_current = m_result.outcome != WalkOutcome::Stopped;
    Show();
}

void CPreviewPage::Show()
{
    SetControlText(m_hWnd, IDC_PREVIEW_SUMMARY, PreviewSummaryText(m_result).c_str());
    HWND list = GetDlgItem(IDC_PREVIEW_LIST);
    // A stopped preview lists nothing: what it found so far is no answer.
    const std::size_t rows = m_result.outcome == WalkOutcome::Stopped ? 0 : PreviewRowCount(m_result);
    ArrangeColumns(list, rows);
    ListView_SetItemCountEx(list, static_cast<int>(rows), 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

LRESULT CPreviewPage::OnGetDispInfo(int, LPNMHDR header, BOOL&)
{
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0)
        return 0;
    info->item.pszText[0] = L'\0';
    if (info->item.iItem < 0 || info->item.iSubItem < 0 || info->item.iSubItem >= PreviewColumnCount)
        return 0;
    const std::wstring text = PreviewCellText(m_result, static_cast<std::size_t>(info->item.iItem),
                                              static_cast<PreviewColumn>(info->item.iSubItem));
    ::lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
    return 0;
}

void CPreviewPage::ArrangeColumns(HWND list, std::size_t rows)
{
    // The kinds that change come first, beside the name, so that the page shows them without
    // scrolling; the folder comes last.
    const TimestampKindSet changing = KindsThatChange(m_result);
    int order[PreviewColumnCount] = {static_cast<int>(PreviewColumn::Name)};
    int next = 1;
    for (const bool changes : {true, false}) {
        for (const TimestampKind kind : {Creation, LastWrite, LastAccess}) {
            if (changing[kind] != changes)
                continue;
            const int column = static_cast<int>(ColumnOf(kind));
            order[next++] = column;
            ListView_SetColumnWidth(list, column,
                                    FittingWidth(m_hWnd, list, m_result, rows, ColumnOf(kind),
                                                 changes ? ChangingTimeWidth : StayingTimeWidth, WidestNameOrTime));
        }
    }
    order[next] = static_cast<int>(PreviewColumn::Folder);
    ListView_SetColumnOrderArray(list, PreviewColumnCount, order);

    // The name takes what it needs of the room the first time column leaves, less a vertical
    // scroll bar where the rows will need one; a longer one is shortened, and shown whole in its
    // tip.
    RECT client{};
    ::GetClientRect(list, &client);
    const bool scrolls = rows > static_cast<std::size_t>(std::max(ListView_GetCountPerPage(list), 0));
    const int room =
        client.right - (scrolls ? ::GetSystemMetrics(SM_CXVSCROLL) : 0) - ListView_GetColumnWidth(list, order[1]);
    const int name = FittingWidth(m_hWnd, list, m_result, rows, PreviewColumn::Name, NarrowestName, WidestNameOrTime);
    ListView_SetColumnWidth(list, static_cast<int>(PreviewColumn::Name),
                            std::max(PixelWidth(m_hWnd, NarrowestName), std::min(name, room)));
}
