#include "res/resource.h"
#include "tests/res/ResourceData.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

TEST(RegistryScript, IsTheExactLanguageNeutralScriptWithTabsAndCrLf)
{
    constexpr std::string_view script =
        "HKEY_CURRENT_USER\r\n"
        "{\r\n"
        "\tNoRemove Software\r\n"
        "\t{\r\n"
        "\t\tNoRemove Classes\r\n"
        "\t\t{\r\n"
        "\t\t\tNoRemove CLSID\r\n"
        "\t\t\t{\r\n"
        "\t\t\t\tForceRemove {3D452E27-4C32-4BFD-90B0-810254A3030D} = s 'Nebbi''s Timestamp Editor'\r\n"
        "\t\t\t\t{\r\n"
        "\t\t\t\t\tLocalServer32 = s '%Module%'\r\n"
        "\t\t\t\t}\r\n"
        "\t\t\t}\r\n"
        "\t\t\tNoRemove AllFilesystemObjects\r\n"
        "\t\t\t{\r\n"
        "\t\t\t\tNoRemove shell\r\n"
        "\t\t\t\t{\r\n"
        "\t\t\t\t\tForceRemove chronset\r\n"
        "\t\t\t\t\t{\r\n"
        "\t\t\t\t\t\tDropTarget\r\n"
        "\t\t\t\t\t\t{\r\n"
        "\t\t\t\t\t\t\tval Clsid = s '{3D452E27-4C32-4BFD-90B0-810254A3030D}'\r\n"
        "\t\t\t\t\t\t}\r\n"
        "\r\n"
        "\t\t\t\t\t\tval Icon = s '%Module%'\r\n"
        "\t\t\t\t\t\tval MUIVerb = s '@%Module%,-256'\r\n"
        "\t\t\t\t\t\tval MultiSelectModel = s 'Player'\r\n"
        "\t\t\t\t\t\tval Position = s 'Bottom'\r\n"
        "\t\t\t\t\t}\r\n"
        "\t\t\t\t}\r\n"
        "\t\t\t}\r\n"
        "\t\t}\r\n"
        "\t}\r\n"
        "}\r\n";
    const auto bytes = ResourceBytes(L"REGISTRY", IDR_REGISTRY, NeutralLanguage);
    const std::string_view actual(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_EQ(actual, script);
}

// The project's version as CMake gives it to this test ("1.2.3" or "1.2.3.4"), in its four
// 16-bit parts.
std::array<WORD, 4> ProjectVersionParts()
{
    std::array<WORD, 4> parts{};
    size_t part = 0;
    for (const char c : std::string_view(CHRONSET_PROJECT_VERSION)) {
        if (c == '.')
            ++part;
        else if (part < parts.size())
            parts[part] = static_cast<WORD>(parts[part] * 10 + (c - '0'));
    }
    return parts;
}

struct OwnVersionInfo {
    std::vector<std::byte> data;

    std::wstring Text(const std::wstring& table, const std::wstring& key) const
    {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = L"\\StringFileInfo\\" + table + L"\\" + key;
        if (!::VerQueryValueW(data.data(), path.c_str(), &value, &length) || !value)
            return L"(missing)";
        return static_cast<const wchar_t*>(value);
    }
};

OwnVersionInfo ReadOwnVersionInfo()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    OwnVersionInfo block;
    block.data.resize(size);
    if (size == 0 || !::GetFileVersionInfoW(path, 0, size, block.data.data()))
        block.data.clear();
    return block;
}

TEST(VersionBlock, HasTheProjectVersionAndOneStringTablePerTranslationInOrder)
{
    const auto block = ReadOwnVersionInfo();
    ASSERT_FALSE(block.data.empty());
    const auto version = ProjectVersionParts();
    const std::string_view projectVersion = CHRONSET_PROJECT_VERSION;
    std::wstring fileVersion;
    for (const WORD part : version)
        fileVersion += (fileVersion.empty() ? L"" : L".") + std::to_wstring(part);

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(version[1], version[0])));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(version[3], version[2])));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    ASSERT_TRUE(::VerQueryValueW(block.data.data(), L"\\VarFileInfo\\Translation", &value, &length));
    const std::vector<WORD> translations(static_cast<const WORD*>(value),
                                         static_cast<const WORD*>(value) + length / sizeof(WORD));
    EXPECT_EQ(translations, (std::vector<WORD>{0x0409, 1200, 0x0411, 1200}));

    for (const wchar_t* table : {L"040904b0", L"041104b0"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(table)));
        EXPECT_EQ(block.Text(table, L"ProductName"), L"Nebbi's Timestamp Editor");
        EXPECT_EQ(block.Text(table, L"ProductVersion"), std::wstring(projectVersion.begin(), projectVersion.end()));
        EXPECT_EQ(block.Text(table, L"FileVersion"), fileVersion);
        EXPECT_EQ(block.Text(table, L"LegalCopyright"), L"Copyright (C) 2026 Nebbi");
        for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"InternalName"}) {
            const auto text = block.Text(table, key);
            EXPECT_FALSE(text.empty() || text == L"(missing)") << testing::PrintToString(std::wstring(key));
        }
        const auto fileName = block.Text(table, L"OriginalFilename");
        EXPECT_EQ(fileName, sizeof(void*) == 8 ? L"chronset64.exe" : L"chronset32.exe");
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)

