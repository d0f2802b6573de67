#include "metadata/MetadataModel.h"
#include "metadata/PropertyKeys.h"
#include "tests/metadata/FakePropertySystem.h"
#include "tests/metadata/MetadataTestSupport.h"
#include "tests/support/RunExpectations.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* const TargetPath = L"D:\\work\\plan.xlsx";

const std::uint64_t OldCreated = LocalTime(2024, 1, 31, 12, 34, 56);
const std::uint64_t OldTaken = LocalTime(2023, 12, 24, 8, 0, 0);
const std::uint64_t OldEditing = 3723 * TicksPerSecond;

// Entries after the first load: 0 content created, 1 total editing time, 2 date taken.
class MetadataCommitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.SetTargetPath(TargetPath);
        system.Add(ContentCreatedKey, VT_FILETIME, L"System.Document.DateCreated", L"Content created",
                   FakeFileTimeValue(OldCreated));
        system.Add(TotalEditingTimeKey, VT_UI8, L"System.Document.TotalEditingTime", L"Total editing time",
                   FakeDurationValue(OldEditing));
        system.Add(DateTakenKey, VT_FILETIME, L"System.Photo.DateTaken", L"Date taken", FakeFileTimeValue(OldTaken));
        ASSERT_EQ(model.LoadMetadata(), S_OK);
        ASSERT_EQ(model.Entries().size(), 3u);
        view.rows = {model.Entries()[0].valueText, model.Entries()[1].valueText, model.Entries()[2].valueText};
        model.SetRowView(&view);
    }

    // What an in-place edit leaves behind: the new text in the row and the entry marked.
    void Edit(std::size_t row, std::wstring text)
    {
        view.rows[row] = std::move(text);
        model.Entries()[row].modified = true;
    }

    void ExpectFileUnchanged()
    {
        EXPECT_EQ(system.FileValue(ContentCreatedKey), FakeFileTimeValue(OldCreated));
        EXPECT_EQ(system.FileValue(TotalEditingTimeKey), FakeDurationValue(OldEditing));
        EXPECT_EQ(system.FileValue(DateTakenKey), FakeFileTimeValue(OldTaken));
    }

    FakePropertySystem system{TargetPath};
    MetadataModel model{system};
    RecordingRowView view{{}};
};

TEST_F(MetadataCommitTest, NothingModifiedOpensNothing)
{
    view.rows[0] = L"not a date";
    system.Fail(FakeStep::CreateItem, E_ACCESSDENIED);
    system.Fail(FakeStep::OpenStore, E_ACCESSDENIED);
    const int itemsBefore = system.Calls(FakeStep::CreateItem);

    EXPECT_EQ(model.CommitMetadata(), S_OK);

    EXPECT_EQ(system.Calls(FakeStep::CreateItem), itemsBefore);
    EXPECT_EQ(system.readWriteOpens, 0);
    EXPECT_EQ(system.commits, 0);
    ExpectFileUnchanged();
}

TEST_F(MetadataCommitTest, WritesTheRowTextsOfModifiedEntriesAndTheRefreshShowsThem)
{
    Edit(0, L"2024/02/29 08:15:30");
    Edit(1, L"2:00");
    view.rows[2] = L"2000/01/01 00:00:00"; // shown but never stored as an edit

    ASSERT_EQ(model.CommitMetadata(), S_OK);

    // The text is read as local time.
    const Expected<FileTime> written[] = {
        {L"UTC", UtcTime(2024, 2, 29, 8, 15, 30)},
        {L"Asia/Tokyo", UtcTime(2024, 2, 28, 23, 15, 30)},
        {L"America/New_York", UtcTime(2024, 2, 29, 13, 15, 30)},
    };
    const FileTime* expected = ForRunZone(written);
    ASSERT_TRUE(expected);
    EXPECT_EQ(system.FileValue(ContentCreatedKey), FakeFileTimeValue(*expected));
    EXPECT_EQ(system.FileValue(TotalEditingTimeKey), FakeDurationValue(7200 * TicksPerSecond));
    EXPECT_EQ(system.FileValue(DateTakenKey), FakeFileTimeValue(OldTaken));
    EXPECT_EQ(system.readWriteOpens, 1);
    EXPECT_EQ(system.commits, 1);
    EXPECT_EQ(system.liveObjects, 0);
    // The commit leaves the flags to the refresh that follows it.
    EXPECT_TRUE(model.Entries()[0].modified);
    EXPECT_TRUE(model.Entries()[1].modified);
    EXPECT_EQ(model.Entries()[0].valueText, L"2024/02/29 08:15:30");

    ASSERT_EQ(model.LoadMetadata(), S_OK);
    EXPECT_EQ(view.rows, (std::vector<std::wstring>{L"2024/02/29 08:15:30", L"2:00:00", L"2023/12/24 08:00:00"}));
    for (const MetadataEntry& entry : model.Entries())
        EXPECT_FALSE(entry.modified);
}

