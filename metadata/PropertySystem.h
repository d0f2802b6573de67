#pragma once

#include "platform/Handles.h"

#include <windows.h>
#include <propsys.h>
#include <shobjidl.h>

#include <memory>
#include <string>

// The slice of the Windows property system the metadata model uses, as our own abstract
// objects so the model can run against the real platform or an in-memory substitute.
// Every call answers with an HRESULT; texts handed out by the platform arrive as std::wstring
// (a missing text is empty).

class PropertyDescription {
public:
    virtual ~PropertyDescription() = default;
    [[nodiscard]] virtual HRESULT GetPropertyKey(PROPERTYKEY& key) = 0;
    [[nodiscard]] virtual HRESULT GetPropertyType(VARTYPE& type) = 0;
    [[nodiscard]] virtual HRESULT GetCanonicalName(std::wstring& name) = 0;
    [[nodiscard]] virtual HRESULT GetDisplayName(std::wstring& name) = 0;
    [[nodiscard]] virtual HRESULT FormatForDisplay(const PROPVARIANT& value, PROPDESC_FORMAT_FLAGS flags,
                                                   std::wstring& text) = 0;
    // Replaces the value by its canonical form in place.
    [[nodiscard]] virtual HRESULT CoerceToCanonicalValue(PROPVARIANT& value) = 0;
};

class PropertyDescriptionList {
public:
    virtual ~PropertyDescriptionList() = default;
    [[nodiscard]] virtual HRESULT GetCount(UINT& count) = 0;
    [[nodiscard]] virtual HRESULT GetAt(UINT index, std::unique_ptr<PropertyDescription>& description) = 0;
};

class PropertyStoreCapabilities {
public:
    virtual ~PropertyStoreCapabilities() = default;
    // S_FALSE alone means "not writable".
    [[nodiscard]] virtual HRESULT IsPropertyWritable(const PROPERTYKEY& key) = 0;
};

class PropertyStore {
public:
    virtual ~PropertyStore() = default;
    // A failure (E_NOINTERFACE) when the store does not offer the capabilities interface.
    [[nodiscard]] virtual HRESULT QueryCapabilities(std::unique_ptr<PropertyStoreCapabilities>& capabilities) = 0;
    // VT_EMPTY when the file has no value.
    [[nodiscard]] virtual HRESULT GetValue(const PROPERTYKEY& key, PropVariantValue& value) = 0;
    [[nodiscard]] virtual HRESULT SetValue(const PROPERTYKEY& key, const PROPVARIANT& value) = 0;
    [[nodiscard]] virtual HRESULT Commit() = 0;
};

class ShellItem {
public:
    virtual ~ShellItem() = default;
    [[nodiscard]] virtual HRESULT GetPropertyStore(GETPROPERTYSTOREFLAGS flags,
                                                   std::unique_ptr<PropertyStore>& store) = 0;
    [[nodiscard]] virtual HRESULT GetAttributes(SFGAOF mask, SFGAOF& attributes) = 0;
    [[nodiscard]] virtual HRESULT GetPropertyDescriptionList(const PROPERTYKEY& listKey,
                                                             std::unique_ptr<PropertyDescriptionList>& list) = 0;
};

class PropertySystem {
public:
    virtual ~PropertySystem() = default;
    [[nodiscard]] virtual HRESULT CreateItemFromParsingName(const wchar_t* path, std::unique_ptr<ShellItem>& item) = 0;
    // The system-wide description of a key.
    [[nodiscard]] virtual HRESULT GetPropertyDescription(const PROPERTYKEY& key,
                                                         std::unique_ptr<PropertyDescription>& description) = 0;
    // A value of the given property formatted for display without any store.
    [[nodiscard]] virtual HRESULT FormatForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value,
                                                   PROPDESC_FORMAT_FLAGS flags, std::wstring& text) = 0;
};