TEST(ApplicationIcon, HasBitmapsWithAlphaAtSmallSizesAndAPngAt256)
{
    ByteReader group(ResourceBytes(RT_GROUP_ICON, IDI_APP, NeutralLanguage));
    EXPECT_EQ(group.Read<WORD>(), 0);
    EXPECT_EQ(group.Read<WORD>(), 1); // icons, not cursors
    const auto count = group.Read<WORD>();
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const auto entry = group.Read<GroupIconEntry>();
        ASSERT_TRUE(group.ok());
        const int size = entry.width == 0 ? 256 : entry.width;
        SCOPED_TRACE(size);
        sizes.insert(size);
        EXPECT_EQ(entry.height, entry.width);
        EXPECT_EQ(entry.bitCount, 32);
        const auto image = ResourceBytes(RT_ICON, entry.id, NeutralLanguage);
        ASSERT_EQ(image.size(), entry.bytesInResource);
        if (size == 256) {
            constexpr std::array<unsigned char, 8> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
            ASSERT_GE(image.size(), 24u);
            EXPECT_EQ(std::memcmp(image.data(), signature.data(), signature.size()), 0);
            const auto byte = [&](size_t at) { return static_cast<unsigned>(image[at]); };
            EXPECT_EQ(byte(16) << 24 | byte(17) << 16 | byte(18) << 8 | byte(19), 256u); // IHDR width
            continue;
        }
        ByteReader bitmap(image);
        const auto header = bitmap.Read<BITMAPINFOHEADER>();
        ASSERT_TRUE(bitmap.ok());
        EXPECT_EQ(header.biWidth, size);
        EXPECT_EQ(header.biHeight, 2 * size); // colour rows and mask rows
        EXPECT_EQ(header.biBitCount, 32);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
        const size_t maskBytes = static_cast<size_t>((size + 31) / 32 * 4 * size);
        EXPECT_EQ(image.size(), sizeof(BITMAPINFOHEADER) + static_cast<size_t>(size * size * 4) + maskBytes);
        // The edges are anti-aliased through the alpha channel, the corners are transparent.
        std::set<int> alphaKinds;
        for (size_t p = 0; p < static_cast<size_t>(size * size); ++p) {
            const auto alpha = static_cast<int>(image[sizeof(BITMAPINFOHEADER) + p * 4 + 3]);
            alphaKinds.insert(alpha == 0 ? 0 : alpha == 255 ? 2 : 1);
        }
        EXPECT_EQ(alphaKinds, (std::set<int>{0, 1, 2}));
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 256}));
}

TEST(ApplicationIcon, LoadsAtTheSizesTheSheetAsksFor)
{
    for (int size : {16, 32, 48}) {
        HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                     size, size, LR_DEFAULTCOLOR));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        EXPECT_TRUE(::GetIconInfo(icon, &info));
        BITMAP color{};
        EXPECT_TRUE(::GetObjectW(info.hbmColor, sizeof(color), &color));
        EXPECT_EQ(color.bmWidth, size);
        EXPECT_EQ(color.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
}

TEST(Manifest, SelectsCommonControlsSixAndDeclaresWindowsTen)
{
    // The common controls come from the side-by-side assembly the manifest names. (Wine's copy of
    // version 6 reports 5.81 from DllGetVersion, so the module's location is what shows it.)
    HMODULE commonControls = ::GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(commonControls, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(::GetModuleFileNameW(commonControls, path, MAX_PATH), 0u);
    EXPECT_NE(::StrStrIW(path, L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."), nullptr)
        << testing::PrintToString(std::wstring(path));

    // Without the supportedOS entry the platform reports an older version to this test.
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = 10;
    const DWORDLONG condition =
        ::VerSetConditionMask(::VerSetConditionMask(::VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL),
                                                    VER_MINORVERSION, VER_GREATER_EQUAL),
                              VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    EXPECT_TRUE(::VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, condition));
}

TEST(Manifest, DeclaresLongPathAwareness)
{
    // Windows 10 1607 and later lift the MAX_PATH limit of the ordinary path calls only for a
    // program whose manifest says so (and where the system's LongPathsEnabled is set).
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    ASSERT_NE(data, nullptr);
    const std::string manifest(data, ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"
                            "</longPathAware>"),
              std::string::npos);
}
} // namespace