TEST_F(MetadataCommitTest, AnEmptyRowClearsTheProperty)
{
    Edit(2, L"");
    Edit(1, L"");

    ASSERT_EQ(model.CommitMetadata(), S_OK);

    EXPECT_EQ(system.FileValue(DateTakenKey), FakeValue{});
    EXPECT_EQ(system.FileValue(TotalEditingTimeKey), FakeValue{});
    EXPECT_EQ(system.FileValue(ContentCreatedKey), FakeFileTimeValue(OldCreated));
}

TEST_F(MetadataCommitTest, WithoutAListTheEntryTextIsWritten)
{
    model.SetRowView(nullptr);
    model.Entries()[1].valueText = L"0:30:15";
    model.Entries()[1].modified = true;

    ASSERT_EQ(model.CommitMetadata(), S_OK);

    EXPECT_EQ(system.FileValue(TotalEditingTimeKey), FakeDurationValue(1815 * TicksPerSecond));
}

struct CommitFailure {
    FakeStep step;
    int skip;
};

class MetadataCommitFailureTest : public MetadataCommitTest, public ::testing::WithParamInterface<CommitFailure> {};

TEST_P(MetadataCommitFailureTest, NothingReachesTheFileAndTheRowsStayModified)
{
    Edit(0, L"2024/02/29 08:15:30");
    Edit(2, L"2011/11/11 11:11:11");
    const HRESULT injected = STG_E_ACCESSDENIED;
    system.Fail(GetParam().step, injected, GetParam().skip);

    EXPECT_EQ(model.CommitMetadata(), injected);

    ExpectFileUnchanged();
    EXPECT_EQ(system.commits, 0);
    EXPECT_TRUE(model.Entries()[0].modified);
    EXPECT_FALSE(model.Entries()[1].modified);
    EXPECT_TRUE(model.Entries()[2].modified);
    EXPECT_EQ(system.liveObjects, 0);
}

// skip 1: the first modified row gets through the step, the second fails there.
INSTANTIATE_TEST_SUITE_P(EachStep, MetadataCommitFailureTest,
                         ::testing::Values(CommitFailure{FakeStep::CreateItem, 0},
                                           CommitFailure{FakeStep::OpenStore, 0}, CommitFailure{FakeStep::Describe, 1},
                                           CommitFailure{FakeStep::Coerce, 1}, CommitFailure{FakeStep::SetValue, 1},
                                           CommitFailure{FakeStep::Commit, 0}));

TEST_F(MetadataCommitTest, AnUnreadableSecondRowStopsBeforeCommit)
{
    Edit(0, L"2024/02/29 08:15:30");
    Edit(1, L"1:75");

    EXPECT_EQ(model.CommitMetadata(), DISP_E_TYPEMISMATCH);

    ExpectFileUnchanged();
    EXPECT_EQ(system.commits, 0);
    EXPECT_TRUE(model.Entries()[0].modified);
    EXPECT_TRUE(model.Entries()[1].modified);
    EXPECT_EQ(system.Calls(FakeStep::Commit), 0);

    // The same rows are tried again on the next apply.
    view.rows[1] = L"1:15";
    EXPECT_EQ(model.CommitMetadata(), S_OK);
    EXPECT_EQ(system.FileValue(TotalEditingTimeKey), FakeDurationValue(4500 * TicksPerSecond));
    EXPECT_EQ(system.FileValue(ContentCreatedKey), FakeFileTimeValue(LocalTime(2024, 2, 29, 8, 15, 30)));
}

TEST_F(MetadataCommitTest, AnUnreadableDateStopsTheCommit)
{
    Edit(2, L"yesterday at noon");

    EXPECT_TRUE(FAILED(model.CommitMetadata()));

    ExpectFileUnchanged();
    EXPECT_EQ(system.commits, 0);
    EXPECT_TRUE(model.Entries()[2].modified);
}

} // namespace
