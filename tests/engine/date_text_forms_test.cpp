#include "engine/DateTextForms.h"
#include "tests/support/TextMutation.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

// The forms as regular expressions in ECMAScript's grammar, the way the parsers once matched
// them; "\d" and "\s" are spelled out as ECMAScript defines them, so that the reference does
// not depend on what the standard library's locale counts as a digit or a space.
std::wstring Expand(const std::wstring& pattern)
{
    static const std::wstring space = L"[\t\n\v\f\r \x00A0\x1680\x2000-\x200A\x2028\x2029\x202F\x205F\x3000\xFEFF]";
    std::wstring expanded;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'\\' && i + 1 < pattern.size() && (pattern[i + 1] == L'd' || pattern[i + 1] == L's')) {
            expanded += pattern[i + 1] == L'd' ? L"[0-9]" : space;
            ++i;
        } else {
            expanded += pattern[i];
        }
    }
    return expanded;
}

const std::wstring IsoBasic = LR"(\s*(\d{4})(\d{2})(\d{2})T(\d{2})(\d{2})(\d{2})?(Z|([+-]\d{2})(\d{2})?)?\s*)";
const std::wstring IsoExtended =
    LR"(\s*(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2})(?::(\d{2}))?(Z|([+-]\d{2})(?::(\d{2}))?)?\s*)";
const std::wstring Months = L"(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)";
const std::wstring Rfc1123 = LR"(\s*(?:Mon|Tue|Wed|Thu|Fri|Sat|Sun),\s*(\d{1,2})\s+)" + Months +
                             LR"(\s+(\d{4})\s+(\d{1,2}):(\d{2}):(\d{2})(?:\s+GMT)?\s*)";
const std::wstring Rfc850 = LR"(\s*(?:Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday),\s*(\d{2})-)" + Months +
                            LR"(-(\d{2})\s+(\d{2}):(\d{2}):(\d{2})\s+GMT\s*)";
const std::wstring Asctime =
    LR"(\s*(?:Mon|Tue|Wed|Thu|Fri|Sat|Sun)\s+)" + Months + LR"(\s+(\d{1,2})\s+(\d{2}):(\d{2}):(\d{2})\s+(\d{4})\s*)";

std::wstring Group(const std::wsmatch& match, int group)
{
    return match[group].matched ? match[group].str() : std::wstring();
}

// A form's fields in the order of its expression's groups; an empty view is a field left out.
using Groups = std::vector<std::wstring_view>;

Groups IsoGroups(const IsoDateFields& f)
{
    return {f.year, f.month, f.day, f.hour, f.minute, f.second, f.zone, f.offsetHours, f.offsetMinutes};
}

Groups HttpGroups(const HttpDateFields& f)
{
    return {f.day, f.month, f.year, f.hour, f.minute, f.second};
}

Groups AsctimeGroups(const HttpDateFields& f)
{
    return {f.month, f.day, f.hour, f.minute, f.second, f.year};
}

template <typename Fields, bool (*Read)(std::wstring_view, Fields&), Groups (*InGroupOrder)(const Fields&)>
std::optional<Groups> ReadGroups(std::wstring_view text)
{
    Fields fields;
    if (!Read(text, fields))
        return std::nullopt;
    return InGroupOrder(fields);
}

struct Form {
    const wchar_t* name;
    std::wregex expression;
    std::optional<Groups> (*read)(std::wstring_view);
};

// Reads the text with every form both ways; the message names the first disagreement.
class FormsAgainstPatterns {
public:
    FormsAgainstPatterns()
        : forms_{
              Form{L"ISO basic", std::wregex(Expand(IsoBasic)), ReadGroups<IsoDateFields, ReadIsoBasicForm, IsoGroups>},
              Form{L"ISO extended", std::wregex(Expand(IsoExtended)),
                   ReadGroups<IsoDateFields, ReadIsoExtendedForm, IsoGroups>},
              Form{L"RFC 1123", Icase(Rfc1123), ReadGroups<HttpDateFields, ReadRfc1123Form, HttpGroups>},
              Form{L"RFC 850", Icase(Rfc850), ReadGroups<HttpDateFields, ReadRfc850Form, HttpGroups>},
              Form{L"asctime", Icase(Asctime), ReadGroups<HttpDateFields, ReadAsctimeForm, AsctimeGroups>}}
    {
    }

    // Returns the count of forms that read the text.
    int Check(const std::wstring& text)
    {
        int read = 0;
        const std::wstring_view core = TrimTextSpace(text);
        for (const Form& form : forms_) {
            std::wsmatch match;
            const bool expected = std::regex_match(text, match, form.expression);
            const std::optional<Groups> groups = form.read(core);
            EXPECT_EQ(groups.has_value(), expected) << form.name << " of \"" << text << "\"";
            if (!expected || !groups)
                continue;
            ++read;
            for (std::size_t group = 1; group <= groups->size(); ++group)
                EXPECT_EQ(std::wstring((*groups)[group - 1]), Group(match, static_cast<int>(group)))
                    << form.name << " group " << group << " of \"" << text << "\"";
        }
        return read;
    }

private:
    static std::wregex Icase(const std::wstring& pattern)
    {
        return std::wregex(Expand(pattern), std::regex_constants::ECMAScript | std::regex_constants::icase);
    }

