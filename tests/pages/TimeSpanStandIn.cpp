// Reading and writing of spans for the window tests while the engine's own is not in this
// tree: a few of the forms (hours and minutes with optional seconds, and one unit written out)
// and a canonical form per language. The tests compare the boxes with FormatTimeSpan, never
// with a text of their own, so they hold for the engine's forms as well.
#include "engine/TimeSpan.h"

#include <regex>

std::optional<TimeSpan> ParseTimeSpan(std::wstring_view text)
{
    static const std::wregex clock(LR"(\s*([+-]?)(\d{1,4}):(\d{2})(?::(\d{2}))?\s*)");
    static const std::wregex unit(LR"(\s*([+-]?)(\d{1,4})\s*(min|h|days?|分|時間|日)\s*)");
    static const std::wregex japanese(LR"(\s*([+-]?)(\d{1,4})時間(\d{1,2})分(\d{1,2})秒\s*)");
    const std::wstring input(text);
    std::wsmatch match;
    std::int64_t ticks = 0;
    if (std::regex_match(input, match, clock) || std::regex_match(input, match, japanese)) {
        ticks = std::stoll(match[2]) * 3600 + std::stoll(match[3]) * 60 + (match[4].matched ? std::stoll(match[4]) : 0);
        ticks *= static_cast<std::int64_t>(TicksPerSecond);
    } else if (std::regex_match(input, match, unit)) {
        const std::wstring name = match[3];
        const std::int64_t seconds = name == L"min" || name == L"分"   ? 60
                                     : name == L"h" || name == L"時間" ? 3600
                                                                       : 86400;
        ticks = std::stoll(match[2]) * seconds * static_cast<std::int64_t>(TicksPerSecond);
    } else {
        return std::nullopt;
    }
    return TimeSpan{0, match[1] == L"-" ? -ticks : ticks};
}

std::wstring FormatTimeSpan(const TimeSpan& span, SpanLanguage language)
{
    const std::int64_t total = (span.ticks < 0 ? -span.ticks : span.ticks) / static_cast<std::int64_t>(TicksPerSecond);
    const std::wstring sign = span.ticks < 0 ? L"-" : L"";
    const std::wstring hours = std::to_wstring(total / 3600);
    const std::int64_t minutes = total / 60 % 60;
    const std::int64_t seconds = total % 60;
    if (language == SpanLanguage::Japanese)
        return sign + hours + L"時間" + std::to_wstring(minutes) + L"分" + std::to_wstring(seconds) + L"秒";
    auto two = [](std::int64_t n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); };
    return sign + hours + L":" + two(minutes) + L":" + two(seconds);
}
