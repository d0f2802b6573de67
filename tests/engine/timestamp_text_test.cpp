#include "engine/TimestampText.h"

#include "engine/InternetDate.h"
#include "platform/Handles.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/TestTimes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The zone's offset from UTC in hours on the test dates (January and November, standard time
// in New York).
const Expected<int> kStandardOffsets[] = {
    {L"UTC", 0},
    {L"Asia/Tokyo", 9},
    {L"America/New_York", -5},
};

// Local hour of a UTC hour on the test dates, on the same calendar day.
int LocalHourOf(int utcHour, int offset)
{
    return (utcHour + 24 + offset) % 24;
}

struct PickerValue {
    CalendarTime time = Calendar(2001, 2, 3, 4, 5, 6);
    DWORD flag = GDT_NONE;

    bool Parse(const wchar_t* text) { return ParseTimestampText(text, time, flag); }
    bool Unchanged() const
    {
        return flag == GDT_NONE && time.wYear == 2001 && time.wMonth == 2 && time.wDay == 3 && time.wHour == 4 &&
               time.wMinute == 5 && time.wSecond == 6;
    }
};

TEST(ParseTimestampText, LocaleTextIsLocalTimeUnchanged)
{
    PickerValue picker;
    picker.Parse(L"2024-01-31 12:34:56");
    EXPECT_EQ(picker.flag, static_cast<DWORD>(GDT_VALID));
    EXPECT_EQ(picker.time.wYear, 2024);
    EXPECT_EQ(picker.time.wDay, 31);
    EXPECT_EQ(picker.time.wHour, 12);
    EXPECT_EQ(picker.time.wMinute, 34);
    EXPECT_EQ(picker.time.wSecond, 56);
}

TEST(ParseTimestampText, HttpDateIsUtcShownAsLocalTime)
{
    const int* offset = ForRunZone(kStandardOffsets);
    ASSERT_TRUE(offset);
    PickerValue picker;
    picker.Parse(L"Sun, 06 Nov 1994 08:49:37 GMT");
    ASSERT_EQ(picker.flag, static_cast<DWORD>(GDT_VALID));
    EXPECT_EQ(picker.time.wYear, 1994);
    EXPECT_EQ(picker.time.wMonth, 11);
    EXPECT_EQ(picker.time.wDay, 6);
    EXPECT_EQ(picker.time.wHour, LocalHourOf(8, *offset));
    EXPECT_EQ(picker.time.wMinute, 49);
    EXPECT_EQ(picker.time.wSecond, 37);
}

TEST(ParseTimestampText, IsoTextReachesTheIsoParser)
{
    const int* offset = ForRunZone(kStandardOffsets);
    ASSERT_TRUE(offset);
    const wchar_t* const texts[] = {
        L"2024-01-31T12:34:56Z",
        L"2024\x200E-01\x200E-31T12:34:56Z",
        L"\u200F20240131T123456Z",
    };
    for (const wchar_t* text : texts) {
        PickerValue picker;
        picker.Parse(text);
        ASSERT_EQ(picker.flag, static_cast<DWORD>(GDT_VALID)) << text;
        EXPECT_EQ(picker.time.wYear, 2024) << text;
        EXPECT_EQ(picker.time.wMonth, 1) << text;
        EXPECT_EQ(picker.time.wDay, 31) << text;
        EXPECT_EQ(picker.time.wHour, LocalHourOf(12, *offset)) << text;
        EXPECT_EQ(picker.time.wMinute, 34) << text;
        EXPECT_EQ(picker.time.wSecond, 56) << text;
    }
}

TEST(ParseTimestampText, UnrecognisedTextLeavesTheValueAlone)
{
    const wchar_t* const texts[] = {
        L"hello", L"", L"2024-01-31T12:34:60Z", L"1600-12-31T12:00Z", L"1600-12-31 23:00:00",
    };
    for (const wchar_t* text : texts) {
        PickerValue picker;
        picker.Parse(text);
        EXPECT_TRUE(picker.Unchanged()) << text;
    }
    PickerValue picker;
    picker.Parse(nullptr);
    EXPECT_TRUE(picker.Unchanged());
}

