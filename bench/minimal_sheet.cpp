// The smallest program that shows a property sheet with one page, built like the editor
// (same toolchain, flags, static linking and manifest): the start-up benchmark's yardstick
// for what any program with a sheet costs to come up.
//   minimal_sheet.exe [ANYTHING]   (arguments are ignored, so it starts as the editor does)

#include "bench/minimal_sheet_resource.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    PROPSHEETPAGEW page{};
    page.dwSize = sizeof page;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(IDD_MINIMAL_PAGE);
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
