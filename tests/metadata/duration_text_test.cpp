#include "metadata/MetadataModel.h"
#include "metadata/PropertyKeys.h"
#include "tests/metadata/FakePropertySystem.h"

#include <gtest/gtest.h>

namespace {

class DurationTextTest : public ::testing::Test {
protected:
    FakePropertySystem system{L"C:\\a.doc"};
    MetadataModel model{system};
};

TEST_F(DurationTextTest, ValidTextsBecomeThePlatformsLongDisplayForm)
{
    std::wstring text = L"00:00:00";
    EXPECT_TRUE(model.NormalizeDurationText(text));
    EXPECT_EQ(text, L"0:00:00");
    EXPECT_TRUE(SamePropertyKey(system.lastSystemFormatKey, TotalEditingTimeKey));
    EXPECT_EQ(system.lastFormatFlags, PDFF_LONGTIME);

    text = L" 10 : 20 : 30 . 25 ";
    EXPECT_TRUE(model.NormalizeDurationText(text));
    EXPECT_EQ(text, L"10:20:30");

    text = L"1:02";
    EXPECT_TRUE(model.NormalizeDurationText(text));
    EXPECT_EQ(text, L"1:02:00");
}

TEST_F(DurationTextTest, AnEmptyTextStaysEmptyWithoutFormatting)
{
    std::wstring text;
    EXPECT_TRUE(model.NormalizeDurationText(text));
    EXPECT_EQ(text, L"");
    EXPECT_EQ(system.Calls(FakeStep::FormatDuration), 0);
}

TEST_F(DurationTextTest, TextsThatDoNotParseStayAsTyped)
{
    for (const wchar_t* typed : {L"1:75", L"12", L"1:00:00.", L"512409558:00", L"an hour"}) {
        std::wstring text = typed;
        EXPECT_FALSE(model.NormalizeDurationText(text)) << typed;
        EXPECT_EQ(text, typed);
    }
    EXPECT_EQ(system.Calls(FakeStep::FormatDuration), 0);
}

TEST_F(DurationTextTest, AFailedFormattingLeavesTheTextAlone)
{
    system.Fail(FakeStep::FormatDuration, E_NOTIMPL);
    std::wstring text = L"2:30";
    EXPECT_FALSE(model.NormalizeDurationText(text));
    EXPECT_EQ(text, L"2:30");
}

TEST_F(DurationTextTest, DirectionMarksAreRemoved)
{
    system.directionMarks = true;
    std::wstring text = L"0:45:00";
    EXPECT_TRUE(model.NormalizeDurationText(text));
    EXPECT_EQ(text, L"0:45:00");
}

} // namespace
