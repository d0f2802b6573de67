#pragma once

#include "platform/Handles.h"

// A DLL of the system folder, loaded when a function of it is first asked for instead of when
// the program starts: the DLLs only some paths need (reading a typed date, the About box) then
// cost the sheet's start-up nothing. One object per DLL for the life of the process.
class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* fileName) noexcept;
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The exported function `name` as a `Function`; null, with the cause in GetLastError, where
    // the DLL or the function is missing.
    template <class Function> [[nodiscard]] Function Find(const char* name) const noexcept
    {
        // Through the generic function pointer type, which converts to any other without a warning.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(Address(name)));
    }

private:
    [[nodiscard]] FARPROC Address(const char* name) const noexcept;

    LibraryModule module_;
    DWORD loadError_ = ERROR_SUCCESS;
};

// The process's DLLs bound on first use.
const SystemLibrary& OleAutomationLibrary(); // oleaut32.dll
const SystemLibrary& InternetLibrary();      // wininet.dll
const SystemLibrary& VersionLibrary();       // version.dll
