#include "platform/ItemPath.h"

#include <windows.h>

#include <vector>

namespace {

constexpr std::wstring_view ExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view DevicePrefix = L"\\\\.\\";
constexpr std::wstring_view ExtendedUncPrefix = L"\\\\?\\UNC\\";

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool HasDrive(std::wstring_view path)
{
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':';
}

bool StartsWith(std::wstring_view text, std::wstring_view start)
{
    return text.substr(0, start.size()) == start;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view start)
{
    return text.size() >= start.size() &&
           ::CompareStringOrdinal(text.data(), static_cast<int>(start.size()), start.data(),
                                  static_cast<int>(start.size()), TRUE) == CSTR_EQUAL;
}

// The end of the part of text that starts at from and runs up to the next backslash.
std::size_t PartEnd(std::wstring_view text, std::size_t from)
{
    const std::size_t end = text.find(L'\\', from);
    return end == std::wstring_view::npos ? text.size() : end;
}

// "\\server\share" after a prefix of the given length.
std::size_t ShareRootEnd(std::wstring_view path, std::size_t prefix)
{
    const std::size_t server = PartEnd(path, prefix);
    return server == path.size() ? server : PartEnd(path, server + 1);
}

std::wstring WithBackslashes(std::wstring_view path)
{
    std::wstring result(path);
    for (wchar_t& c : result)
        if (c == L'/')
            c = L'\\';
    return result;
}

// Root and parts of a full path with backslashes, "." and ".." folded and empty parts dropped;
// a root alone keeps its backslash ("C:\", "\\server\share\").
std::wstring Normalised(const std::wstring& path)
{
    const std::size_t rootLength = PathRootLength(path);
    std::vector<std::wstring_view> parts;
    const std::wstring_view rest = std::wstring_view(path).substr(rootLength);
    for (std::size_t at = 0; at <= rest.size();) {
        const std::size_t end = PartEnd(rest, at);
        const std::wstring_view part = rest.substr(at, end - at);
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::wstring result = path.substr(0, rootLength);
    result += L'\\';
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += L'\\';
        result += parts[i];
    }
    return result;
}

} // namespace

std::wstring ExtendedLengthPath(std::wstring_view fullPath)
{
    if (StartsWith(fullPath, ExtendedPrefix) || StartsWith(fullPath, DevicePrefix) || StartsWith(fullPath, L"\\??\\"))
        return std::wstring(fullPath);
    // The platform reads '/' as '\' in an ordinary path, but not in the extended form.
    // Nor does it fold doubled backslashes, "." or "..": done here as an ordinary path would
    // have it, leaving every name as it is.
    const std::wstring path = WithBackslashes(fullPath);
    if (StartsWith(path, L"\\\\"))
        return std::wstring(ExtendedUncPrefix) + Normalised(path).substr(2);
    if (HasDrive(path) && (path.size() == 2 || path[2] == L'\\'))
        return std::wstring(ExtendedPrefix) + Normalised(path);
    return std::wstring(fullPath);
}

std::wstring OrdinaryPath(std::wstring_view path)
{
    if (StartsWithIgnoringCase(path, ExtendedUncPrefix))
        return L"\\\\" + std::wstring(path.substr(ExtendedUncPrefix.size()));
    if (StartsWith(path, ExtendedPrefix) && HasDrive(path.substr(ExtendedPrefix.size())))
        return std::wstring(path.substr(ExtendedPrefix.size()));
    return std::wstring(path);
}

std::size_t PathRootLength(std::wstring_view path)
{
    if (StartsWithIgnoringCase(path, ExtendedUncPrefix))
        return ShareRootEnd(path, ExtendedUncPrefix.size());
    if (StartsWith(path, ExtendedPrefix) || StartsWith(path, DevicePrefix))
        return PartEnd(path, ExtendedPrefix.size());
    if (StartsWith(path, L"\\\\"))
        return ShareRootEnd(path, 2);
    if (HasDrive(path))
        return 2;
    return 0;
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name)
{
    std::wstring joined(folder);
    if (!joined.empty() && joined.back() != L'\\')
        joined += L'\\';
    joined += name;
    return joined;
}

std::wstring ParentPath(std::wstring_view path)
{
    const std::size_t rootLength = PathRootLength(path);
    std::size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring_view::npos || cut < rootLength)
        return rootLength ? std::wstring(path.substr(0, rootLength)) + L'\\' : std::wstring();
    if (cut == path.size() - 1 && cut > rootLength)
        cut = path.find_last_of(L'\\', cut - 1);
    if (cut == std::wstring_view::npos || cut <= rootLength)
        return std::wstring(path.substr(0, rootLength)) + L'\\';
    return std::wstring(path.substr(0, cut));
}

