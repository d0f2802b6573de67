#include "metadata/ValueText.h"

#include "engine/DirectionMarks.h"
#include "engine/TimestampText.h"
#include "platform/Handles.h"

namespace {

bool IsWhiteSpace(wchar_t c)
{
    WORD type = 0;
    return ::GetStringTypeW(CT_CTYPE1, &c, 1, &type) && (type & C1_SPACE) != 0;
}

} // namespace

std::wstring TrimWhiteSpace(const wchar_t* text)
{
    if (!text)
        return std::wstring();
    std::wstring result(text);
    std::size_t first = 0;
    while (first < result.size() && IsWhiteSpace(result[first]))
        ++first;
    std::size_t last = result.size();
    while (last > first && IsWhiteSpace(result[last - 1]))
        --last;
    return result.substr(first, last - first);
}

bool ReadDateText(std::wstring text, FileTime& utc)
{
    RemoveDirectionMarks(text);
    PropVariantValue value;
    if (FAILED(ParseDateValueText(text.c_str(), value.get())) || value.value().vt != VT_FILETIME)
        return false;
    utc = FromFILETIME(value.value().filetime);
    return true;
}
