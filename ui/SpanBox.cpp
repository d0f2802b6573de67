#include "ui/SpanBox.h"

#include <string>

namespace {

std::wstring BoxText(HWND box)
{
    const int length = ::GetWindowTextLengthW(box);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int read = ::GetWindowTextW(box, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(read > 0 ? read : 0));
    return text;
}

} // namespace

SpanLanguage UserSpanLanguage()
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE ? SpanLanguage::Japanese
                                                                        : SpanLanguage::English;
}

std::optional<TimeSpan> SpanInBox(HWND box)
{
    return ParseTimeSpan(BoxText(box));
}

bool ShowSpanInBox(HWND box, const TimeSpan& span)
{
    const std::wstring text = FormatTimeSpan(span, UserSpanLanguage());
    if (BoxText(box) == text)
        return true;
    return ::SetWindowTextW(box, text.c_str()) != FALSE;
}
