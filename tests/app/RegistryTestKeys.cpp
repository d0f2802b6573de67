#include "RegistryTestKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace {

std::atomic<int> scratchCount{0};

}

ScratchKey::ScratchKey()
{
    path_ = L"Software\\ChronsetTests\\" + std::to_wstring(sizeof(void*) * 8) + L"-" +
            std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++scratchCount);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    const LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             key_.put(), nullptr);
    EXPECT_EQ(status, ERROR_SUCCESS);
}

ScratchKey::~ScratchKey()
{
    key_.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
}

KeySnapshot ReadKey(HKEY root, const std::wstring& path)
{
    KeySnapshot snapshot;
    RegistryKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return snapshot;
    snapshot.exists = true;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (::RegEnumKeyExW(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        snapshot.subkeys.emplace_back(name, nameLength);
    }
    std::sort(snapshot.subkeys.begin(), snapshot.subkeys.end());
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[4096];
        DWORD dataSize = sizeof(data);
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        const std::wstring valueName(name, nameLength);
        const auto* text = reinterpret_cast<const wchar_t*>(data);
        const std::size_t chars = dataSize / sizeof(wchar_t);
        // A string value as written here ends in exactly one terminating zero.
        if (type == REG_SZ && chars > 0 && text[chars - 1] == L'\0')
            snapshot.values[valueName] = std::wstring(text, chars - 1);
        else
            snapshot.nonStringValues.push_back(valueName);
    }
    return snapshot;
}

bool KeyExists(HKEY root, const std::wstring& path)
{
    RegistryKey key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void CreateKeyWithValue(HKEY root, const std::wstring& path, const std::wstring& valueName, const std::wstring& data)
{
    RegistryKey key;
    ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void DeleteKeyTree(HKEY root, const std::wstring& path)
{
    ::RegDeleteTreeW(root, path.c_str());
}

std::map<std::wstring, std::wstring> ExpectedVerbValues(const std::wstring& programPath)
{
    const std::wstring quoted = L"\"" + programPath + L"\"";
    return {
        {L"Icon", quoted},
        {L"MUIVerb", L"@" + quoted + L",-256"},
        {L"MultiSelectModel", L"Player"},
        {L"Position", L"Bottom"},
    };
}

void ExpectRegisteredExactly(HKEY root, const std::wstring& programPath)
{
    using Values = std::map<std::wstring, std::wstring>;
    const KeySnapshot verb = ReadKey(root, VerbKeyPath);
    ASSERT_TRUE(verb.exists);
    EXPECT_EQ(verb.values, ExpectedVerbValues(programPath));
    EXPECT_TRUE(verb.nonStringValues.empty());
    EXPECT_EQ(verb.subkeys, std::vector<std::wstring>{L"DropTarget"});
    const KeySnapshot dropTarget = ReadKey(root, DropTargetKeyPath);
    EXPECT_EQ(dropTarget.values, (Values{{L"Clsid", L"{3D452E27-4C32-4BFD-90B0-810254A3030D}"}}));
    EXPECT_TRUE(dropTarget.nonStringValues.empty());
    EXPECT_TRUE(dropTarget.subkeys.empty());

    const KeySnapshot verbClass = ReadKey(root, ClassKeyPath);
    ASSERT_TRUE(verbClass.exists);
    EXPECT_EQ(verbClass.values, (Values{{L"", L"Nebbi's Timestamp Editor"}}));
    EXPECT_TRUE(verbClass.nonStringValues.empty());
    EXPECT_EQ(verbClass.subkeys, std::vector<std::wstring>{L"LocalServer32"});
    const KeySnapshot server = ReadKey(root, LocalServerKeyPath);
    EXPECT_EQ(server.values, (Values{{L"", L"\"" + programPath + L"\""}}));
    EXPECT_TRUE(server.nonStringValues.empty());
    EXPECT_TRUE(server.subkeys.empty());
}
