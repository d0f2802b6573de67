#pragma once

#include <windows.h>
#include <shellapi.h>

// SHGetFileInfoW for the sheet's picture of an item. With SHGFI_ICON (and no other icon flag) the
// large icon is extracted from the file and index the item's icon handler names, which is what
// the shell itself draws it from, without building the process's system image list first (most
// of the sheet's start-up under Wine). Where the handler names no file that gives an icon, the
// platform's SHGFI_ICON answers. As SHGetFileInfoW otherwise, except that iIcon, an index into
// that image list, is not filled in.
DWORD_PTR GetShellFileInfo(const wchar_t* path, DWORD attributes, SHFILEINFOW& info, UINT flags);
