#include "app/SelectionHeader.h"

#include "framework/Module.h"
#include "platform/ItemPath.h"
#include "res/resource.h"
#include "ui/TextFormat.h"

namespace {

// Letter case aside, as the file systems compare names.
bool SameText(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

std::wstring CountText(unsigned long long count, UINT one, UINT many)
{
    return FillInserts(AppModule().LoadText(count == 1 ? one : many), {GroupedNumber(count)});
}

} // namespace

std::wstring SelectionCountsText(unsigned long long files, unsigned long long folders)
{
    const std::wstring fileText = CountText(files, IDS_PROGRESS_ONE_FILE, IDS_PROGRESS_FILES);
    const std::wstring folderText = CountText(folders, IDS_PROGRESS_ONE_FOLDER, IDS_PROGRESS_FOLDERS);
    if (folders == 0)
        return fileText;
    if (files == 0)
        return folderText;
    return FillInserts(AppModule().LoadText(IDS_PROGRESS_COUNTS), {fileText, folderText});
}

SelectionHeader DescribeSelection(const std::vector<SelectedItem>& items, const ItemTypeReader& typeOf)
{
    SelectionHeader header;
    unsigned long long files = 0;
    unsigned long long folders = 0;
    const SelectedItem* folder = nullptr;
    bool oneType = true;
    bool oneParent = true;
    const std::wstring parent = items.empty() ? std::wstring() : ParentPath(items.front().path);
    for (const SelectedItem& item : items) {
        if (item.wasFolder) {
            ++folders;
            folder = &item;
        } else {
            ++files;
        }
        oneParent = oneParent && SameText(ParentPath(item.path), parent);
        if (oneType) {
            const std::wstring type = typeOf(item);
            if (&item == &items.front())
                header.type = type;
            else
                oneType = SameText(type, header.type);
        }
    }
    header.name = SelectionCountsText(files, folders);
    if (!oneType)
        header.type = AppModule().LoadText(IDS_MULTIPLE_TYPES);
    header.location = oneParent ? FillInserts(AppModule().LoadText(IDS_ALL_IN), {parent})
                                : AppModule().LoadText(IDS_VARIOUS_FOLDERS);
    if (folders == 1)
        header.advancedLocation = folder->path;
    else
        header.advancedLocation = FillInserts(AppModule().LoadText(IDS_SELECTED_FOLDERS), {GroupedNumber(folders)});
    return header;
}
