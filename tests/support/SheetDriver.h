#pragma once

#include "app/Dialog.h"
#include "engine/FileTime.h"
#include "framework/MessageLoop.h"
#include "metadata/PropertySystem.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The program's main sheet for one target, as the program opens it: modeless, with this
// thread's message loop registered, so that the sheet's keyboard filter and the pages' idle
// handlers take part. Destroyed, if still open, at the end.
//
// The sheet object, which reads the target and its properties, is built when first used
// (Sheet(), a page, or Create()), so that a test can prepare the target and the store first.
class SheetDriver {
public:
    // Properties through the running Windows' property system.
    explicit SheetDriver(std::wstring target);
    // A sheet for several selected items, in their order.
    explicit SheetDriver(std::vector<std::wstring> targets);
    // Properties through `properties`, which must outlive the driver.
    SheetDriver(std::wstring target, PropertySystem& properties);
    ~SheetDriver();
    SheetDriver(const SheetDriver&) = delete;
    SheetDriver& operator=(const SheetDriver&) = delete;

    // Creates the sheet window and processes what its creation queued; false without a window.
    [[nodiscard]] bool Create();

    CDialog& Sheet();
    HWND Window() const noexcept { return m_window; }
    // The window exists (OK, Cancel and the system menu's Close end it).
    bool IsOpen() const;
    CMessageLoop& Loop() noexcept { return m_loop; }

    CGeneralPage& General() { return Sheet().GeneralPage(); }
    CAdvancedPage& Advanced() { return Sheet().AdvancedPage(); }
    CMetadataPage& Metadata() { return Sheet().MetadataPage(); }
    HWND GeneralWindow() { return General().m_hWnd; }
    HWND AdvancedWindow() { return Advanced().m_hWnd; }
    HWND MetadataWindow() { return Metadata().m_hWnd; }

    // Pages in tab order; the index of none is -1.
    int TabCount() const;
    std::wstring TabText(int index) const;
    HWND PageWindow(int index) const;
    int PageIndex(HWND page) const;
    HWND CurrentPage() const;
    // Asks the sheet to show page `index`, as a click on its tab does; the current page may
    // refuse to be left.
    void ShowPage(int index);

    bool ApplyEnabled() const;
    // Clicks one of the sheet's buttons (IDOK, IDCANCEL, kApplyNowButton) as the user would,
    // and processes what the click queued.
    void Press(int button);
    void PressOk() { Press(IDOK); }
    void PressCancel() { Press(IDCANCEL); }
    void PressApply();
    // Close from the system menu.
    void CloseFromSystemMenu();

    // Processes the queued messages as the program's loop does, message filters included.
    // Returns the exit code of a WM_QUIT found among them, which QuitCode() keeps.
    std::optional<int> Pump();
    std::optional<int> QuitCode() const noexcept { return m_quit; }
    // A key pressed and released while `window` has the focus, through the loop.
    void PressKey(HWND window, WPARAM key);

private:
    std::vector<std::wstring> m_targets;
    PropertySystem* m_properties;
    CMessageLoop m_loop;
    std::unique_ptr<CDialog> m_sheet;
    HWND m_window = nullptr;
    std::optional<int> m_quit;
};

// The user's acts on a page's controls, as the controls would report them to it.

// Chooses an entry of an operation combo box: the selection, then the notification a click sends.
void SelectOperation(HWND page, int comboId, int index);
LRESULT SelectedOperation(HWND page, int comboId);
int OperationCount(HWND page, int comboId);
std::wstring OperationText(HWND page, int comboId, int index);

// Picker values as the user sees them: the control's local calendar time as a UTC file time
// (InvalidFileTime when it holds none), and set as a keyboard edit would leave it.
FileTime PickerUtc(HWND picker);
bool SetPickerUtc(HWND picker, FileTime utc);
// Changes a picker's value as a keyboard edit does: the new value, then DTN_DATETIMECHANGE.
void EditPicker(HWND page, int pickerId, FileTime utc);
FileTime PickerValue(HWND page, int pickerId);
bool PickerEnabled(HWND page, int pickerId);

// The notification a picker sends when the user ends a free-text edit with `text` (Wine's
// picker has no such mode), sent to `receiver` (the picker's parent when null), which hands it
// to the picker. The record starts with the picker's value; returns it as the handlers left it,
// and in `result` the receiver's answer.
NMDATETIMESTRINGW SendUserString(HWND picker, const wchar_t* text, LRESULT* result = nullptr, HWND receiver = nullptr);
// Ends a free-text edit of a page's picker with `text`: the notification, then the control
// takes the record's answer and reports the change.
void TypeIntoPicker(HWND page, int pickerId, const wchar_t* text);

void Click(HWND page, int buttonId);
bool Checked(HWND page, int buttonId);
// The control's WS_VISIBLE style (a page not shown keeps its controls' own).
bool Visible(HWND page, int controlId);
std::wstring ControlText(HWND page, int controlId);

// An item's times on disk; fails the test when they cannot be read.
FileTimes TimesOf(const std::wstring& path);
// Gives an item its times (Wine keeps no creation time of its own); fails the test otherwise.
void SetTimes(const std::wstring& path, FileTime creation, FileTime lastAccess, FileTime lastWrite);
