#include "app/Messages.h"

#include "app/ResultText.h"
#include "framework/Module.h"

#include <memory>
#include <new>

namespace {

constexpr UINT ProductNameId = 128;

// A string resource loaded whole: the buffer doubles until the text no longer fills it.
std::unique_ptr<wchar_t[]> LoadWholeString(UINT id)
{
    int size = 256;
    for (;;) {
        std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[size]);
        if (!buffer)
            return nullptr;
        buffer[0] = L'\0';
        const int length = ::LoadStringW(AppModule().GetResourceInstance(), id, buffer.get(), size);
        if (length < size - 1)
            return buffer;
        size *= 2;
    }
}

}

int ShowMessage(HWND owner, const MessageText& text, const MessageText& caption, UINT style)
{
    std::unique_ptr<wchar_t[]> loadedText;
    const wchar_t* textValue = text.Text();
    if (text.IsResourceId()) {
        loadedText = LoadWholeString(text.ResourceId());
        if (!loadedText)
            return 0;
        textValue = loadedText.get();
    }

    std::unique_ptr<wchar_t[]> loadedCaption;
    const wchar_t* captionValue = caption.Text();
    if (caption.IsResourceId()) {
        captionValue = nullptr;
        if (caption.ResourceId() != 0) {
            loadedCaption = LoadWholeString(caption.ResourceId());
            if (!loadedCaption)
                return 0;
            captionValue = loadedCaption.get();
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
