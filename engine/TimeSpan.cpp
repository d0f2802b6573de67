#include "engine/TimeSpan.h"

#include <algorithm>
#include <cstddef>

namespace {

// The largest file time the platform converts and writes, and so the longest exact span.
constexpr std::uint64_t LargestTicks = 0x7FFFFFFFFFFFFFFFull;
constexpr std::uint64_t LargestMonths = 0x7FFFFFFFull;
constexpr std::uint64_t TicksPerHour = 60 * TicksPerMinute;
// Fractions are read to seven decimals, a tick of a second.
constexpr int FractionDigits = 7;
constexpr std::uint64_t FractionScale = 10'000'000ull;

// The units of a span, largest first: a text names them in this order, each at most once.
enum class Unit { Years, Months, Weeks, Days, Hours, Minutes, Seconds };

std::uint64_t SecondsPer(Unit unit)
{
    switch (unit) {
    case Unit::Weeks:
        return 7 * 86400;
    case Unit::Days:
        return 86400;
    case Unit::Hours:
        return 3600;
    case Unit::Minutes:
        return 60;
    default:
        return 1;
    }
}

// Full-width forms of ASCII (digits, signs, colon, letters) read as ASCII, and the minus sign
// as a hyphen-minus.
wchar_t Plain(wchar_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E)
        return static_cast<wchar_t>(c - 0xFEE0);
    if (c == 0x2212)
        return L'-';
    return c;
}

// White space, the no-break and ideographic spaces, and the invisible direction marks a
// pasted text may carry.
bool IsSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x00A0 || c == 0x3000 || c == 0x202F || c == 0x200E ||
           c == 0x200F || c == 0x061C || (c >= 0x202A && c <= 0x202E);
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

bool IsLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

wchar_t Lower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// A number as written: its whole part, and its decimals in ten-millionths.
struct Number {
    std::uint64_t whole = 0;
    std::uint64_t fraction = 0;
    bool hasFraction = false;
};

// The magnitudes of the fields a text has named so far.
class SpanTotals {
public:
    // False where a field would overflow, or a calendar unit has a fraction.
    bool Add(Unit unit, const Number& number)
    {
        if (unit == Unit::Years || unit == Unit::Months) {
            const std::uint64_t perUnit = unit == Unit::Years ? 12 : 1;
            if (number.hasFraction || number.whole > (LargestMonths - months_) / perUnit)
                return false;
            months_ += number.whole * perUnit;
            return true;
        }
        const std::uint64_t seconds = SecondsPer(unit);
        const std::uint64_t perUnit = seconds * TicksPerSecond;
        if (number.whole > LargestTicks / perUnit)
            return false;
        // At most LargestTicks plus less than a week: no wrap in 64 bits.
        const std::uint64_t ticks = number.whole * perUnit + number.fraction * seconds;
        if (ticks > LargestTicks - ticks_)
            return false;
        ticks_ += ticks;
        return true;
    }

    [[nodiscard]] TimeSpan Signed(bool negative) const
    {
        const auto months = static_cast<std::int32_t>(months_);
        const auto ticks = static_cast<std::int64_t>(ticks_);
        return negative ? TimeSpan{-months, -ticks} : TimeSpan{months, ticks};
    }

private:
    std::uint64_t months_ = 0;
    std::uint64_t ticks_ = 0;
};

// Reads a span's text front to back, never past its end; each step takes a character or fails.
class SpanScanner {
public:
    explicit SpanScanner(std::wstring_view text) : text_(text) {}

    [[nodiscard]] bool AtEnd() const { return at_ >= text_.size(); }

    // The character `ahead` places on, as Plain reads it; 0 past the end.
    [[nodiscard]] wchar_t Peek(std::size_t ahead = 0) const
    {
        return ahead < text_.size() - std::min(at_, text_.size()) ? Plain(text_[at_ + ahead]) : L'\0';
    }

    void Advance() { ++at_; }

    void SkipSpace()
    {
        while (!AtEnd() && IsSpace(Peek()))
            Advance();
    }

    bool Take(wchar_t c)
    {
        if (AtEnd() || Peek() != c)
            return false;
        Advance();
        return true;
    }

    bool Match(std::wstring_view word)
    {
        if (text_.size() - at_ < word.size() || text_.substr(at_, word.size()) != word)
            return false;
        at_ += word.size();
        return true;
    }

