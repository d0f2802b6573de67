#include "metadata/WindowsPropertySystem.h"

namespace {

// A platform call handing back a CoTaskMem string: the text (empty when none came back).
template <class Call> HRESULT ReadPlatformText(std::wstring& text, Call call)
{
    CoTaskMemText result;
    const HRESULT hr = call(result.put());
    text = SUCCEEDED(hr) ? result.c_str() : L"";
    return hr;
}

template <class Function> Function ResolveFunction(HMODULE module, const char* name)
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
        return ReadPlatformText(text, [&](wchar_t** out) { return description_->FormatForDisplay(value, flags, out); });
    }
    HRESULT CoerceToCanonicalValue(PROPVARIANT& value) override { return description_->CoerceToCanonicalValue(&value); }

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
        const HRESULT hr = list_->GetAt(index, IID_IPropertyDescription, found.put_void());
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
        const HRESULT hr = store_.As(IID_IPropertyStoreCapabilities, found);
        if (SUCCEEDED(hr))
            capabilities = std::make_unique<WindowsCapabilities>(std::move(found));
        return hr;
    }
    HRESULT GetValue(const PROPERTYKEY& key, PropVariantValue& value) override
    {
        value.clear();
        return store_->GetValue(key, value.get());
    }
    HRESULT SetValue(const PROPERTYKEY& key, const PROPVARIANT& value) override { return store_->SetValue(key, value); }
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
        const HRESULT hr = item_->GetPropertyStore(flags, IID_IPropertyStore, opened.put_void());
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
        const HRESULT hr = item_->GetPropertyDescriptionList(listKey, IID_IPropertyDescriptionList, found.put_void());
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
    getPropertyDescription_ =
        ResolveFunction<GetPropertyDescriptionFunction>(propsys_.get(), "PSGetPropertyDescription");
    formatForDisplayAlloc_ = ResolveFunction<FormatForDisplayAllocFunction>(propsys_.get(), "PSFormatForDisplayAlloc");
}

HRESULT WindowsPropertySystem::DescribeKey(const PROPERTYKEY& key, ComPtr<IPropertyDescription>& description)
{
    BindPropsys();
    if (!getPropertyDescription_)
        return E_NOTIMPL;
    return getPropertyDescription_(key, IID_IPropertyDescription, description.put_void());
}

HRESULT WindowsPropertySystem::CreateItemFromParsingName(const wchar_t* path, std::unique_ptr<ShellItem>& item)
{
    item.reset();
    ComPtr<IShellItem2> created;
    const HRESULT hr = ::SHCreateItemFromParsingName(path, nullptr, IID_IShellItem2, created.put_void());
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