    std::array<Form, 5> forms_;
};

TEST(DateTextForms, WrittenExamplesOfEachForm)
{
    FormsAgainstPatterns forms;
    const wchar_t* const readable[] = {
        L"20240131T123456Z",
        L"20240131T1234",
        L" 20240131T1234-0530 ",
        L"20240131T123456+09",
        L"2024-01-31T12:34:56+09:00",
        L"2024-01-31T12:34Z",
        L"\u30002024-01-31T12:34\uFEFF",
        L"Sun, 06 Nov 1994 08:49:37 GMT",
        L"sun,6 nov 1994 8:49:37",
        L"Sun,\t06  NOV 1994 08:49:37\x00A0gmt",
        L"Sunday, 06-Nov-94 08:49:37 GMT",
        L"SUNDAY,06-nov-94 08:49:37 gmt",
        L"Sun Nov  6 08:49:37 1994",
        L"sun nov 16 08:49:37 1994\r\n",
    };
    for (const wchar_t* text : readable)
        EXPECT_EQ(forms.Check(text), 1) << text;
    const wchar_t* const unreadable[] = {
        L"2024-01-31t12:34:56z",
        L"20240131T12:34:56",
        L"2024-01-31T12:34+0900",
        L"20240131T1234+09:00",
        L"2024-01-31T12:34:5Z",
        L"2024-01-31T12:34:56:",
        L"2024-01-31T12:34+9",
        L"\xFF12\xFF10\xFF12\xFF14-01-31T12:34Z",
        L"\u00852024-01-31T12:34",
        L"Sun, 06 Nov 1994 08:49:37 GMT trailing",
        L"Sun, 123 Nov 1994 08:49:37",
        L"Sun 06 Nov 1994 08:49:37",
        L"Sun, 06 November 1994 08:49:37",
        L"Sun, 06 Nov 1994 08:49:37GMT",
        L"Sunday, 6-Nov-94 08:49:37 GMT",
        L"Sunday, 06-Nov-94 08:49:37",
        L"Sun Nov 6 8:49:37 1994",
        L"Sun Nov 6 08:49:37 94",
        L"Sun, \xFF10\xFF16 Nov 1994 08:49:37 GMT",
        L"",
    };
    for (const wchar_t* text : unreadable)
        EXPECT_EQ(forms.Check(text), 0) << text;
}

// Near misses by the thousand: written dates of every form, changed with characters of what the
// forms are made of and what resembles it, must be read by hand exactly as the patterns read them.
TEST(DateTextForms, MutatedDatesAreReadAsThePatternsReadThem)
{
    const std::vector<std::wstring> seeds = {
        L"20240131T123456Z",
        L"20240131T1234+0900",
        L"2024-01-31T12:34:56-05:30",
        L"2024-01-31T12:34",
        L"Sun, 06 Nov 1994 08:49:37 GMT",
        L"Thu,1 Jan 2024 1:02:03",
        L"Sunday, 06-Nov-94 08:49:37 GMT",
        L"Wednesday,31-dec-99 23:59:59 gmt",
        L"Sun Nov  6 08:49:37 1994",
        L"Fri Dec 31 23:59:59 1999",
    };
    const std::wstring alphabet = L"0123456789-:+TtZz ,\tGMTgmtSunNovDayMoFri\x3000\x00A0\x0085\xFF10\x2028x";
    std::mt19937 random(20261209);
    FormsAgainstPatterns forms;
    int read = 0;
    constexpr int Texts = 20000;
    for (int i = 0; i < Texts && !::testing::Test::HasFailure(); ++i)
        read += forms.Check(MutatedText(seeds[random() % seeds.size()], alphabet, random, TextCuts::Never));
    // Enough of them still dates for the fields to have been compared, enough not.
    EXPECT_GT(read, Texts / 20);
    EXPECT_LT(read, Texts / 2);
}

TEST(DateTextForms, SpaceIsEcmaScriptsSpace)
{
    int count = 0;
    for (unsigned c = 1; c <= 0xFFFF; ++c) {
        if (IsTextSpace(static_cast<wchar_t>(c)))
            ++count;
    }
    // Tab to carriage return, space, NBSP, U+1680, U+2000-U+200A, U+2028, U+2029, U+202F, U+205F,
    // U+3000, U+FEFF.
    EXPECT_EQ(count, 25);
    EXPECT_FALSE(IsTextSpace(0x0085));
    EXPECT_FALSE(IsTextSpace(0x200B));
    EXPECT_FALSE(IsTextSpace(0x180E));
    EXPECT_EQ(TrimTextSpace(L"\x3000\t x y\xFEFF\r\n"), L"x y");
    EXPECT_EQ(TrimTextSpace(L" \x2028 "), L"");
}

} // namespace
