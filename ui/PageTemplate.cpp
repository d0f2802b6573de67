#include "ui/PageTemplate.h"

#include <cstring>
#include <cwchar>

namespace {

constexpr wchar_t kOldTypeface[] = L"MS UI Gothic";
constexpr wchar_t kNewTypeface[] = L"Yu Gothic UI";
static_assert(sizeof kOldTypeface == sizeof kNewTypeface, "the replacement must not move later bytes");

// Reads 16-bit units of a template by byte offset, refusing to leave the template.
class TemplateReader {
public:
    TemplateReader(unsigned char* data, size_t size) : m_data(data), m_size(size) {}

    bool Word(size_t offset, WORD& value) const
    {
        if (offset + sizeof(WORD) > m_size)
            return false;
        std::memcpy(&value, m_data + offset, sizeof value);
        return true;
    }
    bool Dword(size_t offset, DWORD& value) const
    {
        if (offset + sizeof(DWORD) > m_size)
            return false;
        std::memcpy(&value, m_data + offset, sizeof value);
        return true;
    }
    // A NUL-terminated UTF-16 string: the offset just past its terminator.
    bool SkipString(size_t& offset) const
    {
        WORD unit = 0;
        do {
            if (!Word(offset, unit))
                return false;
            offset += sizeof(WORD);
        } while (unit != 0);
        return true;
    }
    // A menu or window-class field: 0xFFFF and an ordinal, or a string.
    bool SkipStringOrOrdinal(size_t& offset) const
    {
        WORD first = 0;
        if (!Word(offset, first))
            return false;
        if (first == 0xFFFF) {
            offset += 2 * sizeof(WORD);
            return offset <= m_size;
        }
        return SkipString(offset);
    }
    bool Matches(size_t offset, const wchar_t* text, size_t units) const
    {
        for (size_t i = 0; i < units; ++i) {
            WORD unit = 0;
            if (!Word(offset + i * sizeof(WORD), unit) || unit != static_cast<WORD>(text[i]))
                return false;
        }
        return true;
    }
    void Write(size_t offset, const wchar_t* text, size_t units)
    {
        for (size_t i = 0; i < units; ++i) {
            const WORD unit = static_cast<WORD>(text[i]);
            std::memcpy(m_data + offset + i * sizeof(WORD), &unit, sizeof unit);
        }
    }

private:
    unsigned char* m_data;
    size_t m_size;
};

} // namespace

void SubstituteTypeface(void* dialogTemplate, size_t size, bool windows10OrLater)
{
    if (!windows10OrLater || !dialogTemplate)
        return;
    TemplateReader reader(static_cast<unsigned char*>(dialogTemplate), size);

    WORD signature = 0;
    if (!reader.Word(2, signature))
        return;
    const bool extended = signature == 0xFFFF;
    DWORD style = 0;
    if (!reader.Dword(extended ? 12 : 0, style) || !(style & DS_SETFONT))
        return;

    size_t offset = extended ? 26 : 18;
    if (!reader.SkipStringOrOrdinal(offset) || !reader.SkipStringOrOrdinal(offset) || !reader.SkipString(offset))
        return;
    offset += extended ? 6 : 2; // point size, and for the extended form weight, italic and charset

    const size_t units = std::wcslen(kOldTypeface) + 1;
    if (reader.Matches(offset, kOldTypeface, units))
        reader.Write(offset, kNewTypeface, units);
}

bool IsWindows10OrLater()
{
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwMajorVersion = 10;
    version.dwMinorVersion = 0;
    version.wServicePackMajor = 0;
    DWORDLONG mask = 0;
    mask = ::VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = ::VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = ::VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return ::VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
}

PageTemplateCopy LoadPageTemplate(HMODULE module, UINT templateId)
{
    PageTemplateCopy copy;
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    if (!info)
        return copy;
    HGLOBAL loaded = ::LoadResource(module, info);
    const DWORD resourceSize = ::SizeofResource(module, info);
    const void* resource = loaded ? ::LockResource(loaded) : nullptr;
    if (!resource || resourceSize == 0)
        return copy;

    const size_t size = (resourceSize / 1024) * 1024 + 1024;
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    void* data = memory ? ::GlobalLock(memory.get()) : nullptr;
    if (!data)
        return copy;
    std::memcpy(data, resource, resourceSize);

    SubstituteTypeface(data, resourceSize, IsWindows10OrLater());
    copy.memory = std::move(memory);
    copy.data = data;
    copy.size = size;
    return copy;
}
