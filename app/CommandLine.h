#pragma once

#include <string>
#include <string_view>

enum class StartAction { Register, Unregister, Edit, ServeVerb };

struct StartRequest {
    StartAction action = StartAction::Edit;
    std::wstring targetPath; // only for Edit: a full path in its ordinary form
};

// The first argument of a command tail as written: leading blanks skipped, quotes removed,
// backslashes kept as they stand (so "C:\" stays C:\), ended by a blank outside quotes.
std::wstring FirstArgument(std::wstring_view commandTail);

// What a start asks for. commandTail is the command line after the program name, as the
// entry point receives it. Without an argument the current directory is edited; a tail that
// is exactly /RegServer or /UnregServer (any letter case) registers or unregisters; one that
// is exactly -Embedding or /Embedding (any letter case, as COM starts a local server) serves
// the verb;
// otherwise the first argument, taken relative to the current directory, is the target.
StartRequest DecideStartAction(const wchar_t* commandTail, const std::wstring& currentDirectory);
