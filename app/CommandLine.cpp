#include "app/CommandLine.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

// When the current directory and the argument together exceed MAX_PATH, the target must not
// become some other, shorter path that exists. The joined text is cut to fit and ends in '|',
// which no file name may contain and which is no wildcard: every open, search or creation
// of it fails, so the sheet reports it instead of editing another item.
std::wstring UnusableTargetFor(const std::wstring& currentDirectory, const wchar_t* argument)
{
    std::wstring joined = currentDirectory;
    if (!joined.empty() && joined.back() != L'\\')
        joined += L'\\';
    joined += argument;
    std::size_t keep = MAX_PATH - 2;
    if (joined.size() > keep) {
        if (IS_HIGH_SURROGATE(joined[keep - 1]))
            --keep;
        joined.resize(keep);
    }
    joined += L'|';
    return joined;
}

}

StartRequest DecideStartAction(const wchar_t* commandTail, int argc, const wchar_t* const* argv,
                               const std::wstring& currentDirectory)
{
    StartRequest request;
    if (argc < 2) {
        request.targetPath = currentDirectory;
        return request;
    }
    const wchar_t* tail = commandTail ? commandTail : L"";
    if (::lstrcmpiW(tail, L"/RegServer") == 0) {
        request.action = StartAction::Register;
        return request;
    }
    if (::lstrcmpiW(tail, L"/UnregServer") == 0) {
        request.action = StartAction::Unregister;
        return request;
    }

    wchar_t target[MAX_PATH] = {};
    if (!::PathCombineW(target, currentDirectory.c_str(), argv[1])) {
        request.targetPath = UnusableTargetFor(currentDirectory, argv[1]);
        return request;
    }
    ::PathRemoveBackslashW(target);
    request.targetPath = target;
    return request;
}
