#include "app/MainSheet.h"

#include "app/Dialog.h"
#include "app/ResultText.h"
#include "framework/Module.h"

HRESULT RunMainSheet(HINSTANCE, const std::wstring& targetPath)
{
    CMessageLoop loop;
    AppModule().AddMessageLoop(&loop);

    HRESULT result = S_OK;
    {
        CDialog sheet(targetPath);
        if (sheet.Create()) {
            result = loop.Run();
        } else {
            const DWORD error = ::GetLastError();
            result = HResultFromWin32(error ? error : ERROR_OUTOFMEMORY);
        }
        AppModule().RemoveMessageLoop();
    }
    return result;
}
