#include "platform/Handles.h"

#include "tests/support/TempFolder.h"
#include "tests/support/WindowTestSupport.h"
#include "RegistryTestKeys.h"

#include <gtest/gtest.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The installer package as a user meets it: msiexec installs it silently for the current user,
// a package one version higher replaces it, msiexec removes it. Each test starts and ends with
// nothing of the program installed. CHRONSET_PACKAGE and CHRONSET_UPGRADE_PACKAGE name the two
// packages, CHRONSET_PACKAGE_VERSION and CHRONSET_UPGRADE_VERSION their versions and
// CHRONSET_PROGRAM_NAME the program they install.

namespace {

constexpr const wchar_t* ProductName = L"Nebbi's Timestamp Editor";
constexpr const wchar_t* UninstallKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr DWORD ProgramLimitMs = 60000;
// msiexec's result when a launch condition stops the install.
constexpr DWORD InstallFailure = 1603;

std::wstring Setting(const char* name)
{
    const char* value = std::getenv(name);
    std::wstring text = value ? std::wstring(value, value + std::strlen(value)) : std::wstring();
    for (wchar_t& c : text) {
        if (c == L'/')
            c = L'\\';
    }
    return text;
}

std::wstring InstallFolder()
{
    CoTaskMemText localAppData;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, localAppData.put())))
        return std::wstring();
    return std::wstring(localAppData.c_str()) + L"\\Programs\\" + ProductName;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The bytes of a small file; empty when it cannot be read.
std::string FileText(const std::wstring& path)
{
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    std::string text(64 * 1024, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr))
        return std::string();
    text.resize(read);
    return text;
}

// Runs a command line and waits for its end: the exit code, or STILL_ACTIVE when it had to be
// ended after the limit.
DWORD RunToEnd(const std::wstring& application, std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        ADD_FAILURE() << "CreateProcessW failed: " << ::GetLastError();
        return STILL_ACTIVE;
    }
    FileHandle processHandle(process.hProcess);
    FileHandle threadHandle(process.hThread);
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(processHandle.get(), ProgramLimitMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(processHandle.get(), &code);
    else
        ::TerminateProcess(processHandle.get(), STILL_ACTIVE);
    return code;
}

DWORD Msiexec(const wchar_t* action, const std::wstring& package)
{
    wchar_t system[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring msiexec = std::wstring(system, length) + L"\\msiexec.exe";
    return RunToEnd(msiexec, L"\"" + msiexec + L"\" " + action + L" \"" + package + L"\" /qn");
}

// Every key below a path with its string values, as "sub\key path" -> values; the other kinds
// of values by name under "?".
using RegistryTree = std::map<std::wstring, std::map<std::wstring, std::wstring>>;

void ReadTree(const std::wstring& path, const std::wstring& relative, RegistryTree& tree)
{
    const KeySnapshot key = ReadKey(HKEY_CURRENT_USER, path);
    if (!key.exists)
        return;
    tree[relative] = key.values;
    for (const std::wstring& other : key.nonStringValues)
        tree[relative + L"?"][other] = L"";
    for (const std::wstring& subkey : key.subkeys)
        ReadTree(path + L"\\" + subkey, relative + L"\\" + subkey, tree);
}

RegistryTree Registration()
{
    RegistryTree tree;
    ReadTree(VerbKeyPath, L"verb", tree);
    ReadTree(ClassKeyPath, L"class", tree);
    return tree;
}

// The entries of "Installed apps" that name the product, as key name -> version, from the
// machine's and the user's lists in both registry views (where the entry of a per-user package
// goes depends on the installer and on the package's architecture).
// What "Installed apps" shows of the product.
struct InstalledEntry {
    std::wstring version;
    std::wstring helpLink;

    bool operator==(const InstalledEntry&) const = default;
};

std::map<std::wstring, InstalledEntry> InstalledEntries()
{
    std::map<std::wstring, InstalledEntry> entries;
    for (const auto& [root, view] :
         {std::pair{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY}, std::pair{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY},
          std::pair{HKEY_CURRENT_USER, KEY_WOW64_64KEY}}) {
        RegistryKey list;
        if (::RegOpenKeyExW(root, UninstallKeyPath, 0, KEY_READ | view, list.put()) != ERROR_SUCCESS)
            continue;
        for (DWORD index = 0;; ++index) {
            wchar_t name[256];
            DWORD nameLength = 256;
            if (::RegEnumKeyExW(list.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            wchar_t text[1024] = {};
            DWORD size = sizeof(text);
            if (::RegGetValueW(list.get(), name, L"DisplayName", RRF_RT_REG_SZ, nullptr, text, &size) !=
                    ERROR_SUCCESS ||
                std::wstring(text) != ProductName)
                continue;
            const auto value = [&](const wchar_t* valueName) {
                size = sizeof(text);
                text[0] = L'\0';
                ::RegGetValueW(list.get(), name, valueName, RRF_RT_REG_SZ, nullptr, text, &size);
                return std::wstring(text);
            };
            entries[name] = {value(L"DisplayVersion"), value(L"HelpLink")};
        }
    }
    return entries;
}

class Package : public testing::Test {
protected:
    void SetUp() override
    {
        package_ = Setting("CHRONSET_PACKAGE");
        upgrade_ = Setting("CHRONSET_UPGRADE_PACKAGE");
        version_ = Setting("CHRONSET_PACKAGE_VERSION");
        upgradeVersion_ = Setting("CHRONSET_UPGRADE_VERSION");
        folder_ = InstallFolder();
        program_ = folder_ + L"\\" + Setting("CHRONSET_PROGRAM_NAME");
        ASSERT_TRUE(Exists(package_)) << "CHRONSET_PACKAGE must name the package";
        ASSERT_TRUE(Exists(upgrade_)) << "CHRONSET_UPGRADE_PACKAGE must name the higher version's package";
        ASSERT_FALSE(version_.empty() || upgradeVersion_.empty() || folder_.empty());
        ASSERT_FALSE(Exists(folder_)) << "the program is installed already";
        ASSERT_TRUE(InstalledEntries().empty()) << "the product is installed already";
    }
    // Whatever a failed test left installed goes, so that the next test starts clean.
    void TearDown() override
    {
        Msiexec(L"/x", upgrade_);
        Msiexec(L"/x", package_);
        DeleteKeyTree(HKEY_CURRENT_USER, VerbKeyPath);
        DeleteKeyTree(HKEY_CURRENT_USER, ClassKeyPath);
    }

    void ExpectRemoved()
    {
        EXPECT_FALSE(Exists(program_));
        EXPECT_FALSE(Exists(folder_ + L"\\README.txt"));
        EXPECT_FALSE(Exists(folder_)) << "the install folder is left";
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, VerbKeyPath));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ClassKeyPath));
        EXPECT_TRUE(InstalledEntries().empty());
    }

    std::wstring package_, upgrade_, version_, upgradeVersion_, folder_, program_;
};

