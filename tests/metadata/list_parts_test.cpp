#include "metadata/DateCommand.h"
#include "metadata/EditorPlacement.h"
#include "metadata/ValueText.h"

#include "res/resource.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

namespace {

TEST(CellEditorBounds, WidensByTheLabelIndentAndStaysInTheClientArea)
{
    const RECT client{0, 0, 300, 200};
    // The label starts 4 pixels right of the selection: the editor grows 4 on both sides.
    RECT bounds = CellEditorBounds({2, 20, 280, 38}, {6, 20, 100, 38}, {100, 20, 280, 38}, client);
    EXPECT_EQ(bounds.left, 96);
    EXPECT_EQ(bounds.right, 284);
    EXPECT_EQ(bounds.top, 19);
    EXPECT_EQ(bounds.bottom, 39);

    // A cell running past the client area is cut at its edge.
    bounds = CellEditorBounds({0, 20, 400, 38}, {0, 20, 100, 38}, {100, 20, 400, 38}, client);
    EXPECT_EQ(bounds.right, 300);

    // A column narrower than the indent gives an editor no wider than nothing, not a negative one.
    bounds = CellEditorBounds({10, 20, 20, 38}, {0, 20, 5, 38}, {100, 20, 102, 38}, client);
    EXPECT_GE(bounds.right, bounds.left);
}

TEST(DateCommandValue, GivesEachCommandsValueAndNothingWithoutARowValue)
{
    const FileTime now = UtcTime(2024, 5, 6, 7, 8, 9);
    const FileTime row = UtcTime(2001, 2, 3, 4, 5, 6);
    const FileTimes item{UtcTime(1999, 1, 1, 0, 0, 0), UtcTime(2000, 1, 1, 0, 0, 0), UtcTime(2002, 1, 1, 0, 0, 0)};

    EXPECT_EQ(DateCommandValue(IDM_SET_CURRENT_DATE_TIME, InvalidFileTime, now, item), now);
    EXPECT_EQ(DateCommandValue(IDM_SET_SECOND_TO_ZERO, row, now, item), UtcTime(2001, 2, 3, 4, 5, 0));
    EXPECT_EQ(DateCommandValue(IDM_SET_MIDNIGHT, row, now, item), LocalMidnight(row));
    EXPECT_EQ(DateCommandValue(IDM_SET_CREATION_TIME, row, now, item), item[Creation]);
    EXPECT_EQ(DateCommandValue(IDM_SET_ACCESS_TIME, row, now, item), item[LastAccess]);
    EXPECT_EQ(DateCommandValue(IDM_SET_MODIFICATION_TIME, row, now, item), item[LastWrite]);

    EXPECT_EQ(DateCommandValue(IDM_SET_MIDNIGHT, InvalidFileTime, now, item), InvalidFileTime);
    EXPECT_EQ(DateCommandValue(IDM_SET_SECOND_TO_ZERO, InvalidFileTime, now, item), InvalidFileTime);
    EXPECT_EQ(DateCommandValue(IDM_RESET, row, now, item), InvalidFileTime);

    EXPECT_TRUE(DateCommandNeedsItemTimes(IDM_SET_ACCESS_TIME));
    EXPECT_FALSE(DateCommandNeedsItemTimes(IDM_SET_MIDNIGHT));
}

TEST(ValueText, TrimsTheLocalesWhiteSpaceAndReadsDatesThroughDirectionMarks)
{
    EXPECT_EQ(TrimWhiteSpace(L" \t\x3000 text  x \x3000\r\n"), L"text  x");
    EXPECT_EQ(TrimWhiteSpace(L"   "), L"");
    EXPECT_EQ(TrimWhiteSpace(nullptr), L"");

    FileTime utc = 0;
    ASSERT_TRUE(ReadDateText(L"\x200E"
                             L"2001-02-03T04:05:06Z\x200F",
                             utc));
    EXPECT_EQ(utc, UtcTime(2001, 2, 3, 4, 5, 6));
    utc = 7;
    EXPECT_FALSE(ReadDateText(L"", utc));
    EXPECT_FALSE(ReadDateText(L"next Tuesday-ish", utc));
    EXPECT_EQ(utc, 7u);
}

} // namespace
