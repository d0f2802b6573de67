#include "engine/DirectionMarks.h"

#include <algorithm>

namespace {

bool IsDirectionMark(wchar_t c)
{
    return c == L'\x200E' || c == L'\x200F' || (c >= L'\x202A' && c <= L'\x202E');
}

} // namespace

void RemoveDirectionMarks(std::wstring& text)
{
    std::erase_if(text, IsDirectionMark);
}
