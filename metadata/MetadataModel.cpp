#include "metadata/MetadataModel.h"

#include "engine/DirectionMarks.h"
#include "engine/TimestampText.h"
#include "metadata/PropertyKeys.h"
#include "platform/ItemPath.h"

#include <algorithm>

namespace {

bool IsOffered(const PROPERTYKEY& key, VARTYPE type)
{
    if (type == VT_FILETIME)
        return !SamePropertyKey(key, PKEY_DateModified) && !SamePropertyKey(key, PKEY_DateCreated) &&
               !SamePropertyKey(key, PKEY_DateAccessed);
    if (type == VT_UI8)
        return SamePropertyKey(key, TotalEditingTimeKey);
    return false;
}

} // namespace

HRESULT MetadataModel::OpenStore(GETPROPERTYSTOREFLAGS flags, std::unique_ptr<ShellItem>& item,
                                 std::unique_ptr<PropertyStore>& store)
{
    // The shell's parsing would reach another item, with other properties.
    if (!ShellReadsExactly(targetPath_))
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    HRESULT hr = system_.CreateItemFromParsingName(targetPath_.c_str(), item);
    if (SUCCEEDED(hr))
        hr = item->GetPropertyStore(flags, store);
    return hr;
}

HRESULT MetadataModel::LoadMetadata()
{
    std::unique_ptr<ShellItem> item;
    std::unique_ptr<PropertyStore> store;
    HRESULT hr = OpenStore(GPS_HANDLERPROPERTIESONLY, item, store);
    if (FAILED(hr))
        return hr;
    if (entries_.empty()) {
        hr = CollectEntries(*item, *store);
        if (FAILED(hr))
            return hr;
        if (entries_.empty())
            return TYPE_E_ELEMENTNOTFOUND;
    }
    return RefreshEntries(*store);
}

HRESULT MetadataModel::CollectEntries(ShellItem& item, PropertyStore& store)
{
    SFGAOF attributes = 0;
    HRESULT hr = item.GetAttributes(MetadataAttributeMask, attributes);
    if (FAILED(hr))
        return hr;
    itemAttributes_ = attributes & MetadataAttributeMask;

    std::unique_ptr<PropertyStoreCapabilities> capabilities;
    if (FAILED(store.QueryCapabilities(capabilities)))
        capabilities.reset();

    std::unique_ptr<PropertyDescriptionList> list;
    hr = item.GetPropertyDescriptionList(FullDetailsListKey, list);
    if (FAILED(hr))
        return hr;
    UINT count = 0;
    hr = list->GetCount(count);
    if (FAILED(hr))
        return hr;

    for (UINT i = 0; i < count; ++i) {
        std::unique_ptr<PropertyDescription> description;
        hr = list->GetAt(i, description);
        if (SUCCEEDED(hr))
            hr = AppendIfOffered(*description, capabilities.get());
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT MetadataModel::AppendIfOffered(PropertyDescription& description, PropertyStoreCapabilities* capabilities)
{
    MetadataEntry entry;
    HRESULT hr = description.GetPropertyKey(entry.key);
    if (SUCCEEDED(hr))
        hr = description.GetPropertyType(entry.type);
    if (SUCCEEDED(hr))
        hr = description.GetCanonicalName(entry.canonicalName);
    if (SUCCEEDED(hr))
        hr = description.GetDisplayName(entry.displayName);
    if (FAILED(hr))
        return hr;

    entry.writable = !(capabilities && capabilities->IsPropertyWritable(entry.key) == S_FALSE);
    if (IsOffered(entry.key, entry.type))
        entries_.push_back(std::move(entry));
    return S_OK;
}

HRESULT MetadataModel::RefreshEntries(PropertyStore& store)
{
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        MetadataEntry& entry = entries_[row];
        std::unique_ptr<PropertyDescription> description;
        PropVariantValue value;
        std::wstring text;
        HRESULT hr = system_.GetPropertyDescription(entry.key, description);
        if (SUCCEEDED(hr))
            hr = store.GetValue(entry.key, value);
        if (SUCCEEDED(hr))
            hr = description->FormatForDisplay(value.value(), PDFF_LONGTIME, text);
        // A failed entry keeps its old text, as does its row, so the two never disagree.
        if (FAILED(hr))
            return hr;

        // Display texts may carry direction marks around their parts; rows show and compare
        // without them.
        RemoveDirectionMarks(text);
        entry.valueText = std::move(text);
        if (rowView_)
            rowView_->SetValueText(row, entry.valueText);
        entry.modified = false;
    }
    return S_OK;
}

bool MetadataModel::HasModifiedEntries() const
{
    return std::any_of(entries_.begin(), entries_.end(), [](const MetadataEntry& e) { return e.modified; });
}

HRESULT MetadataModel::CommitMetadata()
{
    if (!HasModifiedEntries())
        return S_OK;

    std::unique_ptr<ShellItem> item;
    std::unique_ptr<PropertyStore> store;
    HRESULT hr = OpenStore(static_cast<GETPROPERTYSTOREFLAGS>(GPS_HANDLERPROPERTIESONLY | GPS_READWRITE), item, store);
    if (FAILED(hr))
        return hr;
    for (std::size_t row = 0; row < entries_.size(); ++row) {
        if (!entries_[row].modified)
            continue;
        // Nothing reaches the file unless every modified row could be set.
        hr = WriteEntry(row, *store);
        if (FAILED(hr))
            return hr;
    }
    return store->Commit();
}

HRESULT MetadataModel::WriteEntry(std::size_t row, PropertyStore& store)
{
    MetadataEntry& entry = entries_[row];
    std::unique_ptr<PropertyDescription> description;
    HRESULT hr = system_.GetPropertyDescription(entry.key, description);
    if (FAILED(hr))
        return hr;
    if (rowView_)
        entry.valueText = rowView_->GetValueText(row);

    // An empty text parses to VT_EMPTY, which removes the property's value.
    PropVariantValue value;
    hr = entry.type == VT_UI8 ? ParseDurationText(entry.valueText.c_str(), value.get())
                              : ParseDateValueText(entry.valueText.c_str(), value.get());
    if (SUCCEEDED(hr))
        hr = description->CoerceToCanonicalValue(*value.get());
    if (SUCCEEDED(hr))
        hr = store.SetValue(entry.key, value.value());
    return hr;
}

bool MetadataModel::NormalizeDurationText(std::wstring& text)
{
    PropVariantValue value;
    if (FAILED(ParseDurationText(text.c_str(), value.get())))
        return false;
    if (value.value().vt == VT_EMPTY)
        return true;

    std::wstring formatted;
    if (FAILED(system_.FormatForDisplay(TotalEditingTimeKey, value.value(), PDFF_LONGTIME, formatted)))
        return false;
    RemoveDirectionMarks(formatted);
    text = std::move(formatted);
    return true;
}
