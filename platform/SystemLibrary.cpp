#include "platform/SystemLibrary.h"

SystemLibrary::SystemLibrary(const wchar_t* fileName) noexcept
    : module_(::LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
{
    if (!module_)
        loadError_ = ::GetLastError();
}

FARPROC SystemLibrary::Address(const char* name) const noexcept
{
    if (!module_) {
        ::SetLastError(loadError_);
        return nullptr;
    }
    return ::GetProcAddress(module_.get(), name);
}

const SystemLibrary& OleAutomationLibrary()
{
    static const SystemLibrary library(L"oleaut32.dll");
    return library;
}

const SystemLibrary& InternetLibrary()
{
    static const SystemLibrary library(L"wininet.dll");
    return library;
}

const SystemLibrary& VersionLibrary()
{
    static const SystemLibrary library(L"version.dll");
    return library;
}
