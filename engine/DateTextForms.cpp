#include "engine/DateTextForms.h"

#include <array>
#include <cstddef>

namespace {

bool IsAsciiDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

wchar_t AsciiLower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Reads a text from the front. A piece that does not fit leaves the position where it was, so
// that an optional piece is simply tried.
class TextScanner {
public:
    explicit TextScanner(std::wstring_view text) : text_(text) {}

    bool Char(wchar_t expected)
    {
        if (position_ >= text_.size() || text_[position_] != expected)
            return false;
        ++position_;
        return true;
    }

    // As many ASCII digits as there are, up to most; at least fewest.
    bool Digits(std::size_t fewest, std::size_t most, std::wstring_view& digits)
    {
        std::size_t count = 0;
        while (count < most && position_ + count < text_.size() && IsAsciiDigit(text_[position_ + count]))
            ++count;
        if (count < fewest)
            return false;
        digits = text_.substr(position_, count);
        position_ += count;
        return true;
    }

    bool Digits(std::size_t count, std::wstring_view& digits) { return Digits(count, count, digits); }

    // A run of white space of at least fewest characters.
    bool Space(std::size_t fewest)
    {
        std::size_t count = 0;
        while (position_ + count < text_.size() && IsTextSpace(text_[position_ + count]))
            ++count;
        if (count < fewest)
            return false;
        position_ += count;
        return true;
    }

    // The first of the names that the text goes on with, letter case of ASCII aside.
    template <std::size_t N> bool Name(const std::array<std::wstring_view, N>& names, std::wstring_view& name)
    {
        for (std::wstring_view candidate : names) {
            if (text_.size() - position_ < candidate.size())
                continue;
            std::size_t i = 0;
            while (i < candidate.size() && AsciiLower(text_[position_ + i]) == AsciiLower(candidate[i]))
                ++i;
            if (i == candidate.size()) {
                name = text_.substr(position_, i);
                position_ += i;
                return true;
            }
        }
        return false;
    }

    template <std::size_t N> bool Name(const std::array<std::wstring_view, N>& names)
    {
        std::wstring_view name;
        return Name(names, name);
    }

    [[nodiscard]] std::size_t Position() const { return position_; }
    void MoveBack(std::size_t position) { position_ = position; }
    [[nodiscard]] std::wstring_view Since(std::size_t position) const
    {
        return text_.substr(position, position_ - position);
    }
    [[nodiscard]] bool AtEnd() const { return position_ == text_.size(); }

private:
    std::wstring_view text_;
    std::size_t position_ = 0;
};

const std::array<std::wstring_view, 7> ShortDayNames = {L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat", L"Sun"};
const std::array<std::wstring_view, 7> DayNames = {L"Monday", L"Tuesday",  L"Wednesday", L"Thursday",
                                                   L"Friday", L"Saturday", L"Sunday"};
const std::array<std::wstring_view, 12> MonthNames = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                                      L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const std::array<std::wstring_view, 1> Gmt = {L"GMT"};

// The optional seconds and zone that end both ISO forms; separator is the colon of the extended
// form, or none.
bool ReadIsoEnd(TextScanner& scanner, wchar_t separator, IsoDateFields& fields)
{
    const auto separated = [&](std::wstring_view& digits) {
        const std::size_t start = scanner.Position();
        if ((separator == 0 || scanner.Char(separator)) && scanner.Digits(2, digits))
            return true;
        scanner.MoveBack(start);
        digits = {};
        return false;
    };
    separated(fields.second);
    const std::size_t zoneStart = scanner.Position();
    if (!scanner.Char(L'Z')) {
        if ((scanner.Char(L'+') || scanner.Char(L'-')) && scanner.Digits(2, fields.offsetHours)) {
            fields.offsetHours = scanner.Since(zoneStart);
            separated(fields.offsetMinutes);
        } else {
            scanner.MoveBack(zoneStart);
        }
    }
    fields.zone = scanner.Since(zoneStart);
    return scanner.AtEnd();
}

} // namespace

bool IsTextSpace(wchar_t c)
{
    switch (c) {
    case L'\t':
    case L'\n':
    case L'\v':
    case L'\f':
    case L'\r':
    case L' ':
    case 0x00A0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
    case 0xFEFF:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

std::wstring_view TrimTextSpace(std::wstring_view text)
{
    while (!text.empty() && IsTextSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTextSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool ReadIsoBasicForm(std::wstring_view text, IsoDateFields& fields)
{
    fields = {};
    TextScanner scanner(text);
    return scanner.Digits(4, fields.year) && scanner.Digits(2, fields.month) && scanner.Digits(2, fields.day) &&
           scanner.Char(L'T') && scanner.Digits(2, fields.hour) && scanner.Digits(2, fields.minute) &&
           ReadIsoEnd(scanner, 0, fields);
}

bool ReadIsoExtendedForm(std::wstring_view text, IsoDateFields& fields)
{
    fields = {};
    TextScanner scanner(text);
    return scanner.Digits(4, fields.year) && scanner.Char(L'-') && scanner.Digits(2, fields.month) &&
           scanner.Char(L'-') && scanner.Digits(2, fields.day) && scanner.Char(L'T') &&
           scanner.Digits(2, fields.hour) && scanner.Char(L':') && scanner.Digits(2, fields.minute) &&
           ReadIsoEnd(scanner, L':', fields);
}

bool ReadRfc1123Form(std::wstring_view text, HttpDateFields& fields)
{
    fields = {};
    TextScanner scanner(text);
    if (!(scanner.Name(ShortDayNames) && scanner.Char(L',') && scanner.Space(0) && scanner.Digits(1, 2, fields.day) &&
          scanner.Space(1) && scanner.Name(MonthNames, fields.month) && scanner.Space(1) &&
          scanner.Digits(4, fields.year) && scanner.Space(1) && scanner.Digits(1, 2, fields.hour) &&
          scanner.Char(L':') && scanner.Digits(2, fields.minute) && scanner.Char(L':') &&
          scanner.Digits(2, fields.second)))
        return false;
    if (scanner.AtEnd())
        return true;
    return scanner.Space(1) && scanner.Name(Gmt) && scanner.AtEnd();
}

bool ReadRfc850Form(std::wstring_view text, HttpDateFields& fields)
{
    fields = {};
    TextScanner scanner(text);
    return scanner.Name(DayNames) && scanner.Char(L',') && scanner.Space(0) && scanner.Digits(2, fields.day) &&
           scanner.Char(L'-') && scanner.Name(MonthNames, fields.month) && scanner.Char(L'-') &&
           scanner.Digits(2, fields.year) && scanner.Space(1) && scanner.Digits(2, fields.hour) && scanner.Char(L':') &&
           scanner.Digits(2, fields.minute) && scanner.Char(L':') && scanner.Digits(2, fields.second) &&
           scanner.Space(1) && scanner.Name(Gmt) && scanner.AtEnd();
}

bool ReadAsctimeForm(std::wstring_view text, HttpDateFields& fields)
{
    fields = {};
    TextScanner scanner(text);
    return scanner.Name(ShortDayNames) && scanner.Space(1) && scanner.Name(MonthNames, fields.month) &&
           scanner.Space(1) && scanner.Digits(1, 2, fields.day) && scanner.Space(1) && scanner.Digits(2, fields.hour) &&
           scanner.Char(L':') && scanner.Digits(2, fields.minute) && scanner.Char(L':') &&
           scanner.Digits(2, fields.second) && scanner.Space(1) && scanner.Digits(4, fields.year) && scanner.AtEnd();
}
