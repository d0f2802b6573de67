#include "ShellDataObjects.h"

#include <shlobj.h>

#include <gtest/gtest.h>

ComPtr<IDataObject> DataObjectOf(const std::vector<std::wstring>& paths)
{
    std::vector<ItemIdList> items;
    for (const std::wstring& path : paths) {
        ItemIdList item;
        EXPECT_EQ(
            ::SHParseDisplayName(path.c_str(), nullptr, reinterpret_cast<PIDLIST_ABSOLUTE*>(item.put()), 0, nullptr),
            S_OK)
            << path;
        items.push_back(std::move(item));
    }
    ComPtr<IShellFolder> folder;
    PCUITEMID_CHILD first = nullptr;
    EXPECT_EQ(::SHBindToParent(items.front().get(), IID_IShellFolder, folder.put_void(), &first), S_OK);
    std::vector<PCUITEMID_CHILD> children;
    for (const ItemIdList& item : items)
        children.push_back(::ILFindLastID(item.get()));
    ComPtr<IDataObject> data;
    if (folder) {
        EXPECT_EQ(folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                        nullptr, data.put_void()),
                  S_OK);
    }
    return data;
}
