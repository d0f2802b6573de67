#include "app/CommandLine.h"
#include "app/MainSheet.h"
#include "ui/Messages.h"
#include "ui/ResultText.h"
#include "app/Registration.h"
#include "app/Dialog.h"
#include "app/VerbServer.h"
#include "framework/Module.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <clocale>
#include <memory>
#include <string>

namespace {

// The current directory at any length (it may exceed MAX_PATH where long paths are enabled).
std::wstring CurrentDirectory()
{
    std::wstring directory(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data());
        if (length < directory.size()) {
            directory.resize(length);
            return directory;
        }
        directory.resize(length);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandTail, int)
{
    // The user's locale, for the standard library's parsing and formatting of times.
    std::setlocale(LC_ALL, "");
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);
    AppModule().Init(instance);

    const StartRequest request = DecideStartAction(commandTail, CurrentDirectory());
    HRESULT result = S_OK;
    switch (request.action) {
    case StartAction::Register:
        result = RegisterVerb(true);
        break;
    case StartAction::Unregister:
        result = RegisterVerb(false);
        break;
    case StartAction::Edit:
        result = RunMainSheet(instance, request.targetPath);
        break;
    case StartAction::ServeVerb: {
        // One modeless sheet, for the selection's first item.
        std::unique_ptr<CDialog> sheet;
        result = RunVerbServer(instance, [&sheet](const std::vector<std::wstring>& paths) -> HRESULT {
            if (sheet)
                return HResultFromWin32(ERROR_BUSY);
            sheet = std::make_unique<CDialog>(paths.front());
            if (sheet->Create())
                return S_OK;
            const DWORD error = ::GetLastError();
            return HResultFromWin32(error ? error : ERROR_OUTOFMEMORY);
        });
        break;
    }
    }

    if (FAILED(result))
        ReportFailure(nullptr, result, nullptr);

    AppModule().Term();
    ::CoUninitialize();
    return result;
}
