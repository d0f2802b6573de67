#pragma once

#include <string>
#include <string_view>

// Paths of the items the user names. The program keeps and shows them in their ordinary form
// ("C:\dir\x ", "\\server\share\x"), and opens them in the extended-length form, which the
// platform takes as written: no trailing blank or period is dropped, no "." or ".." folded,
// and the length may reach 32,767 characters. The functions here only transform text, except
// ItemPath, which asks the process once whether it runs under WOW64.

// The extended-length form of a full path: "\\?\C:\..." for a drive path,
// "\\?\UNC\server\share\..." for a share. A path already in a device or extended form is
// returned as it is; a bare drive ("C:") becomes its root, never the volume itself; a relative
// path is returned as it is (it has no extended form).
std::wstring ExtendedLengthPath(std::wstring_view fullPath);

// The ordinary form of a path, as the user sees it: the extended-length prefix removed.
std::wstring OrdinaryPath(std::wstring_view path);

// The length of the root a path starts with ("C:", "\\server\share", "\\?\C:",
// "\\?\UNC\server\share"); 0 for a path without one.
std::size_t PathRootLength(std::wstring_view path);

// The folder and the name joined with one backslash.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// The folder holding an item: "C:\dir" for "C:\dir\x ", "C:\" for "C:\x"; a root is its own
// parent. Never shortened to fit a buffer.
std::wstring ParentPath(std::wstring_view path);

// A path or name with letter case set aside, as the platform's file systems compare names:
// two paths that differ only in case give the same text.
std::wstring CaseFolded(std::wstring_view path);

// The last part of a path ("x " for "C:\dir\x ").
std::wstring_view PathName(std::wstring_view path);

// Whether the shell's calls that take a path (SHGetFileInfoW, SHCreateItemFromParsingName,
// SHPathPrepareForWriteW) reach the very item this full path names. They read a path the
// ordinary way: fewer than MAX_PATH characters, "." and ".." folded, and the trailing blanks
// and periods of every name dropped, so that "C:\Acme Inc.\plan.docx" is
// "C:\Acme Inc\plan.docx". True only for a drive or share path whose every name, the server's
// and the share's included, keeps as written; a relative path, one with forward slashes and an
// extended-length or device form are not read exactly. One trailing backslash after a name is
// allowed.
bool ShellReadsExactly(std::wstring_view path);

// The full path of a target named relative to a folder (the current directory): absolute
// paths stand as they are, "\x" and "C:x" take the root or drive of the folder, everything
// else is joined to it. "." and ".." parts are folded, slashes become backslashes and doubled
// backslashes one; trailing blanks and periods of a name are kept, and no length is cut. A
// trailing backslash is dropped except on a root ("C:\", "\\server\share\").
std::wstring ResolveTargetPath(std::wstring_view target, std::wstring_view folder);

// Under WOW64 the platform sends a 32-bit program's calls on "<windows>\System32\..." to
// SysWOW64, another folder with other items. "<windows>\Sysnative\..." is the alias that
// reaches the real System32 from a 32-bit program (Windows Vista and later); the redirection
// and the alias both act on the path as the system receives it, so they hold for the
// extended-length form too. Returns the path with that alias in place of System32 when
// underWow64, and the path itself otherwise.
std::wstring WithoutSystemRedirection(std::wstring_view fullPath, std::wstring_view windowsFolder, bool underWow64);

// What the program's own file-system calls open for an item the user named: the extended-
// length form, past the 32-bit redirector. Used for the item's calls only; DLLs the program
// loads must stay redirected.
std::wstring ItemPath(std::wstring_view fullPath);
