#pragma once

#include <windows.h>

#include <string>

// The text or caption of a message box: either a text, or the identifier of a string
// resource (a value below 0x10000, as MAKEINTRESOURCEW makes). A caption of 0 means none.
// It only points at the text, so it lives as a call's argument and no longer.
class MessageText {
public:
    MessageText(const wchar_t* textOrId) noexcept : value_(textOrId) {}
    MessageText(const std::wstring& text) noexcept : value_(text.c_str()) {}
    MessageText(int id) noexcept : value_(MAKEINTRESOURCEW(id)) {}
    MessageText(UINT id) noexcept : value_(MAKEINTRESOURCEW(id)) {}

    [[nodiscard]] bool IsResourceId() const noexcept { return IS_INTRESOURCE(value_); }
    [[nodiscard]] UINT ResourceId() const noexcept { return static_cast<UINT>(reinterpret_cast<ULONG_PTR>(value_)); }
    [[nodiscard]] const wchar_t* Text() const noexcept { return value_; }

private:
    const wchar_t* value_;
};

// Shows a message box; string resources come from the module's resource instance. Returns
// the button pressed, or 0 when the box cannot be shown.
int ShowMessage(HWND owner, const MessageText& text, const MessageText& caption, UINT style);

// The system's failure report: ResultText(code), then a line feed and the path when one is
// given, in an error box captioned with the product name (string 128).
int ReportFailure(HWND owner, HRESULT code, const wchar_t* path);
