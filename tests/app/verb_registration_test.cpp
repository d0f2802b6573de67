#include "app/Registration.h"
#include "app/RegistryScriptApplier.h"
#include "ui/ResultText.h"

#include "RegistryTestKeys.h"
#include "VerbScript.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

enum class VerbRun {
    // The script text with a program path holding a quote and blanks, under a scratch key.
    ScriptOnScratchKey,
    // RegisterVerb itself: this program's resource and path, under HKEY_CURRENT_USER.
    RegisterVerbOnCurrentUser,
};

std::wstring ThisProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

class VerbRegistration : public testing::TestWithParam<VerbRun> {
protected:
    void SetUp() override
    {
        if (GetParam() == VerbRun::RegisterVerbOnCurrentUser) {
            root_ = HKEY_CURRENT_USER;
            programPath_ = ThisProgramPath();
            DeleteKeyTree(root_, VerbKeyPath);
        } else {
            scratch_ = std::make_unique<ScratchKey>();
            root_ = scratch_->get();
            programPath_ = L"C:\\Program Files\\Nebbi's Tools\\''it''s\\chronset64.exe";
        }
    }

    void TearDown() override
    {
        if (GetParam() == VerbRun::RegisterVerbOnCurrentUser)
            DeleteKeyTree(root_, VerbKeyPath);
    }

    HRESULT Run(bool registering)
    {
        if (GetParam() == VerbRun::RegisterVerbOnCurrentUser)
            return RegisterVerb(registering);
        SystemRegistry registry;
        return RunRegistryScript(VerbScriptText, ProgramReplacements(programPath_),
                                 registering ? ScriptMode::Register : ScriptMode::Unregister, root_, registry);
    }

    void ExpectRegisteredExactly()
    {
        const KeySnapshot verb = ReadKey(root_, VerbKeyPath);
        ASSERT_TRUE(verb.exists);
        EXPECT_EQ(verb.values, ExpectedVerbValues(programPath_));
        EXPECT_TRUE(verb.nonStringValues.empty());
        EXPECT_EQ(verb.subkeys, std::vector<std::wstring>{L"command"});
        const KeySnapshot command = ReadKey(root_, CommandKeyPath);
        EXPECT_EQ(command.values, (std::map<std::wstring, std::wstring>{{L"", ExpectedCommandLine(programPath_)}}));
        EXPECT_TRUE(command.nonStringValues.empty());
        EXPECT_TRUE(command.subkeys.empty());
    }

    std::wstring At(const wchar_t* relative) const { return std::wstring(VerbKeyPath) + L"\\" + relative; }

    std::unique_ptr<ScratchKey> scratch_;
    HKEY root_ = nullptr;
    std::wstring programPath_;
};

TEST_P(VerbRegistration, RegisteringTwiceLeavesExactlyTheScriptedKeys)
{
    ASSERT_EQ(Run(true), S_OK);
    ExpectRegisteredExactly();

    CreateKeyWithValue(root_, At(L"extra\\deeper"), L"x", L"y");
    CreateKeyWithValue(root_, At(L"command\\sub"), L"x", L"y");
    CreateKeyWithValue(root_, VerbKeyPath, L"Extra", L"by hand");
    CreateKeyWithValue(root_, VerbKeyPath, L"Position", L"Top");

    ASSERT_EQ(Run(true), S_OK);
    ExpectRegisteredExactly();
}

TEST_P(VerbRegistration, UnregisteringRemovesTheVerbAndKeepsTheShellKey)
{
    ASSERT_EQ(Run(true), S_OK);
    // Values the script does not name do not keep the key.
    CreateKeyWithValue(root_, VerbKeyPath, L"Extra", L"by hand");
    CreateKeyWithValue(root_, CommandKeyPath, L"Extra", L"by hand");

    EXPECT_EQ(Run(false), S_OK);
    EXPECT_FALSE(KeyExists(root_, VerbKeyPath));
    EXPECT_TRUE(KeyExists(root_, ShellKeyPath));

    EXPECT_EQ(Run(false), S_OK);
    EXPECT_FALSE(KeyExists(root_, VerbKeyPath));
    EXPECT_TRUE(KeyExists(root_, ShellKeyPath));
}

TEST_P(VerbRegistration, AHandAddedSubkeyKeepsTheVerbKeyWithoutTheScriptedValues)
{
    ASSERT_EQ(Run(true), S_OK);
    CreateKeyWithValue(root_, At(L"extra"), L"x", L"y");
    CreateKeyWithValue(root_, VerbKeyPath, L"Extra", L"by hand");

    EXPECT_EQ(Run(false), S_OK);
    const KeySnapshot verb = ReadKey(root_, VerbKeyPath);
    ASSERT_TRUE(verb.exists);
    EXPECT_EQ(verb.subkeys, std::vector<std::wstring>{L"extra"});
    EXPECT_EQ(verb.values, (std::map<std::wstring, std::wstring>{{L"Extra", L"by hand"}}));
    EXPECT_EQ(ReadKey(root_, At(L"extra")).values, (std::map<std::wstring, std::wstring>{{L"x", L"y"}}));
}

