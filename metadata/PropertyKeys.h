#pragma once

#include <windows.h>
#include <propkey.h>
#include <propsys.h>

// Property keys that MinGW's propkey.h lacks; the others come from the SDK (PKEY_*).
inline constexpr PROPERTYKEY FullDetailsListKey = {
    {0xC9944A21, 0xA406, 0x48FE, {0x82, 0x25, 0xAE, 0xC7, 0xE2, 0x4C, 0x21, 0x1B}}, 2};
inline constexpr PROPERTYKEY TotalEditingTimeKey = {
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 10};

inline bool SamePropertyKey(const PROPERTYKEY& a, const PROPERTYKEY& b) noexcept
{
    return a.pid == b.pid && ::IsEqualGUID(a.fmtid, b.fmtid);
}
