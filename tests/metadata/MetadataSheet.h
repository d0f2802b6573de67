#pragma once

#include "app/Dialog.h"
#include "framework/MessageLoop.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/metadata/FakePropertySystem.h"
#include "tests/metadata/StandardDocument.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>

// A real main sheet for a file of a fresh folder, built with the substitute store and created
// modeless with this thread's message loop, destroyed at the end.
class MetadataSheet {
public:
    // `prepare` may change the store before the sheet reads it.
    explicit MetadataSheet(void (*prepare)(FakePropertySystem&) = AddStandardDocument);
    ~MetadataSheet();
    MetadataSheet(const MetadataSheet&) = delete;
    MetadataSheet& operator=(const MetadataSheet&) = delete;

    bool Create();

    FakePropertySystem& Store() { return *m_store; }
    CDialog& Sheet() { return *m_sheet; }
    HWND Window() const { return m_window; }
    CMetadataPage& Page() { return m_sheet->MetadataPage(); }
    CMetadataListImpl& List() { return m_sheet->MetadataPage().List(); }
    HWND PageWindow() { return Page().m_hWnd; }
    HWND ListWindow() { return List().m_hWnd; }
    const std::wstring& File() const { return m_file; }
    CMessageLoop& Loop() { return m_loop; }

    // Shows the Metadata tab, as a click on it does.
    void ShowMetadataTab();
    // Processes the queued messages as the program's loop does, keyboard filter included.
    void Pump();
    // A key pressed while `window` has the focus, through the program's loop.
    void PressKey(HWND window, WPARAM key);

    void SelectRow(int row);
    std::wstring Cell(int row, int column);
    // Gives a row's value cell a text of the test's choice, as a display text could read.
    void SetValueCell(int row, const std::wstring& text);
    const MetadataEntry& Entry(int row) { return List().Model().Entries().at(static_cast<std::size_t>(row)); }
    bool ApplyEnabled();
    void PressApply();
    // Sends a list command as a choice in its context menu delivers it.
    void Command(WORD id);

private:
    TempFolder m_folder;
    std::wstring m_file;
    std::unique_ptr<FakePropertySystem> m_store;
    CMessageLoop m_loop;
    std::unique_ptr<CDialog> m_sheet;
    HWND m_window = nullptr;
};

int TabCount(HWND sheet);
std::wstring TabText(HWND sheet, int index);
std::wstring ColumnTitle(HWND list, int column);

// The text a date value shows in the pickers of this locale.
std::wstring PickerText(std::uint64_t utc);
// A date text read back as the program reads it; 0 when it does not parse.
std::uint64_t ParsedDate(const std::wstring& text);

// Ends a date edit with free text, as Windows' picker reports it to the page (Wine's picker
// has no free-text mode, so the test sends the notification itself). Returns the record as
// the handlers left it, and their result.
NMDATETIMESTRINGW SendUserString(HWND page, HWND picker, const wchar_t* text, LRESULT& result);

// The keyboard focus, or whether it is inside a window.
bool HasFocusWithin(HWND window);

std::wstring ClipboardText();
