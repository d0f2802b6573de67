#include "tests/res/ResourceData.h"

#include <algorithm>

std::span<const std::byte> ResourceBytes(LPCWSTR type, LPCWSTR name, WORD language)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceExW(module, type, name, language);
    if (!info)
        return {};
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const std::byte*>(data), ::SizeofResource(module, info)};
}

std::span<const std::byte> ByteReader::ReadBytes(size_t count)
{
    if (!Has(count)) {
        ok_ = false;
        offset_ = data_.size();
        return {};
    }
    auto bytes = data_.subspan(offset_, count);
    offset_ += count;
    return bytes;
}

std::wstring ByteReader::ReadWideString()
{
    std::wstring text;
    while (Has(sizeof(wchar_t))) {
        const auto c = Read<wchar_t>();
        if (c == L'\0')
            return text;
        text.push_back(c);
    }
    ok_ = false;
    return text;
}

wchar_t AccessKey(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&') {
            wchar_t key = text[i + 1];
            ::CharUpperBuffW(&key, 1);
            return key;
        }
        ++i; // "&&" is a literal ampersand
    }
    return 0;
}

bool SameClassName(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}
