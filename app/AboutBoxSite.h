#pragma once

#include "app/AboutBox.h"
#include "framework/MessageMap.h"
#include "res/resource.h"

#include <windows.h>

// Carries the About entry of a window's system menu. Its map belongs in the window's map;
// T tells whether it is a modeless sheet (IsModeless), whose Close command becomes WM_CLOSE.
class CAboutBoxSite {};

template <class T> class CAboutBoxSiteImpl : public CAboutBoxSite, public CMessageMap {
public:
    BEGIN_MSG_MAP(CAboutBoxSiteImpl)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    END_MSG_MAP()

    // Puts "&About ..." and a separator at the top of the window's system menu.
    static void AddAboutMenuItem(HWND window, const wchar_t* text)
    {
        HMENU menu = ::GetSystemMenu(window, FALSE);
        ::InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, IDM_ABOUT, text);
        ::InsertMenuW(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    }

private:
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        T* self = static_cast<T*>(this);
        const UINT command = static_cast<UINT>(wParam & 0xFFF0);
        if (self->IsModeless() && command == SC_CLOSE) {
            ::SendMessageW(self->m_hWnd, WM_CLOSE, 0, 0);
            return 0;
        }
        if (command == IDM_ABOUT) {
            wchar_t path[MAX_PATH] = {};
            ::GetModuleFileNameW(nullptr, path, MAX_PATH);
            ShowAboutBox(::GetActiveWindow(), path, IDS_PRODUCT_NAME, IDI_APP);
            return 0;
        }
        bHandled = FALSE;
        return 0;
    }
};
