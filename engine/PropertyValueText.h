#pragma once

#include <windows.h>
#include <propidl.h>

// The start every property-text parser shares: the out value is cleared to VT_EMPTY, then
// a missing out value (E_POINTER), a missing text (E_INVALIDARG) and an empty text (S_OK,
// value left empty) are settled. True when the text still needs parsing.
inline bool StartPropertyValueParse(const wchar_t* text, PROPVARIANT* value, HRESULT& result)
{
    if (!value) {
        result = E_POINTER;
        return false;
    }
    ::PropVariantClear(value);
    ::PropVariantInit(value);
    result = !text ? E_INVALIDARG : S_OK;
    return text && *text;
}
