#include "app/Registration.h"

#include "app/RegistryAccess.h"
#include "app/RegistryScriptApplier.h"
#include "ui/ResultText.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

constexpr WORD RegistryScriptId = 128;

std::wstring DoubleSingleQuotes(const std::wstring& text)
{
    std::wstring result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        result += c;
        if (c == L'\'')
            result += L'\'';
    }
    return result;
}

} // namespace

ReplacementMap ProgramReplacements(const std::wstring& programPath)
{
    const std::wstring raw = DoubleSingleQuotes(programPath);
    ReplacementMap replacements;
    replacements[L"Module"] = L'"' + raw + L'"';
    replacements[L"Module_Raw"] = raw;
    replacements[L"APPID"] = std::wstring();
    return replacements;
}

HRESULT ReadModulePath(HMODULE module, std::wstring& path)
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(module, buffer, MAX_PATH);
    if (length == 0)
        return LastErrorResult();
    if (length >= MAX_PATH)
        return HResultFromWin32(ERROR_INSUFFICIENT_BUFFER);
    path.assign(buffer, length);
    return S_OK;
}

HRESULT LoadRegistryScript(const std::wstring& programPath, WORD id, std::wstring& script)
{
    LibraryModule program(::LoadLibraryExW(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!program)
        return LastErrorResult();
    HRSRC resource = ::FindResourceW(program.get(), MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!resource)
        return LastErrorResult();
    const DWORD size = ::SizeofResource(program.get(), resource);
    HGLOBAL loaded = ::LoadResource(program.get(), resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return LastErrorResult();

    // The text ends at its size or at a terminating zero, whichever comes first.
    const char* bytes = static_cast<const char*>(data);
    const auto* end = static_cast<const char*>(std::memchr(bytes, '\0', size));
    const int length = static_cast<int>(end ? end - bytes : size);
    if (length == 0) {
        script.clear();
        return S_OK;
    }
    const int wide = ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, length, nullptr, 0);
    if (wide == 0)
        return LastErrorResult();
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    if (::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, length, text.data(), wide) == 0)
        return LastErrorResult();
    script = std::move(text);
    return S_OK;
}

HRESULT RegisterVerb(bool registering)
{
    std::wstring programPath;
    HRESULT hr = ReadModulePath(nullptr, programPath);
    if (FAILED(hr))
        return hr;
    std::wstring script;
    hr = LoadRegistryScript(programPath, RegistryScriptId, script);
    if (FAILED(hr))
        return hr;
    SystemRegistry registry;
    return RunRegistryScript(script, ProgramReplacements(programPath),
                             registering ? ScriptMode::Register : ScriptMode::Unregister, HKEY_CURRENT_USER, registry);
}
