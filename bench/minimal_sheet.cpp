// The smallest program that shows a property sheet with one page, built like the editor
// (same toolchain, flags, static linking and manifest): the start-up benchmark's yardstick
// for what any program with a sheet costs to come up. Built twice: with a page of one line of
// text, and with the editor's General page as it stands in the program's resources (empty,
// with no code behind it), which tells the cost of the page's controls from the editor's own.
//   minimal_sheet.exe [ANYTHING]   (arguments are ignored, so it starts as the editor does)

#ifdef MINIMAL_SHEET_GENERAL_PAGE
#include "res/resource.h"
#else
#include "bench/minimal_sheet_resource.h"
#endif

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

namespace {

#ifdef MINIMAL_SHEET_GENERAL_PAGE
constexpr WORD PageTemplate = IDD_GENERAL;
#else
constexpr WORD PageTemplate = IDD_MINIMAL_PAGE;
#endif

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // The editor's classes, the date-time picker among them.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);

    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(PageTemplate);
    page.pfnDlgProc = PageProc;

    PROPSHEETHEADERW sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP;
    sheet.hInstance = instance;
    sheet.pszCaption = L"Minimal sheet";
    sheet.nPages = 1;
    sheet.ppsp = &page;
    return static_cast<int>(::PropertySheetW(&sheet));
}
