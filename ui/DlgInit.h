#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

// One record of dialog-initialisation data (resource type 240).
struct DlgInitRecord {
    WORD controlId;
    WORD message;
    const char* data; // the record's bytes, NUL-terminated text
    DWORD length;     // bytes, terminator included
};

// Visits the records of dialog-initialisation data in order until the terminating zero
// control id, or until `visit` returns false. A record that would run past `size` ends the
// walk. No window or resource calls: the caller provides the bytes.
void ForEachDlgInitRecord(const void* data, size_t size, const std::function<bool(const DlgInitRecord&)>& visit);

// The record's text as UTF-16. Our resources store the combo-box texts as UTF-8, so the
// Japanese texts come out right whatever the thread's ANSI code page.
std::wstring DlgInitText(const DlgInitRecord& record);

// Fills the dialog's combo boxes from dialog-initialisation resource `resourceId`: 0x0403
// records add a combo-box string, 0x1234 records a combo-box-ex item, other codes are skipped.
// Stops after the first refused entry. True when nothing was refused (or there is no resource).
bool FillCombosFromDlgInit(HWND dialog, UINT resourceId);
bool FillCombosFromDlgInitData(HWND dialog, const void* data, size_t size);
