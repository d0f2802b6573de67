#pragma once

#include <windows.h>

#include <string>

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring Child(const std::wstring& name) const { return path_ + L"\\" + name; }

    // Creates an empty file or a folder (relative names, parents first) and gives its path.
    std::wstring MakeFile(const std::wstring& name) const;
    std::wstring MakeFolder(const std::wstring& name) const;

private:
    std::wstring path_;
};
