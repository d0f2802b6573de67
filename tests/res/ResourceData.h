#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

inline constexpr WORD EnglishLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
inline constexpr WORD JapaneseLanguage = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
inline constexpr WORD NeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

// The data of one resource of this program in exactly the given language (no fallback to
// another language, whatever the thread's UI language is); empty when there is none.
std::span<const std::byte> ResourceBytes(LPCWSTR type, LPCWSTR name, WORD language);
inline std::span<const std::byte> ResourceBytes(LPCWSTR type, int id, WORD language)
{
    return ResourceBytes(type, MAKEINTRESOURCEW(id), language);
}

// A bounds-checked little-endian reader over resource data. A read past the end yields
// zeros and clears ok(), so a malformed resource fails the test instead of crashing it.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::byte> data) : data_(data) {}

    template <class T> T Read()
    {
        T value{};
        if (!Has(sizeof(T))) {
            ok_ = false;
            offset_ = data_.size();
            return value;
        }
        std::memcpy(&value, data_.data() + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    std::span<const std::byte> ReadBytes(size_t count);
    // A NUL-terminated UTF-16 string; the terminator is consumed.
    std::wstring ReadWideString();
    void AlignTo(size_t boundary) { offset_ = std::min(data_.size(), (offset_ + boundary - 1) / boundary * boundary); }

    bool Has(size_t count) const { return ok_ && data_.size() - offset_ >= count; }
    bool AtEnd() const { return offset_ == data_.size(); }
    size_t Offset() const { return offset_; }
    bool ok() const { return ok_; }

private:
    std::span<const std::byte> data_;
    size_t offset_ = 0;
    bool ok_ = true;
};

// The access key of a control or menu text (the character after a single '&'), upper-cased;
// 0 when the text has none.
wchar_t AccessKey(const std::wstring& text);

// Case-insensitive comparison, as the platform compares window class names.
bool SameClassName(const std::wstring& a, const std::wstring& b);