TEST(ParseInternetDate, OnlyHttpDatesAreRead)
{
    CalendarTime utc = {};
    ASSERT_TRUE(ParseInternetDate(L"Sun, 06 Nov 1994 08:49:37 GMT", utc));
    EXPECT_EQ(utc.wYear, 1994);
    EXPECT_EQ(utc.wMonth, 11);
    EXPECT_EQ(utc.wDay, 6);
    EXPECT_EQ(utc.wHour, 8);
    EXPECT_EQ(utc.wMinute, 49);
    EXPECT_EQ(utc.wSecond, 37);
    EXPECT_TRUE(ParseInternetDate(L"thu, 31 jan 2024 23:00:01 gmt", utc));
    EXPECT_EQ(utc.wDay, 31);

    const wchar_t* const others[] = {
        L"2024-01-31T12:34:56Z",
        L"20240131T123456Z",
        L"hello",
        L"",
        L"06 Nov 1994 08:49:37 GMT",
        L"Sun, 06 Nov 1994",
        L"Sun, 06 Nov 1994 08:49:37 GMT trailing",
    };
    for (const wchar_t* text : others)
        EXPECT_FALSE(ParseInternetDate(text, utc)) << text;
    EXPECT_FALSE(ParseInternetDate(nullptr, utc));
}

TEST(ParseTimestampText, LongPastedTextIsRefusedOrReadWithoutCrashing)
{
    const std::wstring spaces(50000, L' ');
    PickerValue padded;
    padded.Parse((spaces + L"Sun, 06 Nov 1994 08:49:37 GMT" + spaces).c_str());
    EXPECT_EQ(padded.flag, static_cast<DWORD>(GDT_VALID));
    EXPECT_EQ(padded.time.wYear, 1994);
    PickerValue junk;
    junk.Parse((L"Sun, 06 Nov 1994 08:49:37 GMT" + std::wstring(50000, L'x')).c_str());
    EXPECT_TRUE(junk.Unchanged());
}

TEST(ParseInternetDate, AsctimeFormIsReadRightOrNotAtAll)
{
    // Wine's parser returns garbage for this form; the answer must then be refused.
    CalendarTime utc = {};
    if (ParseInternetDate(L"Sun Nov  6 08:49:37 1994", utc)) {
        EXPECT_EQ(utc.wYear, 1994);
        EXPECT_EQ(utc.wMonth, 11);
        EXPECT_EQ(utc.wDay, 6);
        EXPECT_EQ(utc.wHour, 8);
    }
}

TEST(ParseDateValueText, LocalTextBecomesUtcFileTime)
{
    PropVariantValue value;
    ASSERT_EQ(ParseDateValueText(L"2024-01-31 12:34:56", value.get()), S_OK);
    ASSERT_EQ(value.value().vt, VT_FILETIME);
    EXPECT_EQ(FromFILETIME(value.value().filetime), FromLocalFileTime(UtcTime(2024, 1, 31, 12, 34, 56)));
}

TEST(ParseDateValueText, EmptyMissingAndForeignText)
{
    PropVariantValue value;
    EXPECT_EQ(ParseDateValueText(L"", value.get()), S_OK);
    EXPECT_EQ(value.value().vt, VT_EMPTY);
    EXPECT_EQ(ParseDateValueText(nullptr, value.get()), E_INVALIDARG);
    EXPECT_EQ(ParseDateValueText(L"hello", value.get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ParseDateValueText(L"2024-01-31T12:34:56Z", value.get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(ParseDateValueText(L"2024-01-31", nullptr), E_POINTER);

    ASSERT_EQ(ParseDateValueText(L"2024-01-31 12:34:56", value.get()), S_OK);
    EXPECT_LT(ParseDateValueText(L"1600-12-31 23:00:00", value.get()), 0);
    EXPECT_EQ(value.value().vt, VT_EMPTY);
}

// Local texts at the ends of the file times' years: the last hour of 9999 as UTC (or, where it
// lies beyond the last file time, the overflow), and whether 05:00 on the first day is a file time.
struct YearRangeEnds {
    HRESULT last;
    FileTime lastUtc;
    bool firstMorning;
};

TEST(ParseDateValueText, EndsOfTheYearRange)
{
    const Expected<YearRangeEnds> table[] = {
        {L"UTC", {S_OK, UtcTime(9999, 12, 31, 23), true}},
        {L"Asia/Tokyo", {S_OK, UtcTime(9999, 12, 31, 14), false}},
        {L"America/New_York", {DISP_E_OVERFLOW, 0, true}},
    };
    const YearRangeEnds* expected = ForRunZone(table);
    ASSERT_TRUE(expected);
    PropVariantValue value;
    EXPECT_EQ(ParseDateValueText(L"9999-12-31 23:00:00", value.get()), expected->last);
    if (SUCCEEDED(expected->last)) {
        ASSERT_EQ(value.value().vt, VT_FILETIME);
        EXPECT_EQ(FromFILETIME(value.value().filetime), expected->lastUtc);
    } else {
        EXPECT_EQ(value.value().vt, VT_EMPTY);
    }
    const HRESULT first = ParseDateValueText(L"1601-01-01 05:00:00", value.get());
    if (expected->firstMorning)
        EXPECT_EQ(first, S_OK);
    else
        EXPECT_LT(first, 0);
}

} // namespace
