#include "metadata/WindowsPropertySystem.h"

namespace {

constexpr IID ShellItem2Id = {0x7E9FB0D3, 0x919F, 0x4307, {0xAB, 0x2E, 0x9B, 0x18, 0x60, 0x31, 0x0C, 0x93}};
constexpr IID PropertyStoreId = {0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};
constexpr IID PropertyStoreCapabilitiesId = {
    0xC8E2D566, 0x186E, 0x4D49, {0xBF, 0x41, 0x69, 0x09, 0xEA, 0xD5, 0x6A, 0xCC}};
constexpr IID PropertyDescriptionListId = {
    0x1F9FC1D0, 0xC39B, 0x4B26, {0x81, 0x7F, 0x01, 0x19, 0x67, 0xD3, 0x44, 0x0E}};
constexpr IID PropertyDescriptionId = {0x6F79D558, 0x3E96, 0x4549, {0xA1, 0xD1, 0x7D, 0x75, 0xD2, 0x28, 0x88, 0x14}};

// A platform call handing back a CoTaskMem string: the text (empty when none came back).
template <class Call>
HRESULT ReadPlatformText(std::wstring& text, Call call)
{
    CoTaskMemText result;
    const HRESULT hr = call(result.put());
    text = SUCCEEDED(hr) ? result.c_str() : L"";
    return hr;
}

template <class Function>
Function ResolveFunction(HMODULE module, const char* name)
{
    const FARPROC address = ::GetProcAddress(module, name);
    // Through the generic function pointer type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

class WindowsDescription final : public PropertyDescription {
public:
    explicit WindowsDescription(ComPtr<IPropertyDescription> description) : description_(std::move(description)) {}

    HRESULT GetPropertyKey(PROPERTYKEY& key) override { return description_->GetPropertyKey(&key); }
    HRESULT GetPropertyType(VARTYPE& type) override { return description_->GetPropertyType(&type); }
    HRESULT GetCanonicalName(std::wstring& name) override
    {
        return ReadPlatformText(name, [this](wchar_t** out) { return description_->GetCanonicalName(out); });
    }
    HRESULT GetDisplayName(std::wstring& name) override
    {
        return ReadPlatformText(name, [this](wchar_t** out) { return description_->GetDisplayName(out); });
    }
    HRESULT FormatForDisplay(const PROPVARIANT& value, PROPDESC_FORMAT_FLAGS flags, std::wstring& text) override
    {
        return ReadPlatformText(
            text, [&](wchar_t** out) { return description_->FormatForDisplay(value, flags, out); });
    }
    HRESULT CoerceToCanonicalValue(PROPVARIANT& value) override
    {
        return description_->CoerceToCanonicalValue(&value);
    }

private:
    ComPtr<IPropertyDescription> description_;
};

class WindowsDescriptionList final : public PropertyDescriptionList {
public:
    explicit WindowsDescriptionList(ComPtr<IPropertyDescriptionList> list) : list_(std::move(list)) {}

    HRESULT GetCount(UINT& count) override { return list_->GetCount(&count); }
    HRESULT GetAt(UINT index, std::unique_ptr<PropertyDescription>& description) override
    {
        description.reset();
        ComPtr<IPropertyDescription> found;
        const HRESULT hr = list_->GetAt(index, PropertyDescriptionId, found.put_void());
        if (SUCCEEDED(hr))
            description = std::make_unique<WindowsDescription>(std::move(found));
        return hr;
    }

private:
    ComPtr<IPropertyDescriptionList> list_;
};

class WindowsCapabilities final : public PropertyStoreCapabilities {
public:
    explicit WindowsCapabilities(ComPtr<IPropertyStoreCapabilities> capabilities)
        : capabilities_(std::move(capabilities))
    {
    }

    HRESULT IsPropertyWritable(const PROPERTYKEY& key) override { return capabilities_->IsPropertyWritable(key); }

private:
    ComPtr<IPropertyStoreCapabilities> capabilities_;
};

class WindowsStore final : public PropertyStore {
public:
    explicit WindowsStore(ComPtr<IPropertyStore> store) : store_(std::move(store)) {}

    HRESULT QueryCapabilities(std::unique_ptr<PropertyStoreCapabilities>& capabilities) override
    {
        capabilities.reset();
        ComPtr<IPropertyStoreCapabilities> found;
        const HRESULT hr = store_.As(PropertyStoreCapabilitiesId, found);
        if (SUCCEEDED(hr))
            capabilities = std::make_unique<WindowsCapabilities>(std::move(found));
        return hr;
    }
    HRESULT GetValue(const PROPERTYKEY& key, PropVariantValue& value) override
    {
        value.clear();
        return store_->GetValue(key, value.get());
    }
    HRESULT SetValue(const PROPERTYKEY& key, const PROPVARIANT& value) override
    {
        return store_->SetValue(key, value);
    }
    HRESULT Commit() override { return store_->Commit(); }

private:
    ComPtr<IPropertyStore> store_;
};

class WindowsItem final : public ShellItem {
public:
    explicit WindowsItem(ComPtr<IShellItem2> item) : item_(std::move(item)) {}

    HRESULT GetPropertyStore(GETPROPERTYSTOREFLAGS flags, std::unique_ptr<PropertyStore>& store) override
    {
        store.reset();
        ComPtr<IPropertyStore> opened;
        const HRESULT hr = item_->GetPropertyStore(flags, PropertyStoreId, opened.put_void());
        if (SUCCEEDED(hr))
            store = std::make_unique<WindowsStore>(std::move(opened));
        return hr;
    }
    HRESULT GetAttributes(SFGAOF mask, SFGAOF& attributes) override
    {
        attributes = 0;
        return item_->GetAttributes(mask, &attributes);
    }
    HRESULT GetPropertyDescriptionList(const PROPERTYKEY& listKey,
                                       std::unique_ptr<PropertyDescriptionList>& list) override
    {
        list.reset();
        ComPtr<IPropertyDescriptionList> found;
        const HRESULT hr = item_->GetPropertyDescriptionList(listKey, PropertyDescriptionListId, found.put_void());
        if (SUCCEEDED(hr))
            list = std::make_unique<WindowsDescriptionList>(std::move(found));
        return hr;
    }

private:
    ComPtr<IShellItem2> item_;
};

} // namespace

void WindowsPropertySystem::BindPropsys()
{
    if (bound_)
        return;
    bound_ = true;
    propsys_.reset(::LoadLibraryExW(L"propsys.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!propsys_)
        return;
    getPropertyDescription_ = ResolveFunction<GetPropertyDescriptionFunction>(propsys_.get(), "PSGetPropertyDescription");
    formatForDisplayAlloc_ = ResolveFunction<FormatForDisplayAllocFunction>(propsys_.get(), "PSFormatForDisplayAlloc");
}

HRESULT WindowsPropertySystem::DescribeKey(const PROPERTYKEY& key, ComPtr<IPropertyDescription>& description)
{
    BindPropsys();
    if (!getPropertyDescription_)
        return E_NOTIMPL;
    return getPropertyDescription_(key, PropertyDescriptionId, description.put_void());
}

HRESULT WindowsPropertySystem::CreateItemFromParsingName(const wchar_t* path, std::unique_ptr<ShellItem>& item)
{
    item.reset();
    ComPtr<IShellItem2> created;
    const HRESULT hr = ::SHCreateItemFromParsingName(path, nullptr, ShellItem2Id, created.put_void());
    if (SUCCEEDED(hr))
        item = std::make_unique<WindowsItem>(std::move(created));
    return hr;
}

HRESULT WindowsPropertySystem::GetPropertyDescription(const PROPERTYKEY& key,
                                                      std::unique_ptr<PropertyDescription>& description)
{
    description.reset();
    ComPtr<IPropertyDescription> found;
    const HRESULT hr = DescribeKey(key, found);
    if (SUCCEEDED(hr))
        description = std::make_unique<WindowsDescription>(std::move(found));
    return hr;
}

HRESULT WindowsPropertySystem::FormatForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value,
                                                PROPDESC_FORMAT_FLAGS flags, std::wstring& text)
{
    text.clear();
    // Wine exports PSFormatForDisplayAlloc as a stub that aborts the process, while its
    // PSGetPropertyDescription answers E_NOTIMPL. The formatter needs the key's description
    // anyway, so it is only reached once that lookup has worked in this very call.
    ComPtr<IPropertyDescription> description;
    const HRESULT described = DescribeKey(key, description);
    if (FAILED(described))
        return described;
    if (!formatForDisplayAlloc_)
        return E_NOTIMPL;
    return ReadPlatformText(text, [&](wchar_t** out) { return formatForDisplayAlloc_(key, value, flags, out); });
}
