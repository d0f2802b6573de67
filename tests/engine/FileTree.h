#pragma once

#include <windows.h>

#include <string>

// The tree that the test run prepares on the Linux side (tests/engine/file-tree.sh), named
// by CHRONSET_ENGINE_TREE in its Windows form: loop\a\b\up and loop\a\back link back to
// loop; names holds "x" and "x " (trailing blank); DeepFile() lies more than 400 characters
// below deep; locked\immutable.txt cannot be changed (when the file system allows making it so).
class FileTree {
public:
    FileTree()
    {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"CHRONSET_ENGINE_TREE", path, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            root_ = path;
    }

    bool Exists() const
    {
        if (root_.empty())
            return false;
        const DWORD attributes = ::GetFileAttributesW(root_.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool HasImmutableFile() const
    {
        return Exists() && ::GetFileAttributesW(Path(L"immutable-ready").c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    const char* ImmutableSkipReason() const
    {
        return Exists() ? "chattr +i is not available on the test tree's file system"
                        : "the test tree (CHRONSET_ENGINE_TREE) was not prepared";
    }

    std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }

    std::wstring DeepFile() const
    {
        std::wstring path = Path(L"deep");
        for (wchar_t part : {L'd', L'e', L'f', L'g'})
            path += L"\\" + std::wstring(110, part);
        return path + L"\\file.txt";
    }

private:
    std::wstring root_;
};
