#include "ui/DlgInit.h"

#include "framework/Module.h"

#include <commctrl.h>

#include <cstring>

namespace {

constexpr WORD kAddComboString = 0x0403;
constexpr WORD kInsertComboExItem = 0x1234;
constexpr size_t kRecordHeader = 8;

} // namespace

void ForEachDlgInitRecord(const void* data, size_t size, const std::function<bool(const DlgInitRecord&)>& visit)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t offset = 0;
    while (offset + sizeof(WORD) <= size) {
        DlgInitRecord record{};
        std::memcpy(&record.controlId, bytes + offset, sizeof(WORD));
        if (record.controlId == 0 || offset + kRecordHeader > size)
            return;
        std::memcpy(&record.message, bytes + offset + 2, sizeof(WORD));
        std::memcpy(&record.length, bytes + offset + 4, sizeof(DWORD));
        if (record.length > size - offset - kRecordHeader)
            return;
        record.data = reinterpret_cast<const char*>(bytes + offset + kRecordHeader);
        if (!visit(record))
            return;
        offset += kRecordHeader + record.length;
    }
}

std::wstring DlgInitText(const DlgInitRecord& record)
{
    const size_t bytes = ::strnlen(record.data, record.length);
    if (bytes == 0)
        return {};
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, record.data, static_cast<int>(bytes), nullptr, 0);
    std::wstring text(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, record.data, static_cast<int>(bytes), text.data(), units);
    return text;
}

bool FillCombosFromDlgInit(HWND dialog, UINT resourceId)
{
    HMODULE module = AppModule().GetResourceInstance();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(240));
    HGLOBAL loaded = info ? ::LoadResource(module, info) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return true;
    return FillCombosFromDlgInitData(dialog, data, ::SizeofResource(module, info));
}

bool FillCombosFromDlgInitData(HWND dialog, const void* data, size_t size)
{
    bool refused = false;
    ForEachDlgInitRecord(data, size, [&](const DlgInitRecord& record) {
        if (record.message == kAddComboString) {
            const std::wstring text = DlgInitText(record);
            refused = ::SendDlgItemMessageW(dialog, record.controlId, CB_ADDSTRING, 0,
                                            reinterpret_cast<LPARAM>(text.c_str())) == CB_ERR;
        } else if (record.message == kInsertComboExItem) {
            std::wstring text = DlgInitText(record);
            COMBOBOXEXITEMW item{};
            item.mask = CBEIF_TEXT;
            item.iItem = -1;
            item.pszText = text.data();
            refused = ::SendDlgItemMessageW(dialog, record.controlId, CBEM_INSERTITEMW, 0,
                                            reinterpret_cast<LPARAM>(&item)) == -1;
        }
        return !refused;
    });
    return !refused;
}
