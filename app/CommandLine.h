#pragma once

#include <string>

enum class StartAction { Register, Unregister, Edit };

struct StartRequest {
    StartAction action = StartAction::Edit;
    std::wstring targetPath; // only for Edit
};

// What a start asks for. commandTail is the command line after the program name, as the
// entry point receives it; argv holds the parsed arguments (quotes removed), argv[0] being
// the program. Without an argument the current directory is edited; a tail that is exactly
// /RegServer or /UnregServer (any letter case) registers or unregisters; otherwise the first
// argument, taken relative to the current directory, is the target.
StartRequest DecideStartAction(const wchar_t* commandTail, int argc, const wchar_t* const* argv,
                               const std::wstring& currentDirectory);
