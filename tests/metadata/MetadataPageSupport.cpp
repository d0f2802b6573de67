#include "tests/metadata/MetadataPageSupport.h"

#include "engine/TimestampText.h"
#include "platform/Handles.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/TestTimes.h"

#include <commctrl.h>

#include <gtest/gtest.h>

StoredDocument::StoredDocument(void (*prepare)(FakePropertySystem&))
    : m_file(m_folder.MakeFile(L"plan.docx")), m_store(m_file)
{
    if (prepare)
        prepare(m_store);
}

HWND ListWindow(SheetDriver& sheet)
{
    return sheet.Metadata().List().m_hWnd;
}

void SelectRow(SheetDriver& sheet, int row)
{
    ListView_SetItemState(ListWindow(sheet), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

std::wstring Cell(SheetDriver& sheet, int row, int column)
{
    wchar_t text[256] = L"";
    ListView_GetItemText(ListWindow(sheet), row, column, text, 256);
    return text;
}

void SetValueCell(SheetDriver& sheet, int row, const std::wstring& text)
{
    // Wine's list compares the new text with the old one ignoring direction marks, and keeps
    // the old text when they match that way.
    sheet.Metadata().List().SetValueText(static_cast<std::size_t>(row), std::wstring());
    sheet.Metadata().List().SetValueText(static_cast<std::size_t>(row), text);
}

const MetadataEntry& Entry(SheetDriver& sheet, int row)
{
    return sheet.Metadata().List().Model().Entries().at(static_cast<std::size_t>(row));
}

void ListCommand(SheetDriver& sheet, WORD id)
{
    ::PostMessageW(ListWindow(sheet), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    sheet.Pump();
}

std::wstring ColumnTitle(HWND list, int column)
{
    wchar_t text[64] = L"";
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ListView_GetColumn(list, column, &item);
    return text;
}

std::wstring PickerText(std::uint64_t utc)
{
    const SYSTEMTIME local = LocalCalendar(utc);
    if (local.wYear == 0)
        return std::wstring();
    wchar_t date[40] = L"";
    wchar_t time[40] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 40);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, 40);
    return std::wstring(date) + L" " + time;
}

std::uint64_t ParsedDate(const std::wstring& text)
{
    PropVariantValue value;
    if (FAILED(ParseDateValueText(text.c_str(), value.get())) || value.value().vt != VT_FILETIME)
        return 0;
    const FILETIME ft = value.value().filetime;
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

bool HasFocusWithin(HWND window)
{
    HWND focus = ::GetFocus();
    return focus && (focus == window || ::IsChild(window, focus));
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        GlobalLockScope lock(data);
        if (lock.data())
            text = static_cast<const wchar_t*>(lock.data());
    }
    ::CloseClipboard();
    return text;
}

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

} // namespace
