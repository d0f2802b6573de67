#include "engine/DirectionMarks.h"

#include "engine/TimestampText.h"
#include "tests/engine/TestTimes.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RemoveDirectionMarks, EveryMarkGoesWhereverItStands)
{
    std::wstring text = L"\x200E"
                        L"2024/\x200F"
                        L"01/31\x202A \x202B"
                        L"12:34\x202C:56 \x202D"
                        L"PM\x202E";
    RemoveDirectionMarks(text);
    EXPECT_EQ(text, L"2024/01/31 12:34:56 PM");

    std::wstring onlyMarks = L"\x202E\x202D\x202C\x202B\x202A\x200F\x200E";
    RemoveDirectionMarks(onlyMarks);
    EXPECT_EQ(onlyMarks, L"");
}

TEST(RemoveDirectionMarks, TheCharactersBesideTheMarksStay)
{
    // Joiner, hyphen, paragraph separator, narrow no-break space: text.
    const std::wstring neighbours = L"\x200D\x2010\x2029\x202F";
    std::wstring text = neighbours;
    RemoveDirectionMarks(text);
    EXPECT_EQ(text, neighbours);
}

TEST(RemoveDirectionMarks, PickerTextWithEmbeddingMarksIsRead)
{
    // As a property handler's display text can come: each part wrapped for its direction.
    const wchar_t* const texts[] = {
        L"\x202A"
        L"2024-01-31\x202C \x202B"
        L"12:34:56\x202C",
        L"\x202D\x200E"
        L"2024-01-31 12:34:56\x202E",
    };
    for (const wchar_t* text : texts) {
        CalendarTime time = Calendar(2001, 2, 3, 4, 5, 6);
        DWORD flag = GDT_NONE;
        ASSERT_TRUE(ParseTimestampText(text, time, flag)) << text;
        EXPECT_EQ(flag, static_cast<DWORD>(GDT_VALID));
        EXPECT_EQ(time.wYear, 2024);
        EXPECT_EQ(time.wMonth, 1);
        EXPECT_EQ(time.wDay, 31);
        EXPECT_EQ(time.wHour, 12);
        EXPECT_EQ(time.wMinute, 34);
        EXPECT_EQ(time.wSecond, 56);
    }
}

} // namespace
