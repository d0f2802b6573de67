#pragma once

#include "metadata/PropertySystem.h"
#include "platform/Handles.h"

// The property system of the running Windows. COM must be initialised on the calling thread.
// propsys.dll is bound at run time, so a platform without it (or without some of its
// functions) gives failure results instead of a program that cannot start.
class WindowsPropertySystem final : public PropertySystem {
public:
    WindowsPropertySystem() = default;
    WindowsPropertySystem(const WindowsPropertySystem&) = delete;
    WindowsPropertySystem& operator=(const WindowsPropertySystem&) = delete;

    [[nodiscard]] HRESULT CreateItemFromParsingName(const wchar_t* path, std::unique_ptr<ShellItem>& item) override;
    [[nodiscard]] HRESULT GetPropertyDescription(const PROPERTYKEY& key,
                                                 std::unique_ptr<PropertyDescription>& description) override;
    [[nodiscard]] HRESULT FormatForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value,
                                           PROPDESC_FORMAT_FLAGS flags, std::wstring& text) override;

private:
    using GetPropertyDescriptionFunction = HRESULT(WINAPI*)(REFPROPERTYKEY, REFIID, void**);
    using FormatForDisplayAllocFunction = HRESULT(WINAPI*)(REFPROPERTYKEY, REFPROPVARIANT, PROPDESC_FORMAT_FLAGS,
                                                           PWSTR*);

    void BindPropsys();
    [[nodiscard]] HRESULT DescribeKey(const PROPERTYKEY& key, ComPtr<IPropertyDescription>& description);

    bool bound_ = false;
    LibraryModule propsys_;
    GetPropertyDescriptionFunction getPropertyDescription_ = nullptr;
    FormatForDisplayAllocFunction formatForDisplayAlloc_ = nullptr;
};
