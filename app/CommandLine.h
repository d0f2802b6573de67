#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class StartAction { Register, Unregister, Edit, ServeVerb };

struct StartRequest {
    StartAction action = StartAction::Edit;
    std::vector<std::wstring> targetPaths; // only for Edit: full paths in their ordinary form
};

// The arguments of a command tail as written: separated by blanks outside quotes, quotes
// removed, backslashes kept as they stand (so "C:\" stays C:\). An empty argument ("") is
// no argument.
std::vector<std::wstring> CommandArguments(std::wstring_view commandTail);

// What a start asks for. commandTail is the command line after the program name, as the
// entry point receives it. Without an argument the current directory is edited; a tail that
// is exactly /RegServer or /UnregServer (any letter case) registers or unregisters; one that
// is exactly -Embedding or /Embedding (any letter case, as COM starts a local server) serves
// the verb; otherwise every argument, taken relative to the current directory, is a target,
// in the order written.
StartRequest DecideStartAction(const wchar_t* commandTail, const std::wstring& currentDirectory);
