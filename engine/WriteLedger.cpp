#include "engine/WriteLedger.h"

#include "platform/ItemPath.h"

WriteLedger::Key WriteLedger::KeyOf(const FileIdentity& identity, const std::wstring& path)
{
    if (!identity.Known())
        return {0, {}, CaseFolded(path)};
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
