#include "engine/TimestampText.h"

#include "engine/PropertyValueText.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>

namespace {

// The formatted scan " %9u : %2u %n: %2u %n. %n%3u%n %n" of the C library, done by hand so
// that every runtime reads the text alike: each step stops the scan at the first mismatch.
class DurationScanner {
public:
    explicit DurationScanner(const wchar_t* text) : text_(text) {}

    void SkipSpace()
    {
        while (IsSpace(text_[position_]))
            ++position_;
    }

    bool Literal(wchar_t c)
    {
        if (text_[position_] != c)
            return false;
        ++position_;
        return true;
    }

    // "%Nu": white space, then an optional sign and decimal digits, at most width characters
    // in all; a minus negates in unsigned arithmetic.
    bool Unsigned(int width, std::uint32_t& value)
    {
        SkipSpace();
        int used = 0;
        bool negative = false;
        if (text_[position_] == L'+' || text_[position_] == L'-') {
            negative = text_[position_] == L'-';
            ++position_;
            ++used;
        }
        std::uint32_t number = 0;
        int digits = 0;
        while (used < width && text_[position_] >= L'0' && text_[position_] <= L'9') {
            number = number * 10u + static_cast<std::uint32_t>(text_[position_] - L'0');
            ++position_;
            ++used;
            ++digits;
        }
        if (digits == 0)
            return false;
        value = negative ? 0u - number : number;
        return true;
    }

    [[nodiscard]] std::size_t Position() const { return position_; }

private:
    static bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

    const wchar_t* text_;
    std::size_t position_ = 0;
};

struct DurationFields {
    std::uint32_t hours = 0;
    std::uint32_t minutes = 0;
    std::uint32_t seconds = 0;
    std::uint32_t fraction = 0;
    std::size_t fractionDigits = 0;
    std::size_t used = 0; // characters used up at the last point the scan reached
};

DurationFields ScanDuration(const wchar_t* text)
{
    DurationFields fields;
    DurationScanner scan(text);
    scan.SkipSpace();
    if (!scan.Unsigned(9, fields.hours))
        return fields;
    scan.SkipSpace();
    if (!scan.Literal(L':') || !scan.Unsigned(2, fields.minutes))
        return fields;
    scan.SkipSpace();
    fields.used = scan.Position();
    if (!scan.Literal(L':') || !scan.Unsigned(2, fields.seconds))
        return fields;
    scan.SkipSpace();
    fields.used = scan.Position();
    if (!scan.Literal(L'.'))
        return fields;
    scan.SkipSpace();
    const std::size_t fractionStart = scan.Position();
    if (!scan.Unsigned(3, fields.fraction))
        return fields;
    fields.fractionDigits = scan.Position() - fractionStart;
    scan.SkipSpace();
    fields.used = scan.Position();
    return fields;
}

} // namespace

HRESULT ParseDurationText(const wchar_t* text, PROPVARIANT* value)
{
    HRESULT early = S_OK;
    if (!StartPropertyValueParse(text, value, early))
        return early;

    const DurationFields fields = ScanDuration(text);
    if (fields.used < std::wcslen(text))
        return DISP_E_TYPEMISMATCH;
    if (fields.hours > 512409557u)
        return DISP_E_OVERFLOW;
    if (fields.minutes > 59u || fields.seconds > 59u || fields.fraction > 999u)
        return DISP_E_TYPEMISMATCH;

    std::uint64_t milliseconds = fields.fraction;
    if (fields.fractionDigits == 1)
        milliseconds *= 100;
    else if (fields.fractionDigits == 2)
        milliseconds *= 10;

    const std::uint64_t totalSeconds =
        (static_cast<std::uint64_t>(fields.hours) * 60 + fields.minutes) * 60 + fields.seconds;
    constexpr std::uint64_t maxSeconds = 1844674407370ull;
    if (totalSeconds > maxSeconds)
        return DISP_E_OVERFLOW;
    const std::uint64_t ticks = totalSeconds * 10'000'000ull;
    const std::uint64_t fractionTicks = milliseconds * 10'000ull;
    if (ticks > UINT64_MAX - fractionTicks)
        return DISP_E_OVERFLOW;

    // The longest duration kept is 2^32 - 1 minutes.
    constexpr std::uint64_t longestDuration = 2576980377000000000ull;
    const std::uint64_t units = ticks + fractionTicks;
    value->vt = VT_UI8;
    value->uhVal.QuadPart = units < longestDuration ? units : longestDuration;
    return S_OK;
}
