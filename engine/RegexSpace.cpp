#include "engine/RegexSpace.h"

#include <regex>

std::wstring_view TrimRegexSpace(const wchar_t* text)
{
    const std::regex_traits<wchar_t> traits;
    const wchar_t spaceName[] = L"s";
    const auto space = traits.lookup_classname(spaceName, spaceName + 1);
    std::wstring_view view(text);
    while (!view.empty() && traits.isctype(view.front(), space))
        view.remove_prefix(1);
    while (!view.empty() && traits.isctype(view.back(), space))
        view.remove_suffix(1);
    return view;
}
