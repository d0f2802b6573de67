// Saves a picture of the Metadata page of a document, with the date editor open over a cell,
// as metadata-page-en.png or metadata-page-ja.png (by the user-interface language) in the
// folder given on the command line. The sheet is the program's own, built with the substitute
// property store. Exit code 0 when the picture was written.

#include "app/Dialog.h"
#include "framework/Module.h"
#include "metadata/PropertyKeys.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/metadata/MetadataTestSupport.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/Screenshot.h"
#include "tests/metadata/StandardDocument.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

bool Japanese()
{
    return ::GetUserDefaultUILanguage() == 0x0411;
}

// The names the Windows property system gives these properties in a Japanese interface.
void UseJapaneseNames(FakePropertySystem& store)
{
    store.Property(ContentCreatedKey).displayName = L"コンテンツの作成日時";
    store.Property(TotalEditingTimeKey).displayName = L"総編集時間";
    store.Property(DateSavedKey).displayName = L"最終保存日時";
}

void PumpFor(DWORD milliseconds)
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        PumpPendingMessages();
        ::Sleep(20);
    } while (::GetTickCount64() < end);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: metadata_screenshot FOLDER\n");
        return 2;
    }
    const std::wstring picture =
        std::wstring(argv[1]) + (Japanese() ? L"\\metadata-page-ja.png" : L"\\metadata-page-en.png");
    if (!UsePrivateDesktop() || FAILED(::CoInitialize(nullptr))) {
        std::fprintf(stderr, "no desktop or COM\n");
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);

    HRESULT result = E_FAIL;
    {
        CMessageLoop loop;
        AppModule().AddMessageLoop(&loop);
        TempFolder folder;
        const std::wstring file = folder.MakeFile(L"Quarterly report.docx");
        FakePropertySystem store(file);
        AddStandardDocument(store);
        if (Japanese())
            UseJapaneseNames(store);
        {
            CDialog sheet(file, store);
            HWND window = sheet.Create();
            if (window) {
                ::SendMessageW(window, PSM_SETCURSEL, 1, 0);
                CMetadataListImpl& list = sheet.MetadataPage().List();
                ListView_SetItemState(list.m_hWnd, ContentCreatedRow, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                list.BeginEdit(ContentCreatedRow, 1);
                PumpFor(500);
                ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                PumpFor(300);
                // Without a window manager there is no frame to show.
                if (list.EditRow() != ContentCreatedRow)
                    std::fprintf(stderr, "the editor did not stay open\n");
                else
                    result = SaveWindowPicture(window, picture, false);
                ::DestroyWindow(window);
                PumpPendingMessages();
            }
        }
        AppModule().RemoveMessageLoop();
    }
    ::CoUninitialize();
    if (FAILED(result)) {
        std::fprintf(stderr, "no picture: 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    std::printf("%ls\n", picture.c_str());
    return 0;
}