TEST_F(Package, InstallsSilentlyForTheUserWithTheKeysRegServerWritesAndRemovesThemAll)
{
    ASSERT_EQ(Msiexec(L"/i", package_), 0u);
    EXPECT_TRUE(Exists(program_));
    EXPECT_TRUE(Exists(folder_ + L"\\LICENSE.txt"));
    const std::string readme = FileText(folder_ + L"\\README.txt");
    const std::string version(version_.begin(), version_.end());
    EXPECT_EQ(readme.rfind("Nebbi's Timestamp Editor " + version + "\r\n", 0), 0u) << readme.substr(0, 80);
    ExpectRegisteredExactly(HKEY_CURRENT_USER, program_);
    const auto entries = InstalledEntries();
    ASSERT_EQ(entries.size(), 1u) << "one entry in Installed apps";
    EXPECT_EQ(entries.begin()->second.version, version_);
    // Its help link opens the README installed beside the program.
    EXPECT_EQ(entries.begin()->second.helpLink, folder_ + L"\\README.txt");

    // The installed program's own registration, run from where the package put it, writes
    // exactly what the package wrote.
    const RegistryTree installed = Registration();
    ASSERT_EQ(RunToEnd(program_, L"\"" + program_ + L"\" /UnregServer"), 0u);
    EXPECT_TRUE(Registration().empty());
    ASSERT_EQ(RunToEnd(program_, L"\"" + program_ + L"\" /RegServer"), 0u);
    EXPECT_EQ(Registration(), installed);

    ASSERT_EQ(Msiexec(L"/x", package_), 0u);
    ExpectRemoved();
}

TEST_F(Package, InstalledProgramOpensTheSheetOnAFile)
{
    ASSERT_EQ(Msiexec(L"/i", package_), 0u);
    TempFolder folder;
    const std::wstring file = folder.MakeFile(L"target.txt");
    std::wstring commandLine = L"\"" + program_ + L"\" \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(program_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process))
        << ::GetLastError();
    FileHandle processHandle(process.hProcess);
    FileHandle threadHandle(process.hThread);
    HWND sheet = WaitForSheetOf(process.dwProcessId);
    EXPECT_TRUE(sheet) << "no sheet window appeared";
    if (sheet)
        ::SendMessageW(::GetDlgItem(sheet, IDCANCEL), BM_CLICK, 0, 0);
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(processHandle.get(), 20000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(processHandle.get(), &code);
    else
        ::TerminateProcess(processHandle.get(), 99);
    EXPECT_EQ(code, 0u) << "Cancel ends the sheet with 0";
}

TEST_F(Package, HigherVersionReplacesItInPlaceAndTheOlderOneIsRefusedThen)
{
    ASSERT_EQ(Msiexec(L"/i", package_), 0u);
    const auto before = InstalledEntries();
    ASSERT_EQ(before.size(), 1u);

    ASSERT_EQ(Msiexec(L"/i", upgrade_), 0u);
    const auto after = InstalledEntries();
    ASSERT_EQ(after.size(), 1u) << "one entry in Installed apps";
    EXPECT_EQ(after.begin()->second.version, upgradeVersion_);
    EXPECT_NE(after.begin()->first, before.begin()->first) << "the product code changes with the version";
    const std::string readme = FileText(folder_ + L"\\README.txt");
    const std::string upgraded(upgradeVersion_.begin(), upgradeVersion_.end());
    EXPECT_EQ(readme.rfind("Nebbi's Timestamp Editor " + upgraded + "\r\n", 0), 0u) << "the files are the new ones";
    ExpectRegisteredExactly(HKEY_CURRENT_USER, program_);

    EXPECT_EQ(Msiexec(L"/i", package_), InstallFailure) << "the older package must refuse";
    EXPECT_EQ(InstalledEntries(), after);
    EXPECT_EQ(FileText(folder_ + L"\\README.txt"), readme);
    ExpectRegisteredExactly(HKEY_CURRENT_USER, program_);

    ASSERT_EQ(Msiexec(L"/x", upgrade_), 0u);
    ExpectRemoved();
}

} // namespace
