#include "app/CommandLine.h"
#include "app/MainSheet.h"
#include "ui/Messages.h"
#include "ui/ResultText.h"
#include "app/Registration.h"
#include "app/VerbServer.h"
#include "framework/Module.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <clocale>
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
        result = RunMainSheet(instance, request.targetPaths);
        break;
    case StartAction::ServeVerb:
        result = RunVerbServer(instance, OpenSheet);
        break;
    }

    if (FAILED(result))
        ReportFailure(nullptr, result, nullptr);

    AppModule().Term();
    ::CoUninitialize();
    return result;
}
