#include "app/SelectionReader.h"

#include "engine/DropData.h"
#include "platform/Handles.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace {

// Long enough for any path the platform can name.
constexpr DWORD LongestPath = 32768;

CLIPFORMAT ShellIdListFormat()
{
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_SHELLIDLIST));
}

FORMATETC GlobalFormat(CLIPFORMAT format)
{
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Gives the reader the block of a format, locked; nothing where the object cannot give it.
template <class Reader> void ReadGlobal(IDataObject* data, CLIPFORMAT format, Reader&& reader)
{
    FORMATETC wanted = GlobalFormat(format);
    StorageMedium medium;
    if (FAILED(data->GetData(&wanted, medium.put())) || medium.get().tymed != TYMED_HGLOBAL)
        return;
    const HGLOBAL memory = medium.get().hGlobal;
    GlobalLockScope lock(memory);
    if (lock.data())
        reader(std::span<const std::byte>(static_cast<const std::byte*>(lock.data()), ::GlobalSize(memory)));
}

std::wstring DisplayName(PCIDLIST_ABSOLUTE item)
{
    CoTaskMemText name;
    if (FAILED(::SHGetNameFromIDList(item, SIGDN_NORMALDISPLAY, name.put())))
        return std::wstring();
    return name.c_str();
}

DroppedSelection FromIdLists(const ShellIdLists& lists)
{
    DroppedSelection selection;
    const auto* parent = reinterpret_cast<PCIDLIST_ABSOLUTE>(lists.parent.data());
    std::wstring path(LongestPath, L'\0');
    for (const auto& item : lists.items) {
        const ItemIdList absolute(::ILCombine(parent, reinterpret_cast<PCUIDLIST_RELATIVE>(item.data())));
        if (!absolute)
            return DroppedSelection{};
        if (!::SHGetPathFromIDListEx(absolute.get(), path.data(), LongestPath, GPFIDL_DEFAULT) || path[0] == L'\0') {
            selection.kind = DroppedSelection::Kind::NotOnDrive;
            selection.paths.clear();
            selection.itemName = DisplayName(absolute.get());
            return selection;
        }
        selection.paths.emplace_back(path.c_str());
    }
    selection.kind = DroppedSelection::Kind::Paths;
    return selection;
}

} // namespace

bool OffersSelection(IDataObject* data)
{
    for (const CLIPFORMAT format : {ShellIdListFormat(), static_cast<CLIPFORMAT>(CF_HDROP)}) {
        FORMATETC wanted = GlobalFormat(format);
        if (data->QueryGetData(&wanted) == S_OK)
            return true;
    }
    return false;
}

DroppedSelection ReadDroppedSelection(IDataObject* data)
{
    DroppedSelection selection;
    if (!data)
        return selection;
    // A data object that offers the ID lists gets no second try with CF_HDROP: a block it
    // offers but cannot give, or gives malformed, makes the selection unreadable.
    FORMATETC idLists = GlobalFormat(ShellIdListFormat());
    if (data->QueryGetData(&idLists) == S_OK) {
        ReadGlobal(data, ShellIdListFormat(), [&](std::span<const std::byte> block) {
            ShellIdLists lists;
            if (ReadShellIdLists(block, lists))
                selection = FromIdLists(lists);
        });
        return selection;
    }
    ReadGlobal(data, CF_HDROP, [&](std::span<const std::byte> block) {
        if (ReadDropFiles(block, selection.paths))
            selection.kind = DroppedSelection::Kind::Paths;
    });
    return selection;
}
