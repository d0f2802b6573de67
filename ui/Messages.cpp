#include "ui/Messages.h"

#include "ui/ResultText.h"
#include "framework/Module.h"

#include <string>

namespace {

constexpr UINT ProductNameId = 128;
}

int ShowMessage(HWND owner, const MessageText& text, const MessageText& caption, UINT style)
{
    std::wstring loadedText;
    const wchar_t* textValue = text.Text();
    if (text.IsResourceId()) {
        loadedText = AppModule().LoadText(text.ResourceId());
        textValue = loadedText.c_str();
    }

    std::wstring loadedCaption;
    const wchar_t* captionValue = caption.Text();
    if (caption.IsResourceId()) {
        captionValue = nullptr;
        if (caption.ResourceId() != 0) {
            loadedCaption = AppModule().LoadText(caption.ResourceId());
            captionValue = loadedCaption.c_str();
        }
    }

    return ::MessageBoxW(owner, textValue, captionValue, style);
}

int ReportFailure(HWND owner, HRESULT code, const wchar_t* path)
{
    std::wstring text = ResultText(code);
    if (path) {
        text += L'\n';
        text += path;
    }
    return ShowMessage(owner, text, ProductNameId, MB_ICONERROR);
}