    // Decimal digits, with decimals after a period (or a comma, where commaToo says so).
    bool ReadNumber(Number& number, bool commaToo)
    {
        if (!IsDigit(Peek()))
            return false;
        number = Number{};
        while (IsDigit(Peek())) {
            const auto digit = static_cast<std::uint64_t>(Peek() - L'0');
            if (number.whole > (LargestTicks - digit) / 10)
                return false;
            number.whole = number.whole * 10 + digit;
            Advance();
        }
        const wchar_t mark = Peek();
        if ((mark == L'.' || (commaToo && mark == L',')) && IsDigit(Peek(1))) {
            Advance();
            return ReadFraction(number);
        }
        return true;
    }

    // One or two digits below 60, and not followed by a third.
    bool ReadSexagesimal(std::uint64_t& value)
    {
        if (!IsDigit(Peek()))
            return false;
        value = 0;
        for (int i = 0; i < 2 && IsDigit(Peek()); ++i) {
            value = value * 10 + static_cast<std::uint64_t>(Peek() - L'0');
            Advance();
        }
        return value < 60 && !IsDigit(Peek());
    }

    // Up to seven decimals; more would be finer than a tick.
    bool ReadFraction(Number& number)
    {
        int digits = 0;
        std::uint64_t fraction = 0;
        while (IsDigit(Peek())) {
            if (++digits > FractionDigits)
                return false;
            fraction = fraction * 10 + static_cast<std::uint64_t>(Peek() - L'0');
            Advance();
        }
        if (digits == 0)
            return false;
        for (int i = digits; i < FractionDigits; ++i)
            fraction *= 10;
        number.fraction = fraction;
        number.hasFraction = true;
        return true;
    }

    // A run of up to `longest` ASCII letters, lower-cased; false for a longer run.
    bool ReadWord(std::wstring& word, std::size_t longest)
    {
        word.clear();
        while (IsLetter(Peek())) {
            if (word.size() == longest)
                return false;
            word.push_back(Lower(Peek()));
            Advance();
        }
        return !word.empty();
    }

private:
    std::wstring_view text_;
    std::size_t at_ = 0;
};

struct UnitName {
    std::wstring_view name;
    Unit unit;
};

constexpr UnitName EnglishUnits[] = {
    {L"y", Unit::Years},        {L"yr", Unit::Years},        {L"yrs", Unit::Years},       {L"year", Unit::Years},
    {L"years", Unit::Years},    {L"mo", Unit::Months},       {L"mos", Unit::Months},      {L"month", Unit::Months},
    {L"months", Unit::Months},  {L"w", Unit::Weeks},         {L"wk", Unit::Weeks},        {L"wks", Unit::Weeks},
    {L"week", Unit::Weeks},     {L"weeks", Unit::Weeks},     {L"d", Unit::Days},          {L"day", Unit::Days},
    {L"days", Unit::Days},      {L"h", Unit::Hours},         {L"hr", Unit::Hours},        {L"hrs", Unit::Hours},
    {L"hour", Unit::Hours},     {L"hours", Unit::Hours},     {L"min", Unit::Minutes},     {L"mins", Unit::Minutes},
    {L"minute", Unit::Minutes}, {L"minutes", Unit::Minutes}, {L"s", Unit::Seconds},       {L"sec", Unit::Seconds},
    {L"secs", Unit::Seconds},   {L"second", Unit::Seconds},  {L"seconds", Unit::Seconds},
};
constexpr std::size_t LongestEnglishUnit = 7;

// 年, か月 (also カ月, ヶ月, ケ月, ヵ月, 箇月), 週, 日, 時間, 分, 秒; each but 時間 may be
// followed by 間 ("for the length of").
constexpr wchar_t Interval = L'\u9593';
constexpr UnitName JapaneseUnits[] = {
    {L"\u5E74", Unit::Years},        {L"\u304B\u6708", Unit::Months}, {L"\u30AB\u6708", Unit::Months},
    {L"\u30F6\u6708", Unit::Months}, {L"\u30B1\u6708", Unit::Months}, {L"\u30F5\u6708", Unit::Months},
    {L"\u7B87\u6708", Unit::Months}, {L"\u9031", Unit::Weeks},        {L"\u65E5", Unit::Days},
    {L"\u6642\u9593", Unit::Hours},  {L"\u5206", Unit::Minutes},      {L"\u79D2", Unit::Seconds},
};

