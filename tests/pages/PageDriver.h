#pragma once

#include "app/Dialog.h"
#include "engine/FileTime.h"
#include "framework/MessageLoop.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/WindowTestSupport.h"

#include <windows.h>

#include <memory>
#include <string>

// The user's acts on a page, as the controls would report them to it.

// Chooses an entry of an operation combo box: the selection, then the notification a click sends.
void SelectOperation(HWND page, int comboId, int index);
LRESULT SelectedOperation(HWND page, int comboId);
int OperationCount(HWND page, int comboId);
std::wstring OperationText(HWND page, int comboId, int index);

// Changes a picker's value as a keyboard edit does: the new value, then DTN_DATETIMECHANGE.
void EditPicker(HWND page, int pickerId, FileTime utc);
// Ends a free-text edit of a picker with `text`: the user-string notification (which the page
// reflects to the picker), then the control takes the record's answer and reports the change.
void TypeIntoPicker(HWND page, int pickerId, const wchar_t* text);
FileTime PickerValue(HWND page, int pickerId);
bool PickerEnabled(HWND page, int pickerId);

void Click(HWND page, int buttonId);
bool Checked(HWND page, int buttonId);
bool Visible(HWND page, int controlId);

// The sheet's buttons and tabs.
bool ApplyEnabled(HWND sheet);
void PressApply(HWND sheet);
void PressOk(HWND sheet);
// Asks the sheet to show page `index` (the current page may refuse to be left).
void ShowPage(HWND sheet, int index);
HWND CurrentPage(HWND sheet);

// A main sheet of the program for one target, created modeless with the thread's message loop
// registered, destroyed at the end of the test.
class OpenSheet {
public:
    explicit OpenSheet(const std::wstring& target);
    ~OpenSheet();
    OpenSheet(const OpenSheet&) = delete;
    OpenSheet& operator=(const OpenSheet&) = delete;

    CDialog& Sheet() { return *m_sheet; }
    HWND Window() const { return m_window; }
    CGeneralPage& General() { return m_sheet->GeneralPage(); }
    CAdvancedPage& Advanced() { return m_sheet->AdvancedPage(); }
    HWND GeneralWindow() { return General().m_hWnd; }
    HWND AdvancedWindow() { return Advanced().m_hWnd; }

private:
    CMessageLoop m_loop;
    std::unique_ptr<CDialog> m_sheet;
    HWND m_window = nullptr;
};

// A file's or folder's times; fails the test when they cannot be read.
FileTimes TimesOf(const std::wstring& path);
// Gives an item its last-access and last-write times (and, where kept, its creation time).
void SetTimes(const std::wstring& path, FileTime creation, FileTime lastAccess, FileTime lastWrite);

// A UTC instant given as a local wall-clock reading of the test's time zone.
FileTime LocalTime(int year, int month, int day, int hour, int minute, int second);
// The local calendar of a UTC instant.
SYSTEMTIME LocalCalendar(FileTime utc);
