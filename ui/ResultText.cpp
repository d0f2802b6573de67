#include "ui/ResultText.h"

#include <cwchar>
#include <iterator>

std::wstring ResultText(HRESULT code)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                         nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        if (buffer != nullptr)
            ::LocalFree(buffer);
        wchar_t text[32];
        std::swprintf(text, std::size(text), L"HRESULT 0x%8.8x", static_cast<unsigned>(code));
        return text;
    }
    std::wstring text(buffer, length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    return text;
}
