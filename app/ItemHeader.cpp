#include "app/ItemHeader.h"

#include "platform/ItemPath.h"

#include <objbase.h>
#include <shellapi.h>

#include <new>
#include <system_error>

namespace {

// The shell's icons need COM on the thread that asks for them (SHGetFileInfo's documentation).
class ComOnThisThread {
public:
    ComOnThisThread() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComOnThisThread()
    {
        if (SUCCEEDED(m_result))
            ::CoUninitialize();
    }
    ComOnThisThread(const ComOnThisThread&) = delete;
    ComOnThisThread& operator=(const ComOnThisThread&) = delete;

private:
    HRESULT m_result;
};

} // namespace

ItemHeader ReadItemHeader(const std::wstring& path, bool isFolder)
{
    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | SHGFI_DISPLAYNAME | SHGFI_TYPENAME;
    const bool exact = ShellReadsExactly(path);
    if (!exact || !::SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags)) {
        info = SHFILEINFOW{};
        const std::wstring name(exact ? path : PathName(path));
        const DWORD known = isFolder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        ::SHGetFileInfoW(name.c_str(), known, &info, sizeof info, flags | SHGFI_USEFILEATTRIBUTES);
    }
    ItemHeader header;
    header.icon.reset(info.hIcon);
    // The shell would show a name cut at MAX_PATH or without its trailing blanks.
    header.displayName = exact ? std::wstring(info.szDisplayName) : std::wstring(PathName(path));
    header.typeName = info.szTypeName;
    return header;
}

PendingItemHeader::~PendingItemHeader()
{
    if (m_reading.joinable())
        m_reading.join();
}

void PendingItemHeader::Start(const std::wstring& path, bool isFolder)
{
    try {
        m_reading = std::thread([this, path, isFolder] {
            const ComOnThisThread com;
            try {
                m_read = ReadItemHeader(path, isFolder);
            } catch (const std::bad_alloc&) {
                // Without memory for the texts the page shows no header; Take reads nothing.
            }
        });
    } catch (const std::system_error&) {
        m_read = ReadItemHeader(path, isFolder);
    }
}

std::optional<ItemHeader> PendingItemHeader::Take()
{
    if (m_reading.joinable())
        m_reading.join();
    std::optional<ItemHeader> header = std::move(m_read);
    m_read.reset();
    return header;
}
