#include "app/CommandLine.h"

#include "platform/ItemPath.h"

#include <windows.h>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

} // namespace

std::vector<std::wstring> CommandArguments(std::wstring_view commandTail)
{
    // The C runtime's rules would read a backslash before a quote as an escape, and the verb's
    // "%1" of a drive root ("C:\") would arrive as C:". A path holds no quotes, so here a quote
    // only starts or ends a quoted part.
    std::vector<std::wstring> arguments;
    std::wstring argument;
    bool quoted = false;
    for (const wchar_t c : commandTail) {
        if (c == L'"') {
            quoted = !quoted;
        } else if (IsBlank(c) && !quoted) {
            if (!argument.empty())
                arguments.push_back(std::move(argument));
            argument.clear();
        } else {
            argument += c;
        }
    }
    if (!argument.empty())
        arguments.push_back(std::move(argument));
    return arguments;
}

StartRequest DecideStartAction(const wchar_t* commandTail, const std::wstring& currentDirectory)
{
    StartRequest request;
    const wchar_t* tail = commandTail ? commandTail : L"";
    if (::lstrcmpiW(tail, L"/RegServer") == 0) {
        request.action = StartAction::Register;
        return request;
    }
    if (::lstrcmpiW(tail, L"/UnregServer") == 0) {
        request.action = StartAction::Unregister;
        return request;
    }
    if (::lstrcmpiW(tail, L"-Embedding") == 0 || ::lstrcmpiW(tail, L"/Embedding") == 0) {
        request.action = StartAction::ServeVerb;
        return request;
    }
    for (const std::wstring& argument : CommandArguments(tail))
        request.targetPaths.push_back(ResolveTargetPath(argument, currentDirectory));
    if (request.targetPaths.empty())
        request.targetPaths.push_back(currentDirectory);
    return request;
}
