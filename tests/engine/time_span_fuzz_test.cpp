#include "engine/TimeSpan.h"
#include "tests/support/TextMutation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_literals;

namespace {

constexpr std::size_t PageBytes = 4096;

// A text placed so that it ends right where a page the process may not touch begins, with
// no terminator: a read past its end faults instead of passing unseen.
class TextAtNoAccessPage {
public:
    TextAtNoAccessPage()
    {
        base_ = static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * PageBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        protected_ = base_ && ::VirtualProtect(base_ + PageBytes, PageBytes, PAGE_NOACCESS, &old);
    }
    ~TextAtNoAccessPage()
    {
        if (base_)
            ::VirtualFree(base_, 0, MEM_RELEASE);
    }
    TextAtNoAccessPage(const TextAtNoAccessPage&) = delete;
    TextAtNoAccessPage& operator=(const TextAtNoAccessPage&) = delete;

    [[nodiscard]] bool Ready() const { return protected_; }

    // The text, copied against the page; at most a page of characters.
    std::wstring_view Place(const std::wstring& text)
    {
        auto* at = reinterpret_cast<wchar_t*>(base_ + PageBytes) - text.size();
        std::copy(text.begin(), text.end(), at);
        return {at, text.size()};
    }

private:
    BYTE* base_ = nullptr;
    bool protected_ = false;
};

// Characters the reader gives a meaning to, and some it does not.
const std::wstring Alphabet = L"0123456789 ::..,,+-PTYMWDHSptymwdhs\u2212\uFF0D\uFF0B\uFF10\uFF19\uFF1A\u3000\u00A0"
                              L"\u5E74\u304B\u30F6\u6708\u9031\u65E5\u6642\u9593\u5206\u79D2\u200Eaeinorux\t\0\uFFFF"s;

const std::wstring Seeds[] = {
    L"1:30",
    L"-0:45",
    L"+2:00:00",
    L"3d 4:00",
    L"-1 day 2:00",
    L"90 min",
    L"2 h 30 min",
    L"1 week",
    L"-6 months",
    L"1年6か月",
    L"3日 4:00",
    L"2時間30分",
    L"PT9H",
    L"-P1DT2H30M",
    L"P1Y2M3W4DT5H6M7S",
    L"PT0,5S",
    L"12:34:56.5",
    L"922337203685.4775807 s",
    L"2147483647 months",
    L"+1 year 2 months 3 days 4:05:06",
};

TEST(ParseTimeSpan, FuzzedTextAgainstANoAccessPage)
{
    TextAtNoAccessPage page;
    ASSERT_TRUE(page.Ready());
    std::mt19937 random(19);
    int accepted = 0;
    for (int i = 0; i < 6000; ++i) {
        std::wstring text;
        if (i % 3 == 0) {
            const std::size_t length = random() % 40;
            for (std::size_t n = 0; n < length; ++n)
                text.push_back(i % 2 ? Alphabet[random() % Alphabet.size()] : static_cast<wchar_t>(random() % 0x10000));
        } else {
            text = MutatedText(Seeds[random() % std::size(Seeds)], Alphabet, random, TextCuts::Allowed).substr(0, 200);
        }
        const std::optional<TimeSpan> span = ParseTimeSpan(page.Place(text));
        if (!span)
            continue;
        ++accepted;
        // One sign covers the whole span, and whatever is read has a canonical form that reads
        // back to it.
        ASSERT_FALSE((span->months < 0 && span->ticks > 0) || (span->months > 0 && span->ticks < 0));
        for (const SpanLanguage language : {SpanLanguage::English, SpanLanguage::Japanese}) {
            const std::wstring canonical = FormatTimeSpan(*span, language);
            ASSERT_EQ(ParseTimeSpan(page.Place(canonical)), span);
        }
    }
    // The mutations keep enough texts readable for the check above to mean something.
    EXPECT_GT(accepted, 300);
}

} // namespace
