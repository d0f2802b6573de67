#pragma once

#include "metadata/PropertySystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An in-memory stand-in for the property system holding one file's properties.
// Values set on a read-write store stay pending until Commit; each step can be made to fail.

enum class FakeStep {
    CreateItem,
    OpenStore,
    Attributes,
    DescriptionList,
    Count,
    GetAt,
    Key,
    Type,
    CanonicalName,
    DisplayName,
    Describe,
    GetValue,
    Format,
    Coerce,
    SetValue,
    Commit,
    FormatDuration,
};
inline constexpr std::size_t FakeStepCount = static_cast<std::size_t>(FakeStep::FormatDuration) + 1;

// VT_EMPTY, or a 64-bit value of type VT_FILETIME or VT_UI8.
struct FakeValue {
    VARTYPE vt = VT_EMPTY;
    std::uint64_t bits = 0;
    bool operator==(const FakeValue&) const = default;
};

struct FakeProperty {
    PROPERTYKEY key{};
    VARTYPE type = VT_EMPTY;
    std::wstring canonicalName;
    std::wstring displayName;
    HRESULT writableAnswer = S_OK; // what IsPropertyWritable answers
    FakeValue value;               // as stored in the file
};

class FakePropertySystem final : public PropertySystem {
public:
    explicit FakePropertySystem(std::wstring path) : path_(std::move(path)) {}

    // The file's full-details list, in order.
    FakeProperty& Add(const PROPERTYKEY& key, VARTYPE type, std::wstring canonicalName, std::wstring displayName,
                      FakeValue value = {});
    FakeProperty& Property(const PROPERTYKEY& key);
    FakeValue FileValue(const PROPERTYKEY& key) { return Property(key).value; }

    // From the skip-th call of the step on (counting from now), the step answers hr.
    void Fail(FakeStep step, HRESULT hr, int skip = 0);
    void Heal();
    int Calls(FakeStep step) const { return calls_[Index(step)]; }

    std::vector<FakeProperty> properties;
    bool hasCapabilities = true;
    SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_STREAM;
    HRESULT attributesAnswer = S_OK; // S_FALSE is a success too: not every masked bit is set
    bool directionMarks = false;     // formatted texts carry U+200E, U+200F and U+202A..U+202E
    // Dates in the user's short date and time formats, as the Windows property system shows
    // them, instead of the fixed "yyyy/MM/dd HH:mm:ss".
    bool localeDates = false;
    // Told of every step as it is taken, before it answers.
    std::function<void(FakeStep)> observer;
    // A handler that saves a commit by rewriting the whole file, as document handlers do: the
    // file on disk gets new content, and its last-write and last-access times become now.
    bool rewritesFileOnCommit = false;

    int readOnlyOpens = 0;
    int readWriteOpens = 0;
    int commits = 0;
    int liveObjects = 0; // items, stores, lists, descriptions and capabilities not yet released
    PROPERTYKEY lastSystemFormatKey{};
    PROPDESC_FORMAT_FLAGS lastFormatFlags = PDFF_DEFAULT;

    HRESULT CreateItemFromParsingName(const wchar_t* path, std::unique_ptr<ShellItem>& item) override;
    HRESULT GetPropertyDescription(const PROPERTYKEY& key, std::unique_ptr<PropertyDescription>& description) override;
    HRESULT FormatForDisplay(const PROPERTYKEY& key, const PROPVARIANT& value, PROPDESC_FORMAT_FLAGS flags,
                             std::wstring& text) override;

    // Used by the fake objects.
    HRESULT Step(FakeStep step);
    const FakeProperty* Find(const PROPERTYKEY& key) const;
    std::wstring Format(VARTYPE type, const PROPVARIANT& value, PROPDESC_FORMAT_FLAGS flags);
    HRESULT RewriteFile();

private:
    static std::size_t Index(FakeStep step) { return static_cast<std::size_t>(step); }

    struct Failure {
        bool armed = false;
        HRESULT hr = S_OK;
        int remainingSuccesses = 0;
    };

    std::wstring path_;
    std::array<int, FakeStepCount> calls_{};
    std::array<Failure, FakeStepCount> failures_{};
};

FakeValue FakeFileTimeValue(std::uint64_t fileTime);
FakeValue FakeDurationValue(std::uint64_t ticks);