std::wstring CaseFolded(std::wstring_view path)
{
    std::wstring folded(path);
    if (!folded.empty())
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.data(), static_cast<int>(path.size()),
                        folded.data(), static_cast<int>(folded.size()), nullptr, nullptr, 0);
    return folded;
}

std::wstring_view PathName(std::wstring_view path)
{
    const std::size_t rootLength = PathRootLength(path);
    const std::size_t cut = path.find_last_of(L'\\');
    if (cut == std::wstring_view::npos)
        return path.substr(rootLength);
    if (cut < rootLength)
        return {};
    return path.substr(cut + 1);
}

bool ShellReadsExactly(std::wstring_view path)
{
    if (path.size() >= MAX_PATH || path.find(L'/') != std::wstring_view::npos || StartsWith(path, ExtendedPrefix))
        return false;
    const bool share = StartsWith(path, L"\\\\");
    if (!share && !(HasDrive(path) && path.size() > 2 && path[2] == L'\\'))
        return false;
    std::wstring_view names = path.substr(share ? 2 : 3);
    if (names.empty())
        return !share;
    if (names.back() == L'\\')
        names.remove_suffix(1);
    // "." and ".." end in a period too: the shell folds them.
    int count = 0;
    for (std::size_t at = 0; at <= names.size(); ++count) {
        const std::size_t end = PartEnd(names, at);
        const std::wstring_view name = names.substr(at, end - at);
        if (name.empty() || name.back() == L' ' || name.back() == L'.')
            return false;
        at = end + 1;
    }
    // A share path names at least the server and the share.
    return !share || count >= 2;
}

std::wstring ResolveTargetPath(std::wstring_view target, std::wstring_view folder)
{
    if (StartsWith(target, ExtendedPrefix) || StartsWith(target, DevicePrefix))
        return std::wstring(target);
    std::wstring path = WithBackslashes(target);
    const std::wstring base = WithBackslashes(folder);
    if (StartsWith(path, L"\\\\") || (HasDrive(path) && path.size() > 2 && path[2] == L'\\')) {
        // Already a full path.
    } else if (HasDrive(path)) {
        // "C:x": relative to the drive's current folder, which is the folder's own when it is on
        // that drive; the current folders of other drives are not ours to know, so their root.
        if (HasDrive(base) && ::CompareStringOrdinal(base.data(), 1, path.data(), 1, TRUE) == CSTR_EQUAL)
            path = JoinPath(base, std::wstring_view(path).substr(2));
        else
            path.insert(2, 1, L'\\');
    } else if (!path.empty() && path[0] == L'\\') {
        path = base.substr(0, PathRootLength(base)) + path;
    } else {
        path = JoinPath(base, path);
    }
    // A folder without a root (none to resolve against) gives what it can: the joined text.
    if (PathRootLength(path) == 0)
        return path;
    return Normalised(path);
}

std::wstring WithoutSystemRedirection(std::wstring_view fullPath, std::wstring_view windowsFolder, bool underWow64)
{
    if (!underWow64 || windowsFolder.empty())
        return std::wstring(fullPath);
    std::wstring_view folder = windowsFolder;
    if (folder.back() == L'\\')
        folder.remove_suffix(1);
    const std::size_t prefix = StartsWith(fullPath, ExtendedPrefix) ? ExtendedPrefix.size() : 0;
    const std::wstring_view path = fullPath.substr(prefix);
    constexpr std::wstring_view System32 = L"\\System32";
    const std::size_t end = folder.size() + System32.size();
    if (!StartsWithIgnoringCase(path, folder) || !StartsWithIgnoringCase(path.substr(folder.size()), System32) ||
        (path.size() > end && path[end] != L'\\'))
        return std::wstring(fullPath);
    std::wstring result(fullPath.substr(0, prefix + folder.size()));
    result += L"\\Sysnative";
    result += path.substr(end);
    return result;
}

std::wstring ItemPath(std::wstring_view fullPath)
{
    struct Redirection {
        bool underWow64 = false;
        std::wstring windowsFolder;
    };
    // The redirector acts only on 32-bit programs under WOW64; the Windows folder is the
    // system's (GetWindowsDirectoryW may give a per-user folder on a terminal server).
    static const Redirection redirection = [] {
        Redirection r;
        BOOL wow64 = FALSE;
        r.underWow64 = ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
        wchar_t folder[MAX_PATH];
        const UINT length = ::GetSystemWindowsDirectoryW(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            r.windowsFolder.assign(folder, length);
        return r;
    }();
    return ExtendedLengthPath(WithoutSystemRedirection(fullPath, redirection.windowsFolder, redirection.underWow64));
}
