#include "ui/TextFormat.h"

#include <windows.h>

#include <vector>

namespace {

// The locale's grouping ("3;0", "3;2;0") in the form NUMBERFMTW wants (3, 32).
UINT GroupingOf(const std::wstring& text)
{
    UINT grouping = 0;
    for (wchar_t c : text) {
        if (c >= L'1' && c <= L'9')
            grouping = grouping * 10 + static_cast<UINT>(c - L'0');
    }
    return grouping;
}

} // namespace

std::wstring UserLocaleText(LCTYPE type)
{
    const int size = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(size), L'\0');
    const int copied = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), size);
    text.resize(copied > 0 ? static_cast<size_t>(copied - 1) : 0);
    return text;
}

std::wstring FillInserts(const std::wstring& pattern, std::initializer_list<std::wstring> arguments)
{
    const std::vector<std::wstring> values(arguments);
    std::wstring result;
    result.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c != L'%' || i + 1 == pattern.size()) {
            result += c;
            continue;
        }
        const wchar_t next = pattern[i + 1];
        if (next == L'%') {
            result += L'%';
            ++i;
        } else if (next >= L'1' && next <= L'9' && static_cast<std::size_t>(next - L'1') < values.size()) {
            result += values[static_cast<std::size_t>(next - L'1')];
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::wstring GroupedNumber(unsigned long long value)
{
    const std::wstring digits = std::to_wstring(value);
    std::wstring decimal = UserLocaleText(LOCALE_SDECIMAL);
    if (decimal.empty())
        decimal = L".";
    std::wstring thousand = UserLocaleText(LOCALE_STHOUSAND);
    NUMBERFMTW format{};
    format.NumDigits = 0;
    // Without decimals this only decides whether zero itself is written (Wine writes nothing).
    format.LeadingZero = 1;
    format.Grouping = GroupingOf(UserLocaleText(LOCALE_SGROUPING));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = 1;
    wchar_t text[64] = {};
    if (::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, text,
                            static_cast<int>(std::size(text))) <= 0)
        return digits;
    return text;
}

std::wstring ShortenMiddle(const std::wstring& text, std::size_t limit)
{
    static constexpr wchar_t Ellipsis[] = L"...";
    constexpr std::size_t EllipsisLength = std::size(Ellipsis) - 1;
    if (text.size() <= limit)
        return text;
    if (limit <= EllipsisLength)
        return text.substr(text.size() - limit);
    const std::size_t kept = limit - EllipsisLength;
    const std::size_t head = kept / 3;
    return text.substr(0, head) + Ellipsis + text.substr(text.size() - (kept - head));
}
