#include "tests/support/TempFolder.h"

#include "platform/Handles.h"
#include "platform/ItemPath.h"

namespace {

// Through the extended-length form, so that names with trailing blanks and deep trees go too.
void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileW(JoinPath(folder, L"*").c_str(), &entry));
    if (search) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = JoinPath(folder, name);
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path);
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ::RemoveDirectoryW(path.c_str());
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(search.get(), &entry));
    }
    search.reset();
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

TempFolder::TempFolder()
{
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"chronset-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (::CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(ItemPath(path_));
}

std::wstring TempFolder::MakeFile(const std::wstring& name) const
{
    const std::wstring path = Child(name);
    FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return path;
}

std::wstring TempFolder::MakeFolder(const std::wstring& name) const
{
    const std::wstring path = Child(name);
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}
