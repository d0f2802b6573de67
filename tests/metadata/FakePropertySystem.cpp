#include "tests/metadata/FakePropertySystem.h"

#include "metadata/PropertyKeys.h"
#include "platform/ItemPath.h"
#include "platform/Result.h"

#include <cstdio>
#include <cwchar>

namespace {

// Counts itself in the system's live objects, so tests see what was not released.
class FakeObject {
public:
    explicit FakeObject(FakePropertySystem& system) : system_(system) { ++system_.liveObjects; }
    ~FakeObject() { --system_.liveObjects; }
    FakeObject(const FakeObject&) = delete;
    FakeObject& operator=(const FakeObject&) = delete;

protected:
    FakePropertySystem& system_;
};

HRESULT ToFakeValue(const PROPVARIANT& value, FakeValue& fake)
{
    switch (value.vt) {
    case VT_EMPTY:
        fake = {};
        return S_OK;
    case VT_FILETIME:
        fake = FakeFileTimeValue((static_cast<std::uint64_t>(value.filetime.dwHighDateTime) << 32) |
                                 value.filetime.dwLowDateTime);
        return S_OK;
    case VT_UI8:
        fake = FakeDurationValue(value.uhVal.QuadPart);
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}

void ToPropVariant(const FakeValue& fake, PropVariantValue& value)
{
    value.clear();
    PROPVARIANT& v = *value.get();
    v.vt = fake.vt;
    if (fake.vt == VT_FILETIME)
        v.filetime = FILETIME{static_cast<DWORD>(fake.bits & 0xFFFFFFFFu), static_cast<DWORD>(fake.bits >> 32)};
    else if (fake.vt == VT_UI8)
        v.uhVal.QuadPart = fake.bits;
}

class FakeDescription final : public PropertyDescription, FakeObject {
public:
    FakeDescription(FakePropertySystem& system, const FakeProperty& property) : FakeObject(system), property_(property)
    {
    }

    HRESULT GetPropertyKey(PROPERTYKEY& key) override
    {
        const HRESULT hr = system_.Step(FakeStep::Key);
        if (SUCCEEDED(hr))
            key = property_.key;
        return hr;
    }
    HRESULT GetPropertyType(VARTYPE& type) override
    {
        const HRESULT hr = system_.Step(FakeStep::Type);
        if (SUCCEEDED(hr))
            type = property_.type;
        return hr;
    }
    HRESULT GetCanonicalName(std::wstring& name) override
    {
        const HRESULT hr = system_.Step(FakeStep::CanonicalName);
        name = SUCCEEDED(hr) ? property_.canonicalName : L"";
        return hr;
    }
    HRESULT GetDisplayName(std::wstring& name) override
    {
        const HRESULT hr = system_.Step(FakeStep::DisplayName);
        name = SUCCEEDED(hr) ? property_.displayName : L"";
        return hr;
    }
    HRESULT FormatForDisplay(const PROPVARIANT& value, PROPDESC_FORMAT_FLAGS flags, std::wstring& text) override
    {
        text.clear();
        HRESULT hr = system_.Step(FakeStep::Format);
        if (FAILED(hr))
            return hr;
        system_.lastFormatFlags = flags;
        if (value.vt != VT_EMPTY && value.vt != property_.type)
            return E_INVALIDARG;
        text = system_.Format(property_.type, value, flags);
        return S_OK;
    }
    // The canonical form of a date has whole seconds.
    HRESULT CoerceToCanonicalValue(PROPVARIANT& value) override
    {
        const HRESULT hr = system_.Step(FakeStep::Coerce);
        if (FAILED(hr))
            return hr;
        if (value.vt == VT_EMPTY)
            return S_OK;
        if (value.vt != property_.type)
            return DISP_E_TYPEMISMATCH;
        if (value.vt == VT_FILETIME) {
            std::uint64_t t =
                (static_cast<std::uint64_t>(value.filetime.dwHighDateTime) << 32) | value.filetime.dwLowDateTime;
            t -= t % 10'000'000u;
            value.filetime = FILETIME{static_cast<DWORD>(t & 0xFFFFFFFFu), static_cast<DWORD>(t >> 32)};
        }
        return S_OK;
    }

private:
    FakeProperty property_;
};

class FakeDescriptionList final : public PropertyDescriptionList, FakeObject {
public:
    using FakeObject::FakeObject;

    HRESULT GetCount(UINT& count) override
    {
        const HRESULT hr = system_.Step(FakeStep::Count);
        if (SUCCEEDED(hr))
            count = static_cast<UINT>(system_.properties.size());
        return hr;
    }
    HRESULT GetAt(UINT index, std::unique_ptr<PropertyDescription>& description) override
    {
        description.reset();
        const HRESULT hr = system_.Step(FakeStep::GetAt);
        if (FAILED(hr))
            return hr;
        if (index >= system_.properties.size())
            return E_INVALIDARG;
        description = std::make_unique<FakeDescription>(system_, system_.properties[index]);
        return S_OK;
    }
};

class FakeCapabilities final : public PropertyStoreCapabilities, FakeObject {
public:
    using FakeObject::FakeObject;

    HRESULT IsPropertyWritable(const PROPERTYKEY& key) override
    {
        const FakeProperty* property = system_.Find(key);
        return property ? property->writableAnswer : S_OK;
    }
};

class FakeStore final : public PropertyStore, FakeObject {
public:
    FakeStore(FakePropertySystem& system, bool readWrite) : FakeObject(system), readWrite_(readWrite) {}

    HRESULT QueryCapabilities(std::unique_ptr<PropertyStoreCapabilities>& capabilities) override
    {
        capabilities.reset();
        if (!system_.hasCapabilities)
            return E_NOINTERFACE;
        capabilities = std::make_unique<FakeCapabilities>(system_);
        return S_OK;
    }
    HRESULT GetValue(const PROPERTYKEY& key, PropVariantValue& value) override
    {
        value.clear();
        const HRESULT hr = system_.Step(FakeStep::GetValue);
        if (FAILED(hr))
            return hr;
        if (const FakeProperty* property = system_.Find(key))
            ToPropVariant(property->value, value);
        return S_OK;
    }
    HRESULT SetValue(const PROPERTYKEY& key, const PROPVARIANT& value) override
    {
        HRESULT hr = system_.Step(FakeStep::SetValue);
        if (FAILED(hr))
            return hr;
        if (!readWrite_)
            return STG_E_ACCESSDENIED;
        FakeValue fake;
        hr = ToFakeValue(value, fake);
        if (SUCCEEDED(hr))
            pending_.push_back({key, fake});
        return hr;
    }
    HRESULT Commit() override
    {
        const HRESULT hr = system_.Step(FakeStep::Commit);
        if (FAILED(hr))
            return hr;
        if (!readWrite_)
            return STG_E_ACCESSDENIED;
        for (const auto& [key, value] : pending_)
            system_.Property(key).value = value;
        pending_.clear();
        ++system_.commits;
        return system_.rewritesFileOnCommit ? system_.RewriteFile() : S_OK;
    }

private:
    bool readWrite_;
    std::vector<std::pair<PROPERTYKEY, FakeValue>> pending_;
};

class FakeItem final : public ShellItem, FakeObject {
public:
    using FakeObject::FakeObject;

    HRESULT GetPropertyStore(GETPROPERTYSTOREFLAGS flags, std::unique_ptr<PropertyStore>& store) override
    {
        store.reset();
        const bool readWrite = (flags & GPS_READWRITE) != 0;
        ++(readWrite ? system_.readWriteOpens : system_.readOnlyOpens);
        const HRESULT hr = system_.Step(FakeStep::OpenStore);
        if (FAILED(hr))
            return hr;
        if ((flags & GPS_HANDLERPROPERTIESONLY) == 0)
            return E_INVALIDARG;
        store = std::make_unique<FakeStore>(system_, readWrite);
        return S_OK;
    }
    HRESULT GetAttributes(SFGAOF mask, SFGAOF& attributes) override
    {
        attributes = 0;
        const HRESULT hr = system_.Step(FakeStep::Attributes);
        if (FAILED(hr))
            return hr;
        attributes = system_.attributes & mask;
        return system_.attributesAnswer;
    }
    HRESULT GetPropertyDescriptionList(const PROPERTYKEY& listKey,
                                       std::unique_ptr<PropertyDescriptionList>& list) override
    {
        list.reset();
        const HRESULT hr = system_.Step(FakeStep::DescriptionList);
        if (FAILED(hr))
            return hr;
        if (!SamePropertyKey(listKey, FullDetailsListKey))
            return E_INVALIDARG;
        list = std::make_unique<FakeDescriptionList>(system_);
        return S_OK;
    }
};

const FakeProperty TotalEditingTimeDescription{TotalEditingTimeKey,   VT_UI8, L"System.Document.TotalEditingTime",
                                               L"Total editing time", S_OK,   {}};

} // namespace

FakeValue FakeFileTimeValue(std::uint64_t fileTime)
{
    return FakeValue{VT_FILETIME, fileTime};
}

FakeValue FakeDurationValue(std::uint64_t ticks)
{
    return FakeValue{VT_UI8, ticks};
}

FakeProperty& FakePropertySystem::Add(const PROPERTYKEY& key, VARTYPE type, std::wstring canonicalName,
                                      std::wstring displayName, FakeValue value)
{
    properties.push_back({key, type, std::move(canonicalName), std::move(displayName), S_OK, value});
    return properties.back();
}

FakeProperty& FakePropertySystem::Property(const PROPERTYKEY& key)
{
    for (FakeProperty& property : properties)
        if (SamePropertyKey(property.key, key))
            return property;
    properties.push_back({key, VT_EMPTY, L"", L"", S_OK, {}});
    return properties.back();
}

const FakeProperty* FakePropertySystem::Find(const PROPERTYKEY& key) const
{
    for (const FakeProperty& property : properties)
        if (SamePropertyKey(property.key, key))
            return &property;
    if (SamePropertyKey(key, TotalEditingTimeKey))
        return &TotalEditingTimeDescription;
    return nullptr;
}

void FakePropertySystem::Fail(FakeStep step, HRESULT hr, int skip)
{
    failures_[Index(step)] = Failure{true, hr, skip};
}

void FakePropertySystem::Heal()
{
    failures_ = {};
}

HRESULT FakePropertySystem::Step(FakeStep step)
{
    ++calls_[Index(step)];
    if (observer)
        observer(step);
    Failure& failure = failures_[Index(step)];
    if (!failure.armed)
        return S_OK;
    if (failure.remainingSuccesses > 0) {
        --failure.remainingSuccesses;
        return S_OK;
    }
    return failure.hr;
}

// Dates as local "yyyy/MM/dd HH:mm:ss" (or in the locale's formats), durations as "h:mm:ss"; seconds only
// in the long form. With direction marks, each part is also wrapped in embedding or override marks.
std::wstring FakePropertySystem::Format(VARTYPE type, const PROPVARIANT& value, PROPDESC_FORMAT_FLAGS flags)
{
    const bool longTime = (flags & PDFF_LONGTIME) != 0;
    const wchar_t* lrm = directionMarks ? L"\x200E" : L"";
    const wchar_t* rlm = directionMarks ? L"\x200F" : L"";
    const wchar_t* lre = directionMarks ? L"\x202A" : L"";
    const wchar_t* rle = directionMarks ? L"\x202B" : L"";
    const wchar_t* pdf = directionMarks ? L"\x202C" : L"";
    const wchar_t* lro = directionMarks ? L"\x202D" : L"";
    const wchar_t* rlo = directionMarks ? L"\x202E" : L"";
    wchar_t text[128] = L"";
    if (value.vt == VT_FILETIME && type == VT_FILETIME) {
        SYSTEMTIME utc{};
        SYSTEMTIME local{};
        if (!::FileTimeToSystemTime(&value.filetime, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
            return L"";
        if (localeDates) {
            wchar_t date[40] = L"";
            wchar_t time[40] = L"";
            ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 40);
            ::GetTimeFormatW(LOCALE_USER_DEFAULT, longTime ? 0 : TIME_NOSECONDS, &local, nullptr, time, 40);
            std::swprintf(text, 128, L"%ls%ls%ls%ls %ls%ls%ls%ls", lro, lrm, date, pdf, rlo, rlm, time, pdf);
            return text;
        }
        std::swprintf(text, 128, L"%ls%ls%04u/%ls%02u/%ls%02u%ls %ls%ls%02u:%02u", lre, lrm, local.wYear, lrm,
                      local.wMonth, lrm, local.wDay, pdf, rle, rlm, local.wHour, local.wMinute);
        if (longTime)
            std::swprintf(text + std::wcslen(text), 16, L":%02u", local.wSecond);
        std::wcscat(text, pdf);
    } else if (value.vt == VT_UI8 && type == VT_UI8) {
        const std::uint64_t seconds = value.uhVal.QuadPart / 10'000'000u;
        std::swprintf(text, 128, L"%ls%ls%llu:%02u", lro, lrm, static_cast<unsigned long long>(seconds / 3600),
                      static_cast<unsigned>(seconds / 60 % 60));
        if (longTime)
            std::swprintf(text + std::wcslen(text), 16, L":%02u%ls", static_cast<unsigned>(seconds % 60), rlm);
        std::wcscat(text, pdf);
    }
    return text;
}

HRESULT FakePropertySystem::RewriteFile()
{
    FileHandle file(::CreateFileW(ItemPath(path_).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return LastErrorResult();
    static const char content[] = "saved by the handler";
    DWORD written = 0;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    if (!::WriteFile(file.get(), content, sizeof content - 1, &written, nullptr) ||
        !::SetFileTime(file.get(), nullptr, &now, &now))
        return LastErrorResult();
    return S_OK;
}

HRESULT FakePropertySystem::CreateItemFromParsingName(const wchar_t* path, std::unique_ptr<ShellItem>& item)
{
    item.reset();
    const HRESULT hr = Step(FakeStep::CreateItem);
    if (FAILED(hr))
        return hr;
    if (!path || path_ != path)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    item = std::make_unique<FakeItem>(*this);
    return S_OK;
}

HRESULT FakePropertySystem::GetPropertyDescription(const PROPERTYKEY& key,
                                                   std::unique_ptr<PropertyDescription>& description)
{
    description.reset();
    const HRESULT hr = Step(FakeStep::Describe);
    if (FAILED(hr))
        return hr;
    const FakeProperty* property = Find(key);
    if (!property)
        return TYPE_E_ELEMENTNOTFOUND;
    description = std::make_unique<FakeDescription>(*this, *property);
    return S_OK;
}

HRESULT FakePropertySystem::FormatForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value,
                                             PROPDESC_FORMAT_FLAGS flags, std::wstring& text)
{
    text.clear();
    const HRESULT hr = Step(FakeStep::FormatDuration);
    if (FAILED(hr))
        return hr;
    lastSystemFormatKey = key;
    lastFormatFlags = flags;
    const FakeProperty* property = Find(key);
    if (!property)
        return TYPE_E_ELEMENTNOTFOUND;
    if (value.vt != VT_EMPTY && value.vt != property->type)
        return E_INVALIDARG;
    text = Format(property->type, value, flags);
    return S_OK;
}