bool ReadUnitName(SpanScanner& scan, Unit& unit)
{
    if (IsLetter(scan.Peek())) {
        std::wstring word;
        if (!scan.ReadWord(word, LongestEnglishUnit))
            return false;
        for (const UnitName& name : EnglishUnits) {
            if (word == name.name) {
                unit = name.unit;
                return true;
            }
        }
        return false;
    }
    for (const UnitName& name : JapaneseUnits) {
        if (scan.Match(name.name)) {
            unit = name.unit;
            if (name.name.back() != Interval)
                scan.Take(Interval);
            return true;
        }
    }
    return false;
}

// "h:mm[:ss[.fffffff]]", the hours already read.
bool ReadClock(SpanScanner& scan, const Number& hours, SpanTotals& totals)
{
    Number minutes;
    Number seconds;
    if (hours.hasFraction || !scan.Take(L':') || !scan.ReadSexagesimal(minutes.whole))
        return false;
    if (scan.Take(L':')) {
        if (!scan.ReadSexagesimal(seconds.whole))
            return false;
        if (scan.Peek() == L'.' && IsDigit(scan.Peek(1))) {
            scan.Advance();
            if (!scan.ReadFraction(seconds))
                return false;
        }
    }
    return totals.Add(Unit::Hours, hours) && totals.Add(Unit::Minutes, minutes) && totals.Add(Unit::Seconds, seconds);
}

// Numbers with units, in English or Japanese, and at most one clock reading standing for
// hours, minutes and seconds, largest unit first: "1 day 2:00", "2 h 30 min", "1年6か月".
bool ReadWrittenSpan(SpanScanner& scan, SpanTotals& totals)
{
    int last = -1;
    for (;;) {
        scan.SkipSpace();
        if (scan.AtEnd())
            return last >= 0;
        Number number;
        if (!scan.ReadNumber(number, false))
            return false;
        if (scan.Peek() == L':') {
            if (last >= static_cast<int>(Unit::Hours) || !ReadClock(scan, number, totals))
                return false;
            last = static_cast<int>(Unit::Seconds);
            continue;
        }
        scan.SkipSpace();
        Unit unit;
        if (!ReadUnitName(scan, unit) || static_cast<int>(unit) <= last || !totals.Add(unit, number))
            return false;
        last = static_cast<int>(unit);
    }
}

bool IsoUnit(wchar_t designator, bool time, Unit& unit)
{
    switch (Lower(designator)) {
    case L'y':
        unit = Unit::Years;
        return !time;
    case L'm':
        unit = time ? Unit::Minutes : Unit::Months;
        return true;
    case L'w':
        unit = Unit::Weeks;
        return !time;
    case L'd':
        unit = Unit::Days;
        return !time;
    case L'h':
        unit = Unit::Hours;
        return time;
    case L's':
        unit = Unit::Seconds;
        return time;
    default:
        return false;
    }
}

// An ISO 8601 duration after its "P": "nYnMnWnDTnHnMnS", every field optional but at least
// one, at least one after a "T", only the last with decimals.
bool ReadIsoDuration(SpanScanner& scan, SpanTotals& totals)
{
    bool time = false;
    bool timeField = false;
    bool fraction = false;
    int last = -1;
    while (!scan.AtEnd() && !IsSpace(scan.Peek())) {
        if (fraction)
            return false;
        if (Lower(scan.Peek()) == L't') {
            if (time)
                return false;
            time = true;
            scan.Advance();
            continue;
        }
        Number number;
        Unit unit;
        if (!scan.ReadNumber(number, true) || !IsoUnit(scan.Peek(), time, unit))
            return false;
        scan.Advance();
        if (static_cast<int>(unit) <= last || !totals.Add(unit, number))
            return false;
        last = static_cast<int>(unit);
        fraction = number.hasFraction;
        timeField = timeField || time;
    }
    return last >= 0 && (!time || timeField);
}

std::uint64_t Magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

std::wstring TwoDigits(std::uint64_t value)
{
    return {static_cast<wchar_t>(L'0' + value / 10), static_cast<wchar_t>(L'0' + value % 10)};
}

// "h:mm", ":ss" where there are seconds, and the decimals without trailing zeros.
std::wstring ClockText(std::uint64_t ticks)
{
    const std::uint64_t seconds = ticks / TicksPerSecond;
    const std::uint64_t fraction = ticks % TicksPerSecond;
    std::wstring text = std::to_wstring(ticks / TicksPerHour) + L':' + TwoDigits(seconds / 60 % 60);
    if (seconds % 60 == 0 && fraction == 0)
        return text;
    text += L':' + TwoDigits(seconds % 60);
    if (fraction != 0) {
        std::wstring decimals = std::to_wstring(fraction + FractionScale).substr(1);
        decimals.erase(decimals.find_last_not_of(L'0') + 1);
        text += L'.' + decimals;
    }
    return text;
}

