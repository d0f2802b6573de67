#pragma once

#include "metadata/MetadataEntry.h"
#include "tests/metadata/FakePropertySystem.h"
#include "tests/metadata/StandardDocument.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cstdint>
#include <string>

// A document in a fresh folder whose properties live in the substitute store; a sheet for it
// is SheetDriver(document.File(), document.Store()).
class StoredDocument {
public:
    // `prepare` fills the store before any sheet reads it.
    explicit StoredDocument(void (*prepare)(FakePropertySystem&) = AddStandardDocument);
    StoredDocument(const StoredDocument&) = delete;
    StoredDocument& operator=(const StoredDocument&) = delete;

    const std::wstring& File() const noexcept { return m_file; }
    FakePropertySystem& Store() noexcept { return m_store; }

private:
    TempFolder m_folder;
    std::wstring m_file;
    FakePropertySystem m_store;
};

// The Metadata page's list in a driven sheet.
HWND ListWindow(SheetDriver& sheet);
void SelectRow(SheetDriver& sheet, int row);
std::wstring Cell(SheetDriver& sheet, int row, int column);
// Gives a row's value cell a text of the test's choice, as a display text could read.
void SetValueCell(SheetDriver& sheet, int row, const std::wstring& text);
const MetadataEntry& Entry(SheetDriver& sheet, int row);
// Sends a list command as a choice in its context menu delivers it.
void ListCommand(SheetDriver& sheet, WORD id);

std::wstring ColumnTitle(HWND list, int column);

// The text a date value shows in the pickers of this locale.
std::wstring PickerText(std::uint64_t utc);
// A date text read back as the program reads it; 0 when it does not parse.
std::uint64_t ParsedDate(const std::wstring& text);

// The keyboard focus, or whether it is inside a window.
bool HasFocusWithin(HWND window);

std::wstring ClipboardText();
