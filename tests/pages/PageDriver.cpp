#include "tests/pages/PageDriver.h"

#include "engine/FileTimeAccess.h"
#include "framework/Module.h"
#include "tests/pages/PagesTestSupport.h"

#include <gtest/gtest.h>

void SelectOperation(HWND page, int comboId, int index)
{
    HWND combo = ::GetDlgItem(page, comboId);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

LRESULT SelectedOperation(HWND page, int comboId)
{
    return ::SendDlgItemMessageW(page, comboId, CB_GETCURSEL, 0, 0);
}

int OperationCount(HWND page, int comboId)
{
    return static_cast<int>(::SendDlgItemMessageW(page, comboId, CB_GETCOUNT, 0, 0));
}

std::wstring OperationText(HWND page, int comboId, int index)
{
    wchar_t text[256] = {};
    if (::SendDlgItemMessageW(page, comboId, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= 256)
        return std::wstring();
    ::SendDlgItemMessageW(page, comboId, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

namespace {

void ReportPickerChange(HWND page, HWND picker)
{
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(picker));
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = static_cast<DWORD>(::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&change.st)));
    ::SendMessageW(page, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

} // namespace

void EditPicker(HWND page, int pickerId, FileTime utc)
{
    HWND picker = ::GetDlgItem(page, pickerId);
    ASSERT_TRUE(SetPickerUtc(picker, utc));
    ReportPickerChange(page, picker);
}

void TypeIntoPicker(HWND page, int pickerId, const wchar_t* text)
{
    HWND picker = ::GetDlgItem(page, pickerId);
    const NMDATETIMESTRINGW answer = SendUserString(picker, text);
    if (answer.dwFlags == GDT_VALID)
        ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&answer.st));
    ReportPickerChange(page, picker);
}

FileTime PickerValue(HWND page, int pickerId)
{
    return PickerUtc(::GetDlgItem(page, pickerId));
}

bool PickerEnabled(HWND page, int pickerId)
{
    return ::IsWindowEnabled(::GetDlgItem(page, pickerId)) != FALSE;
}

void Click(HWND page, int buttonId)
{
    ::SendMessageW(::GetDlgItem(page, buttonId), BM_CLICK, 0, 0);
}

bool Checked(HWND page, int buttonId)
{
    return ::SendDlgItemMessageW(page, buttonId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Visible(HWND page, int controlId)
{
    return (::GetWindowLongW(::GetDlgItem(page, controlId), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool ApplyEnabled(HWND sheet)
{
    return ::IsWindowEnabled(::GetDlgItem(sheet, kApplyNowButton)) != FALSE;
}

void PressApply(HWND sheet)
{
    ::SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
    PumpPendingMessages();
}

void PressOk(HWND sheet)
{
    // A click: Wine's PSM_PRESSBUTTON for OK bypasses WM_COMMAND, by which the modeless sheet
    // learns that it has finished.
    ::SendMessageW(::GetDlgItem(sheet, IDOK), BM_CLICK, 0, 0);
    PumpPendingMessages();
}

void ShowPage(HWND sheet, int index)
{
    ::SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    PumpPendingMessages();
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(::SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

OpenSheet::OpenSheet(const std::wstring& target)
{
    AppModule().AddMessageLoop(&m_loop);
    m_sheet = std::make_unique<CDialog>(target);
    m_window = m_sheet->Create();
    EXPECT_TRUE(m_window);
    PumpPendingMessages();
}

OpenSheet::~OpenSheet()
{
    if (::IsWindow(m_window))
        ::DestroyWindow(m_window);
    PumpPendingMessages();
    m_sheet.reset();
    AppModule().RemoveMessageLoop();
}

FileTimes TimesOf(const std::wstring& path)
{
    FileTimes times{};
    EXPECT_TRUE(ReadFileTimes(path.c_str(), times)) << path.c_str();
    return times;
}

void SetTimes(const std::wstring& path, FileTime creation, FileTime lastAccess, FileTime lastWrite)
{
    ASSERT_TRUE(WriteFileTimes(path.c_str(), FileTimes{creation, lastAccess, lastWrite})) << path.c_str();
}

FileTime LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    SYSTEMTIME utc{};
    FILETIME ft{};
    EXPECT_TRUE(::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && ::SystemTimeToFileTime(&utc, &ft));
    return FromFILETIME(ft);
}

SYSTEMTIME LocalCalendar(FileTime utc)
{
    const FILETIME ft = ToFILETIME(utc);
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    EXPECT_TRUE(::FileTimeToSystemTime(&ft, &universal) && ::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local));
    return local;
}
