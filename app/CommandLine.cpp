#include "app/CommandLine.h"

#include "platform/ItemPath.h"

#include <windows.h>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

} // namespace

std::wstring FirstArgument(std::wstring_view commandTail)
{
    // The C runtime's rules would read a backslash before a quote as an escape, and the verb's
    // "%1" of a drive root ("C:\") would arrive as C:". A path holds no quotes, so here a quote
    // only starts or ends a quoted part.
    std::size_t at = 0;
    while (at < commandTail.size() && IsBlank(commandTail[at]))
        ++at;
    std::wstring argument;
    bool quoted = false;
    for (; at < commandTail.size(); ++at) {
        const wchar_t c = commandTail[at];
        if (c == L'"')
            quoted = !quoted;
        else if (IsBlank(c) && !quoted)
            break;
        else
            argument += c;
    }
    return argument;
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
    const std::wstring argument = FirstArgument(tail);
    if (argument.empty()) {
        request.targetPath = currentDirectory;
        return request;
    }
    request.targetPath = ResolveTargetPath(argument, currentDirectory);
    return request;
}