struct PartNames {
    const wchar_t* singular;
    const wchar_t* plural;
    const wchar_t* japanese;
};

void AppendPart(std::wstring& text, std::uint64_t count, const PartNames& names, SpanLanguage language)
{
    if (count == 0)
        return;
    if (language == SpanLanguage::English) {
        if (text.size() > 1)
            text += L' ';
        text += std::to_wstring(count) + L' ' + (count == 1 ? names.singular : names.plural);
    } else {
        text += std::to_wstring(count) + names.japanese;
    }
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// The time with its local date moved by whole months, the local clock reading kept and the
// day of the month clamped to the new month's last day.
std::optional<FileTime> StepLocalMonths(FileTime time, std::int32_t months)
{
    CalendarTime local;
    if (!UtcFileTimeToLocalCalendar(time, local))
        return std::nullopt;
    const std::int64_t index = std::int64_t{local.wYear} * 12 + (local.wMonth - 1) + months;
    // The years a calendar record of the platform can hold; the conversion decides the rest.
    if (index < std::int64_t{1600} * 12 || index > std::int64_t{30828} * 12 + 11)
        return std::nullopt;
    const int year = static_cast<int>(index / 12);
    const int month = static_cast<int>(index % 12) + 1;
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(std::min<int>(local.wDay, DaysInMonth(year, month)));
    local.wDayOfWeek = 0;
    FileTime utc;
    // The calendar steps drop the fraction of a second; it stays as it was.
    const std::uint64_t fraction = time % TicksPerSecond;
    if (!LocalCalendarToUtcFileTime(local, utc) || utc > LargestTicks - fraction)
        return std::nullopt;
    return utc + fraction;
}

} // namespace

std::optional<TimeSpan> ParseTimeSpan(std::wstring_view text)
{
    SpanScanner scan(text);
    scan.SkipSpace();
    bool negative = false;
    if (scan.Peek() == L'+' || scan.Peek() == L'-') {
        negative = scan.Peek() == L'-';
        scan.Advance();
        scan.SkipSpace();
    }
    SpanTotals totals;
    bool read = false;
    if (Lower(scan.Peek()) == L'p') {
        scan.Advance();
        read = ReadIsoDuration(scan, totals);
    } else {
        read = ReadWrittenSpan(scan, totals);
    }
    scan.SkipSpace();
    if (!read || !scan.AtEnd())
        return std::nullopt;
    return totals.Signed(negative);
}

std::wstring FormatTimeSpan(const TimeSpan& span, SpanLanguage language)
{
    if (span.IsZero())
        return L"0:00";
    if ((span.months < 0 && span.ticks > 0) || (span.months > 0 && span.ticks < 0))
        return std::wstring();
    const std::uint64_t months = Magnitude(span.months);
    const std::uint64_t ticks = Magnitude(span.ticks);
    std::wstring text(1, span.months < 0 || span.ticks < 0 ? L'-' : L'+');
    AppendPart(text, months / 12, {L"year", L"years", L"\u5E74"}, language);
    AppendPart(text, months % 12, {L"month", L"months", L"\u304B\u6708"}, language);
    AppendPart(text, ticks / TicksPerDay, {L"day", L"days", L"\u65E5"}, language);
    if (ticks % TicksPerDay != 0) {
        if (text.size() > 1)
            text += L' ';
        text += ClockText(ticks % TicksPerDay);
    }
    return text;
}

std::optional<FileTime> ShiftFileTime(FileTime time, const TimeSpan& span)
{
    if (span.IsZero())
        return time;
    if (time > LargestTicks)
        return std::nullopt;
    FileTime shifted = time;
    if (span.months != 0) {
        const std::optional<FileTime> stepped = StepLocalMonths(time, span.months);
        if (!stepped)
            return std::nullopt;
        shifted = *stepped;
    }
    const std::uint64_t ticks = Magnitude(span.ticks);
    if (span.ticks >= 0) {
        if (ticks > LargestTicks - shifted)
            return std::nullopt;
        shifted += ticks;
    } else {
        if (ticks >= shifted)
            return std::nullopt;
        shifted -= ticks;
    }
    if (shifted == 0)
        return std::nullopt;
    return shifted;
}
