#include "engine/TimestampText.h"

#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct DurationCase {
    const wchar_t* text;
    HRESULT result;
    std::uint64_t units; // when the result is S_OK
};

TEST(ParseDurationText, ValuesAndResultCodes)
{
    const DurationCase cases[] = {
        {L"1:02", S_OK, 37200000000ull},
        {L" 10 : 20 : 30 . 25 ", S_OK, 372302500000ull},
        {L"0:00:01.5", S_OK, 15000000ull},
        {L"0:00:00.05", S_OK, 500000ull},
        {L"0:00:00.005", S_OK, 50000ull},
        {L"00:00:00", S_OK, 0ull},
        {L"1:2:3", S_OK, 37230000000ull},
        {L"+1:+5", S_OK, 39000000000ull},
        {L"+1:+05", DISP_E_TYPEMISMATCH, 0},
        {L"-0:00", S_OK, 0ull},
        {L"1:00\t\r\n", S_OK, 36000000000ull},
        {L"512409557:00:00", S_OK, 2576980377000000000ull},
        {L"71582788:14:00", S_OK, 2576980376400000000ull},
        {L"71582788:15:00", S_OK, 2576980377000000000ull},
        {L"71582788:15:01", S_OK, 2576980377000000000ull},
        {L"12", DISP_E_TYPEMISMATCH, 0},
        {L"   ", DISP_E_TYPEMISMATCH, 0},
        {L"1:00:00.", DISP_E_TYPEMISMATCH, 0},
        {L"1:00:00.1234", DISP_E_TYPEMISMATCH, 0},
        {L"1:002", DISP_E_TYPEMISMATCH, 0},
        {L"1:00x", DISP_E_TYPEMISMATCH, 0},
        {L"1.5:00", DISP_E_TYPEMISMATCH, 0},
        {L"1:60", DISP_E_TYPEMISMATCH, 0},
        {L"1:00:60", DISP_E_TYPEMISMATCH, 0},
        {L"1:-5", DISP_E_TYPEMISMATCH, 0},
        {L"1:00:00.-1", DISP_E_TYPEMISMATCH, 0},
        {L"1234567890:00", DISP_E_TYPEMISMATCH, 0},
        {L"512409558:00", DISP_E_OVERFLOW, 0},
        {L"-1:00", DISP_E_OVERFLOW, 0},
        {L"512409557:59:59", DISP_E_OVERFLOW, 0},
        // The hours check comes before the minutes check.
        {L"999999999:99", DISP_E_OVERFLOW, 0},
    };
    for (const DurationCase& c : cases) {
        PropVariantValue value;
        EXPECT_EQ(ParseDurationText(c.text, value.get()), c.result) << c.text;
        if (c.result == S_OK) {
            ASSERT_EQ(value.value().vt, VT_UI8) << c.text;
            EXPECT_EQ(value.value().uhVal.QuadPart, c.units) << c.text;
        } else {
            EXPECT_EQ(value.value().vt, VT_EMPTY) << c.text;
        }
    }
}

TEST(ParseDurationText, EmptyAndMissingText)
{
    PropVariantValue value;
    ASSERT_EQ(ParseDurationText(L"1:00", value.get()), S_OK);
    EXPECT_EQ(ParseDurationText(L"", value.get()), S_OK);
    EXPECT_EQ(value.value().vt, VT_EMPTY);
    ASSERT_EQ(ParseDurationText(L"1:00", value.get()), S_OK);
    EXPECT_EQ(ParseDurationText(nullptr, value.get()), E_INVALIDARG);
    EXPECT_EQ(value.value().vt, VT_EMPTY);
    EXPECT_EQ(ParseDurationText(L"1:00", nullptr), E_POINTER);
}

} // namespace
