#include "app/ShellFileInfo.h"

namespace {

// Flags that change which icon SHGFI_ICON gives, or ask for the image list: the platform's own.
constexpr UINT IconVariantFlags = SHGFI_SMALLICON | SHGFI_OPENICON | SHGFI_SHELLICONSIZE | SHGFI_ADDOVERLAYS |
                                  SHGFI_LINKOVERLAY | SHGFI_SELECTED | SHGFI_SYSICONINDEX | SHGFI_OVERLAYINDEX |
                                  SHGFI_ICONLOCATION | SHGFI_PIDL;

// The large icon at the place the item's icon handler names; null where it names none that can
// be read (a handler that draws its icons itself names no file).
HICON IconAtLocation(const wchar_t* path, DWORD attributes, UINT flags)
{
    SHFILEINFOW location{};
    const UINT locationFlags = SHGFI_ICONLOCATION | (flags & SHGFI_USEFILEATTRIBUTES);
    if (!::SHGetFileInfoW(path, attributes, &location, sizeof location, locationFlags) || !location.szDisplayName[0])
        return nullptr;
    HICON large = nullptr;
    if (::ExtractIconExW(location.szDisplayName, location.iIcon, &large, nullptr, 1) != 1)
        return nullptr;
    return large;
}

} // namespace

DWORD_PTR GetShellFileInfo(const wchar_t* path, DWORD attributes, SHFILEINFOW& info, UINT flags)
{
    if (!(flags & SHGFI_ICON) || (flags & IconVariantFlags))
        return ::SHGetFileInfoW(path, attributes, &info, sizeof info, flags);
    HICON icon = IconAtLocation(path, attributes, flags);
    if (!icon)
        return ::SHGetFileInfoW(path, attributes, &info, sizeof info, flags);
    const DWORD_PTR result = ::SHGetFileInfoW(path, attributes, &info, sizeof info, flags & ~SHGFI_ICON);
    if (!result) {
        ::DestroyIcon(icon);
        return 0;
    }
    info.hIcon = icon;
    return result;
}
