#include "engine/WriteLedger.h"

#include <windows.h>

namespace {

// Letter case aside, as the platform's file systems compare names.
std::wstring Folded(const std::wstring& path)
{
    if (path.empty())
        return path;
    std::wstring folded(path.size(), L'\0');
    const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.data(),
                                       static_cast<int>(path.size()), folded.data(), static_cast<int>(folded.size()),
                                       nullptr, nullptr, 0);
    return length > 0 ? folded : path;
}

} // namespace

WriteLedger::Key WriteLedger::KeyOf(const FileIdentity& identity, const std::wstring& path)
{
    if (!identity.Known())
        return {0, {}, Folded(path)};
    return {identity.volume, identity.id, std::wstring()};
}

void WriteLedger::Reserve(const FileIdentity& identity, const std::wstring& path)
{
    reserved_.insert(KeyOf(identity, path));
}

bool WriteLedger::Claim(const FileIdentity& identity, const std::wstring& path, bool ownTurn)
{
    const Key key = KeyOf(identity, path);
    if (written_.count(key) != 0)
        return false;
    if (!ownTurn && reserved_.count(key) != 0)
        return false;
    written_.insert(key);
    return true;
}