TEST_P(VerbRegistration, AHandAddedSubkeyOfCommandKeepsCommandAndTheVerbKey)
{
    ASSERT_EQ(Run(true), S_OK);
    CreateKeyWithValue(root_, At(L"command\\sub"), L"x", L"y");

    EXPECT_EQ(Run(false), S_OK);
    const KeySnapshot verb = ReadKey(root_, VerbKeyPath);
    ASSERT_TRUE(verb.exists);
    EXPECT_EQ(verb.subkeys, std::vector<std::wstring>{L"command"});
    EXPECT_TRUE(verb.values.empty());
    const KeySnapshot command = ReadKey(root_, CommandKeyPath);
    EXPECT_EQ(command.subkeys, std::vector<std::wstring>{L"sub"});
    EXPECT_EQ(command.values, (std::map<std::wstring, std::wstring>{{L"", ExpectedCommandLine(programPath_)}}));

    // Registering again replaces the remains.
    ASSERT_EQ(Run(true), S_OK);
    ExpectRegisteredExactly();
}

INSTANTIATE_TEST_SUITE_P(Verb, VerbRegistration,
                         testing::Values(VerbRun::ScriptOnScratchKey, VerbRun::RegisterVerbOnCurrentUser),
                         [](const testing::TestParamInfo<VerbRun>& run) {
                             return run.param == VerbRun::ScriptOnScratchKey ? "ScriptOnScratchKey"
                                                                             : "RegisterVerbOnCurrentUser";
                         });

TEST(ProgramReplacements, DoublesSingleQuotesAndQuotesTheModule)
{
    const ReplacementMap map = ProgramReplacements(L"C:\\a b\\it's\\x.exe");
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(map.at(L"Module"), L"\"C:\\a b\\it''s\\x.exe\"");
    EXPECT_EQ(map.at(L"module_raw"), L"C:\\a b\\it''s\\x.exe");
    EXPECT_EQ(map.at(L"AppId"), L"");
}

TEST(LoadRegistryScript, ReadsTheProgramsVerbScript)
{
    std::wstring script;
    ASSERT_EQ(LoadRegistryScript(ThisProgramPath(), 128, script), S_OK);
    EXPECT_EQ(script, VerbScriptText);

    EXPECT_EQ(LoadRegistryScript(ThisProgramPath(), 4242, script), HResultFromWin32(ERROR_RESOURCE_NAME_NOT_FOUND));
    const HRESULT missing = LoadRegistryScript(ThisProgramPath() + L".missing", 128, script);
    EXPECT_TRUE(FAILED(missing));
    EXPECT_EQ(HRESULT_FACILITY(missing), FACILITY_WIN32);
}

// This program, copied into a folder chain so that its full path has exactly the given length
// (reached through \\?\ names), loaded as a module and removed again.
class ModuleAtPathLength {
public:
    explicit ModuleAtPathLength(std::size_t length)
    {
        wchar_t temp[MAX_PATH];
        const DWORD tempLength = ::GetTempPathW(MAX_PATH, temp);
        std::wstring folder = std::wstring(temp, tempLength) + L"modpath-" + std::to_wstring(::GetCurrentProcessId());
        folders_.push_back(L"\\\\?\\" + folder);
        ::CreateDirectoryW(folders_.back().c_str(), nullptr);
        // The file name (before ".exe") takes what the folders leave, at most 200 characters.
        while (length - folder.size() - 5 > 200) {
            folder += L"\\" + std::wstring(99, L'd');
            folders_.push_back(L"\\\\?\\" + folder);
            ::CreateDirectoryW(folders_.back().c_str(), nullptr);
        }
        path_ = folder + L"\\" + std::wstring(length - folder.size() - 5, L'm') + L".exe";
        file_ = L"\\\\?\\" + path_;
        wchar_t self[MAX_PATH];
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (::CopyFileW(self, file_.c_str(), FALSE))
            module_ = ::LoadLibraryW(file_.c_str());
    }
    ~ModuleAtPathLength()
    {
        if (module_)
            ::FreeLibrary(module_);
        ::DeleteFileW(file_.c_str());
        for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
            ::RemoveDirectoryW(folder->c_str());
    }

    HMODULE module() const noexcept { return module_; }
    const std::wstring& path() const noexcept { return path_; }

private:
    std::vector<std::wstring> folders_;
    std::wstring path_;
    std::wstring file_;
    HMODULE module_ = nullptr;
};

TEST(ReadModulePath, RefusesAPathThatFillsTheWholeBuffer)
{
    {
        ModuleAtPathLength longest(MAX_PATH - 1);
        ASSERT_TRUE(longest.module());
        ASSERT_EQ(longest.path().size(), static_cast<std::size_t>(MAX_PATH - 1));
        std::wstring path;
        ASSERT_EQ(ReadModulePath(longest.module(), path), S_OK);
        EXPECT_EQ(path, longest.path());
    }
    {
        ModuleAtPathLength tooLong(MAX_PATH);
        ASSERT_TRUE(tooLong.module());
        std::wstring path = L"unchanged";
        EXPECT_EQ(ReadModulePath(tooLong.module(), path), static_cast<HRESULT>(0x8007007A));
        EXPECT_EQ(path, L"unchanged");
    }
}

TEST(ReadModulePath, GivesTheLoadedModulesFile)
{
    std::wstring path;
    ASSERT_EQ(ReadModulePath(::GetModuleHandleW(L"kernel32.dll"), path), S_OK);
    wchar_t system[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(
        ::CompareStringOrdinal(path.c_str(), -1, (std::wstring(system, length) + L"\\kernel32.dll").c_str(), -1, TRUE),
        CSTR_EQUAL)
        << path;
}

} // namespace
