#include "app/MainSheet.h"

#include "app/Dialog.h"
#include "ui/ResultText.h"
#include "framework/Module.h"
#include "metadata/WindowsPropertySystem.h"

HRESULT RunMainSheet(HINSTANCE, const std::wstring& targetPath)
{
    CMessageLoop loop;
    AppModule().AddMessageLoop(&loop);

    HRESULT result = S_OK;
    {
        WindowsPropertySystem properties;
        CDialog sheet(targetPath, properties);
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
