#include "tests/res/DialogTemplate.h"

namespace {

// A name-or-ordinal field: 0xFFFF and a 16-bit ordinal, or a NUL-terminated string.
std::wstring ReadNameOrOrdinal(ByteReader& reader, bool isClass)
{
    const auto first = reader.Read<WORD>();
    if (first == 0xFFFF) {
        const auto ordinal = reader.Read<WORD>();
        if (!isClass)
            return L"#" + std::to_wstring(ordinal);
        switch (ordinal) {
        case 0x80:
            return L"BUTTON";
        case 0x81:
            return L"EDIT";
        case 0x82:
            return L"STATIC";
        case 0x83:
            return L"LISTBOX";
        case 0x84:
            return L"SCROLLBAR";
        case 0x85:
            return L"COMBOBOX";
        default:
            return L"#" + std::to_wstring(ordinal);
        }
    }
    if (first == 0)
        return {};
    return static_cast<wchar_t>(first) + reader.ReadWideString();
}

} // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::byte> data)
{
    ByteReader reader(data);
    DialogTemplate dialog;
    const auto version = reader.Read<WORD>();
    const auto signature = reader.Read<WORD>();
    if (version != 1 || signature != 0xFFFF)
        return std::nullopt;
    reader.Read<DWORD>(); // help ID
    dialog.exStyle = reader.Read<DWORD>();
    dialog.style = reader.Read<DWORD>();
    const auto count = reader.Read<WORD>();
    reader.Read<short>();
    reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    ReadNameOrOrdinal(reader, false); // menu
    ReadNameOrOrdinal(reader, false); // window class
    dialog.title = reader.ReadWideString();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Read<WORD>();
        dialog.weight = reader.Read<WORD>();
        dialog.italic = reader.Read<BYTE>();
        dialog.charset = reader.Read<BYTE>();
        dialog.typeface = reader.ReadWideString();
    }
    for (WORD i = 0; i < count && reader.ok(); ++i) {
        reader.AlignTo(4);
        DialogItem item;
        reader.Read<DWORD>(); // help ID
        item.exStyle = reader.Read<DWORD>();
        item.style = reader.Read<DWORD>();
        item.x = reader.Read<short>();
        item.y = reader.Read<short>();
        item.cx = reader.Read<short>();
        item.cy = reader.Read<short>();
        item.id = reader.Read<DWORD>();
        item.className = ReadNameOrOrdinal(reader, true);
        item.text = ReadNameOrOrdinal(reader, false);
        reader.ReadBytes(reader.Read<WORD>()); // creation data
        dialog.items.push_back(std::move(item));
    }
    if (!reader.ok())
        return std::nullopt;
    return dialog;
}
