#include "app/MainSheet.h"

#include "app/Dialog.h"
#include "framework/Module.h"
#include "platform/Result.h"

#include <memory>

namespace {

HRESULT CreationFailure()
{
    const DWORD error = ::GetLastError();
    return HResultFromWin32(error ? error : ERROR_OUTOFMEMORY);
}

} // namespace

HRESULT RunMainSheet(HINSTANCE, const std::vector<std::wstring>& targetPaths)
{
    CMessageLoop loop;
    AppModule().AddMessageLoop(&loop);

    HRESULT result = S_OK;
    {
        CDialog sheet(targetPaths);
        result = sheet.Create() ? loop.Run() : CreationFailure();
        AppModule().RemoveMessageLoop();
    }
    return result;
}

HRESULT OpenSheet(const std::vector<std::wstring>& targetPaths)
{
    // The sheets of the thread, kept until the thread's loop has ended (a closed sheet's
    // object stays, since its window may still get messages as it goes).
    thread_local std::vector<std::unique_ptr<CDialog>> sheets;
    if (targetPaths.empty())
        return E_INVALIDARG;
    auto sheet = std::make_unique<CDialog>(targetPaths);
    if (!sheet->Create())
        return CreationFailure();
    sheets.push_back(std::move(sheet));
    return S_OK;
}
