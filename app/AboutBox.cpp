#include "app/AboutBox.h"

#include "ui/ResultText.h"
#include "framework/Module.h"
#include "platform/SystemLibrary.h"

#include <cwchar>
#include <memory>

VersionTranslation ChooseTranslation(const std::vector<VersionTranslation>& translations, LANGID userLanguage)
{
    if (translations.empty())
        return VersionTranslation{0, 0};
    if (translations.size() > 1 && translations[1].language == userLanguage)
        return translations[1];
    return translations[0];
}

std::wstring AboutText(const std::wstring& productName, const std::wstring& productVersion,
                       const std::wstring& legalCopyright)
{
    return productName + L" " + productVersion + L"\n" + legalCopyright;
}

namespace {

// version.dll is bound when the box is first shown; where it is missing, the calls fail with
// ERROR_PROC_NOT_FOUND.
DWORD VersionInfoSize(const wchar_t* path, DWORD* handle)
{
    static const auto call = VersionLibrary().Find<decltype(&::GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
    if (!call) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return call(path, handle);
}

BOOL ReadVersionInfo(const wchar_t* path, DWORD size, void* block)
{
    static const auto call = VersionLibrary().Find<decltype(&::GetFileVersionInfoW)>("GetFileVersionInfoW");
    if (!call) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    return call(path, 0, size, block);
}

BOOL QueryVersionValue(const void* block, const wchar_t* subBlock, void** value, UINT* length)
{
    static const auto call = VersionLibrary().Find<decltype(&::VerQueryValueW)>("VerQueryValueW");
    if (!call) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    return call(block, subBlock, value, length);
}

std::wstring QueryVersionString(const void* block, VersionTranslation translation, const wchar_t* key)
{
    wchar_t subBlock[128];
    std::swprintf(subBlock, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation.language, translation.codePage, key);
    void* value = nullptr;
    UINT length = 0;
    if (!QueryVersionValue(block, subBlock, &value, &length) || !value || length == 0)
        return {};
    return std::wstring(static_cast<const wchar_t*>(value));
}

} // namespace

int ShowAboutBox(HWND owner, const wchar_t* path, UINT captionId, UINT iconId)
{
    DWORD handle = 0;
    const DWORD size = VersionInfoSize(path, &handle);
    if (size == 0 && HResultFromWin32(::GetLastError()) < 0)
        return 0;

    std::unique_ptr<unsigned char[]> block;
    if (size != 0) {
        block.reset(new (std::nothrow) unsigned char[size]);
        if (!block || !ReadVersionInfo(path, size, block.get()))
            return 0;
    }

    std::vector<VersionTranslation> translations;
    std::wstring name, version, legal;
    if (block) {
        void* fixed = nullptr;
        UINT fixedLength = 0;
        QueryVersionValue(block.get(), L"\\", &fixed, &fixedLength);
        void* pairs = nullptr;
        UINT pairsLength = 0;
        if (QueryVersionValue(block.get(), L"\\VarFileInfo\\Translation", &pairs, &pairsLength) && pairs) {
            const auto* first = static_cast<const VersionTranslation*>(pairs);
            translations.assign(first, first + pairsLength / sizeof(VersionTranslation));
        }
        const VersionTranslation chosen = ChooseTranslation(translations, ::GetUserDefaultLangID());
        legal = QueryVersionString(block.get(), chosen, L"LegalCopyright");
        version = QueryVersionString(block.get(), chosen, L"ProductVersion");
        name = QueryVersionString(block.get(), chosen, L"ProductName");
    }
    const std::wstring text = AboutText(name, version, legal);

    MSGBOXPARAMSW params{};
    params.cbSize = sizeof params;
    params.hwndOwner = owner;
    params.hInstance = AppModule().GetResourceInstance();
    params.lpszText = text.c_str();
    params.lpszCaption = MAKEINTRESOURCEW(captionId);
    params.dwStyle = MB_OK | (iconId ? MB_USERICON : 0);
    params.lpszIcon = MAKEINTRESOURCEW(iconId);
    ::MessageBeep(MB_ICONASTERISK);
    return ::MessageBoxIndirectW(&params);
}
