#include "tests/pages/PagesTestSupport.h"

#include <objbase.h>
#include <commctrl.h>

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

std::wstring ControlText(HWND control)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(control, text, 256);
    return text;
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
