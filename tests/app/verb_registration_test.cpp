#include "app/Registration.h"
#include "app/RegistryScriptApplier.h"
#include "app/VerbClass.h"
#include "ui/ResultText.h"

#include "RegistryTestKeys.h"
#include "VerbScript.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The verb is a DropTarget verb only, without a command. "Choosing a Static or Dynamic Shortcut
// Menu Method" (Windows Shell documentation) lists a command line (CreateProcess) and
// DropTarget as two ways of implementing one static verb, and DropTarget as supported by every
// Windows since XP; none of the pages on verbs ("Verbs and File Associations", "Creating
// Shortcut Menu Handlers", "How to Employ the Verb Selection Model") says which one the shell
// takes when a verb key has both, and the selection model's defaults are given per kind of
// implementation (COM: Player, no item limit; command line: Document, 15 items). A command
// could only stand in where DropTarget cannot work, and the shell has no such place; starting
// the program with a path stays possible without the verb.

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
            DeleteKeyTree(root_, ClassKeyPath);
        } else {
            scratch_ = std::make_unique<ScratchKey>();
            root_ = scratch_->get();
            programPath_ = L"C:\\Program Files\\Nebbi's Tools\\''it''s\\chronset64.exe";
        }
    }

    void TearDown() override
    {
        if (GetParam() == VerbRun::RegisterVerbOnCurrentUser) {
            DeleteKeyTree(root_, VerbKeyPath);
            DeleteKeyTree(root_, ClassKeyPath);
        }
    }

    HRESULT Run(bool registering)
    {
        if (GetParam() == VerbRun::RegisterVerbOnCurrentUser)
            return RegisterVerb(registering);
        SystemRegistry registry;
        return RunRegistryScript(VerbScriptText, ProgramReplacements(programPath_),
                                 registering ? ScriptMode::Register : ScriptMode::Unregister, root_, registry);
    }

    void ExpectRegisteredExactly() { ::ExpectRegisteredExactly(root_, programPath_); }

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
    CreateKeyWithValue(root_, At(L"DropTarget\\sub"), L"x", L"y");
    CreateKeyWithValue(root_, VerbKeyPath, L"Extra", L"by hand");
    CreateKeyWithValue(root_, VerbKeyPath, L"Position", L"Top");
    CreateKeyWithValue(root_, std::wstring(ClassKeyPath) + L"\\InprocServer32", L"", L"stale.dll");
    CreateKeyWithValue(root_, LocalServerKeyPath, L"", L"C:\\old\\chronset64.exe");

    ASSERT_EQ(Run(true), S_OK);
    ExpectRegisteredExactly();
}

TEST_P(VerbRegistration, UnregisteringRemovesTheVerbAndTheClassAndKeepsTheirParents)
{
    ASSERT_EQ(Run(true), S_OK);
    // Values the script does not name do not keep the keys.
    CreateKeyWithValue(root_, VerbKeyPath, L"Extra", L"by hand");
    CreateKeyWithValue(root_, DropTargetKeyPath, L"Extra", L"by hand");
    CreateKeyWithValue(root_, ClassKeyPath, L"AppID", L"by hand");

    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(Run(false), S_OK) << run;
        EXPECT_FALSE(KeyExists(root_, VerbKeyPath)) << run;
        EXPECT_FALSE(KeyExists(root_, ClassKeyPath)) << run;
        EXPECT_TRUE(KeyExists(root_, ShellKeyPath)) << run;
        EXPECT_TRUE(KeyExists(root_, L"Software\\Classes\\CLSID")) << run;
    }
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

TEST_P(VerbRegistration, AHandAddedSubkeyOfDropTargetKeepsItAndTheVerbKeyButNotTheClass)
{
    ASSERT_EQ(Run(true), S_OK);
    CreateKeyWithValue(root_, At(L"DropTarget\\sub"), L"x", L"y");

    EXPECT_EQ(Run(false), S_OK);
    EXPECT_FALSE(KeyExists(root_, ClassKeyPath));
    const KeySnapshot verb = ReadKey(root_, VerbKeyPath);
    ASSERT_TRUE(verb.exists);
    EXPECT_EQ(verb.subkeys, std::vector<std::wstring>{L"DropTarget"});
    EXPECT_TRUE(verb.values.empty());
    const KeySnapshot dropTarget = ReadKey(root_, DropTargetKeyPath);
    EXPECT_EQ(dropTarget.subkeys, std::vector<std::wstring>{L"sub"});
    EXPECT_TRUE(dropTarget.values.empty());

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

TEST(VerbClass, TheScriptNamesTheClassTheServerRegisters)
{
    wchar_t text[40] = {};
    ASSERT_EQ(::StringFromGUID2(VerbClassId, text, 40), 39);
    EXPECT_STREQ(text, VerbClassIdText);
    const std::wstring script = VerbScriptText;
    // The class key's name and the verb's DropTarget value.
    std::size_t found = 0;
    for (std::size_t at = script.find(VerbClassIdText); at != std::wstring::npos;
         at = script.find(VerbClassIdText, at + 1))
        ++found;
    EXPECT_EQ(found, 2u);
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
