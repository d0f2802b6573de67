#include "tests/pages/PagesTestSupport.h"

#include <objbase.h>

#include <gtest/gtest.h>

namespace {

// COM for the shell's dialog, and the date-time classes, for every test of the program.
class PagesEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&controls);
    }
    void TearDown() override { ::CoUninitialize(); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new PagesEnvironment);

LRESULT CALLBACK UnreadablePicker(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (uMsg == DTM_GETSYSTEMTIME)
        return GDT_ERROR;
    return ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK RefusingPicker(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (uMsg == DTM_SETSYSTEMTIME)
        return 0;
    return ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

} // namespace

FileTime PickerUtc(HWND picker)
{
    SYSTEMTIME local{};
    if (::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&local)) != GDT_VALID)
        return InvalidFileTime;
    FileTime utc = InvalidFileTime;
    if (!LocalCalendarToUtcFileTime(local, utc))
        return InvalidFileTime;
    return utc;
}

bool SetPickerUtc(HWND picker, FileTime utc)
{
    SYSTEMTIME local{};
    return UtcFileTimeToLocalCalendar(utc, local) &&
           ::SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&local)) != 0;
}

std::wstring ControlText(HWND control)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(control, text, 256);
    return text;
}

bool LocalTimeIsBehindUtc()
{
    TIME_ZONE_INFORMATION zone{};
    ::GetTimeZoneInformation(&zone);
    return zone.Bias > 0;
}

FileTime Utc(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(millisecond);
    FILETIME ft{};
    ::SystemTimeToFileTime(&st, &ft);
    return FromFILETIME(ft);
}

NMDATETIMESTRINGW SendUserString(HWND picker, const wchar_t* text, LRESULT* result)
{
    NMDATETIMESTRINGW request{};
    request.nmhdr.hwndFrom = picker;
    request.nmhdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(picker));
    request.nmhdr.code = DTN_USERSTRINGW;
    request.pszUserString = text;
    request.dwFlags = static_cast<DWORD>(::SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&request.st)));
    const LRESULT answer = ::SendMessageW(::GetParent(picker), WM_NOTIFY, request.nmhdr.idFrom,
                                          reinterpret_cast<LPARAM>(&request));
    if (result)
        *result = answer;
    return request;
}

void MakePickerUnreadable(HWND picker)
{
    ::SetWindowSubclass(picker, UnreadablePicker, 1, 0);
}

void MakePickerReadable(HWND picker)
{
    ::RemoveWindowSubclass(picker, UnreadablePicker, 1);
}

void MakePickerRefuseValues(HWND picker)
{
    ::SetWindowSubclass(picker, RefusingPicker, 2, 0);
}

void MakePickerTakeValues(HWND picker)
{
    ::RemoveWindowSubclass(picker, RefusingPicker, 2);
}
