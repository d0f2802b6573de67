#include "metadata/MetadataModel.h"
#include "metadata/PropertyKeys.h"
#include "tests/metadata/FakePropertySystem.h"
#include "tests/metadata/MetadataTestSupport.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* const TargetPath = L"C:\\docs\\report.docx";

class MetadataLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.SetTargetPath(TargetPath);
        system.Add(TitleKey, VT_LPWSTR, L"System.Title", L"Title");
        system.Add(PKEY_DateModified, VT_FILETIME, L"System.DateModified", L"Date modified",
                   FakeFileTimeValue(LocalTime(2024, 3, 1, 9, 0, 0)));
        system.Add(ContentCreatedKey, VT_FILETIME, L"System.Document.DateCreated", L"Content created",
                   FakeFileTimeValue(LocalTime(2024, 1, 31, 12, 34, 56)));
        system.Add(SizeKey, VT_UI8, L"System.Size", L"Size", FakeDurationValue(4096));
        system.Add(TotalEditingTimeKey, VT_UI8, L"System.Document.TotalEditingTime", L"Total editing time",
                   FakeDurationValue(3723 * TicksPerSecond));
        system.Add(PKEY_DateCreated, VT_FILETIME, L"System.DateCreated", L"Date created",
                   FakeFileTimeValue(LocalTime(2024, 3, 1, 8, 0, 0)));
        system.Add(DateSavedKey, VT_FILETIME, L"System.Document.DateSaved", L"Date last saved");
        system.Add(PKEY_DateAccessed, VT_FILETIME, L"System.DateAccessed", L"Date accessed",
                   FakeFileTimeValue(LocalTime(2024, 3, 2, 9, 0, 0)));
        system.Add(DateTakenKey, VT_FILETIME, L"System.Photo.DateTaken", L"Date taken",
                   FakeFileTimeValue(LocalTime(2023, 12, 24, 8, 0, 0)));
    }

    std::vector<std::wstring> ValueTexts() const
    {
        std::vector<std::wstring> texts;
        for (const MetadataEntry& entry : model.Entries())
            texts.push_back(entry.valueText);
        return texts;
    }

    FakePropertySystem system{TargetPath};
    MetadataModel model{system};
};

using Texts = std::vector<std::wstring>;

TEST_F(MetadataLoadTest, FirstLoadOffersOtherDatesAndTheTotalEditingTimeInListOrder)
{
    system.attributes = SFGAO_READONLY | SFGAO_STREAM | SFGAO_CANCOPY | SFGAO_HASSUBFOLDER;
    system.attributesAnswer = S_FALSE;

    ASSERT_EQ(model.LoadMetadata(), S_OK);

    const auto& entries = model.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_TRUE(SamePropertyKey(entries[0].key, ContentCreatedKey));
    EXPECT_TRUE(SamePropertyKey(entries[1].key, TotalEditingTimeKey));
    EXPECT_TRUE(SamePropertyKey(entries[2].key, DateSavedKey));
    EXPECT_TRUE(SamePropertyKey(entries[3].key, DateTakenKey));
    EXPECT_EQ(entries[0].type, VT_FILETIME);
    EXPECT_EQ(entries[1].type, VT_UI8);
    EXPECT_EQ(entries[1].canonicalName, L"System.Document.TotalEditingTime");
    EXPECT_EQ(entries[1].displayName, L"Total editing time");
    EXPECT_EQ(entries[3].canonicalName, L"System.Photo.DateTaken");
    EXPECT_EQ(entries[3].displayName, L"Date taken");
    // Long-time display texts; a property without a value shows nothing.
    EXPECT_EQ(ValueTexts(), (Texts{L"2024/01/31 12:34:56", L"1:02:03", L"", L"2023/12/24 08:00:00"}));
    for (const MetadataEntry& entry : entries) {
        EXPECT_TRUE(entry.writable);
        EXPECT_FALSE(entry.modified);
    }

    // Only the bits of the storage-capability mask are kept; S_FALSE from the item is no failure.
    EXPECT_EQ(model.ItemAttributes(), static_cast<SFGAOF>(SFGAO_READONLY | SFGAO_STREAM));
    EXPECT_TRUE(model.IsReadOnlyItem());

    EXPECT_EQ(system.readOnlyOpens, 1);
    EXPECT_EQ(system.readWriteOpens, 0);
    EXPECT_EQ(system.liveObjects, 0);
}

TEST_F(MetadataLoadTest, OnlyAnExplicitNotWritableAnswerMakesARowReadOnly)
{
    system.Property(ContentCreatedKey).writableAnswer = S_OK;
    system.Property(TotalEditingTimeKey).writableAnswer = S_FALSE;
    system.Property(DateSavedKey).writableAnswer = E_FAIL;
    system.Property(DateTakenKey).writableAnswer = E_NOTIMPL;

    ASSERT_EQ(model.LoadMetadata(), S_OK);

    ASSERT_EQ(model.Entries().size(), 4u);
    EXPECT_TRUE(model.Entries()[0].writable);
    EXPECT_FALSE(model.Entries()[1].writable);
    EXPECT_TRUE(model.Entries()[2].writable);
    EXPECT_TRUE(model.Entries()[3].writable);
    EXPECT_FALSE(model.IsReadOnlyItem());
}

TEST_F(MetadataLoadTest, AStoreWithoutCapabilitiesMakesEveryRowWritable)
{
    system.hasCapabilities = false;
    for (FakeProperty& property : system.properties)
        property.writableAnswer = S_FALSE;

    ASSERT_EQ(model.LoadMetadata(), S_OK);

    ASSERT_EQ(model.Entries().size(), 4u);
    for (const MetadataEntry& entry : model.Entries())
        EXPECT_TRUE(entry.writable);
}

TEST_F(MetadataLoadTest, AFileWithoutQualifyingPropertiesOffersNothing)
{
    system.properties.clear();
    system.Add(TitleKey, VT_LPWSTR, L"System.Title", L"Title");
    system.Add(PKEY_DateModified, VT_FILETIME, L"System.DateModified", L"Date modified");
    system.Add(PKEY_DateCreated, VT_FILETIME, L"System.DateCreated", L"Date created");
    system.Add(PKEY_DateAccessed, VT_FILETIME, L"System.DateAccessed", L"Date accessed");
    system.Add(SizeKey, VT_UI8, L"System.Size", L"Size");
    // The total editing time only counts with its own type.
    system.Add(TotalEditingTimeKey, VT_UI4, L"System.Document.TotalEditingTime", L"Total editing time");

    EXPECT_EQ(model.LoadMetadata(), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_TRUE(model.Entries().empty());
    EXPECT_EQ(system.liveObjects, 0);

    system.properties.clear();
    EXPECT_EQ(model.LoadMetadata(), TYPE_E_ELEMENTNOTFOUND);
}

struct LoadFailure {
    FakeStep step;
    int skip;
    std::size_t entriesKept;
};

class MetadataFirstLoadFailureTest : public MetadataLoadTest, public ::testing::WithParamInterface<LoadFailure> {};

TEST_P(MetadataFirstLoadFailureTest, StopsAtTheFirstFailureAndKeepsWhatWasCollected)
{
    const LoadFailure failure = GetParam();
    const HRESULT injected = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    system.Fail(failure.step, injected, failure.skip);

    EXPECT_EQ(model.LoadMetadata(), injected);

    EXPECT_EQ(model.Entries().size(), failure.entriesKept);
    EXPECT_EQ(system.Calls(FakeStep::GetValue), 0) << "no value is read after a failed collection";
    EXPECT_EQ(system.liveObjects, 0);
}

// The list holds: Title, DateModified, ContentCreated, Size, TotalEditingTime, DateCreated,
// DateSaved, DateAccessed, DateTaken; skip = descriptions that pass the failing step first.
INSTANTIATE_TEST_SUITE_P(
    EachStep, MetadataFirstLoadFailureTest,
    ::testing::Values(LoadFailure{FakeStep::CreateItem, 0, 0}, LoadFailure{FakeStep::OpenStore, 0, 0},
                      LoadFailure{FakeStep::Attributes, 0, 0}, LoadFailure{FakeStep::DescriptionList, 0, 0},
                      LoadFailure{FakeStep::Count, 0, 0}, LoadFailure{FakeStep::GetAt, 3, 1},
                      LoadFailure{FakeStep::Key, 0, 0}, LoadFailure{FakeStep::Type, 5, 2},
                      LoadFailure{FakeStep::CanonicalName, 2, 0}, LoadFailure{FakeStep::DisplayName, 8, 3}));

TEST_F(MetadataLoadTest, RefreshRewritesTextsAndRowsAndClearsFlagsButKeepsTheEntrySet)
{
    ASSERT_EQ(model.LoadMetadata(), S_OK);
    RecordingRowView view({L"edited 1", L"edited 2", L"edited 3", L"edited 4"});
    model.SetRowView(&view);
    for (MetadataEntry& entry : model.Entries())
        entry.modified = true;
    system.Property(ContentCreatedKey).value = FakeFileTimeValue(LocalTime(2025, 6, 30, 23, 59, 58));
    system.Property(TotalEditingTimeKey).value = {};
    system.Property(DateSavedKey).value = FakeFileTimeValue(LocalTime(2024, 2, 29, 0, 0, 0));
    system.Add(PROPERTYKEY{ContentCreatedKey.fmtid, 11}, VT_FILETIME, L"System.Document.DatePrinted", L"Printed");
    const int listsBefore = system.Calls(FakeStep::DescriptionList);

    ASSERT_EQ(model.LoadMetadata(), S_OK);

    const Texts expected{L"2025/06/30 23:59:58", L"", L"2024/02/29 00:00:00", L"2023/12/24 08:00:00"};
    EXPECT_EQ(ValueTexts(), expected);
    EXPECT_EQ(view.rows, expected);
    EXPECT_EQ(view.written, (std::vector<std::size_t>{0, 1, 2, 3}));
    for (const MetadataEntry& entry : model.Entries())
        EXPECT_FALSE(entry.modified);
    EXPECT_EQ(system.Calls(FakeStep::DescriptionList), listsBefore);
    EXPECT_EQ(system.readWriteOpens, 0);
    EXPECT_EQ(system.liveObjects, 0);
}

TEST_F(MetadataLoadTest, RefreshWithoutAListUpdatesOnlyTheEntries)
{
    ASSERT_EQ(model.LoadMetadata(), S_OK);
    system.Property(DateTakenKey).value = {};
    model.Entries()[3].modified = true;

    ASSERT_EQ(model.LoadMetadata(), S_OK);

    EXPECT_EQ(model.Entries()[3].valueText, L"");
    EXPECT_FALSE(model.Entries()[3].modified);
}

class MetadataRefreshFailureTest : public MetadataLoadTest, public ::testing::WithParamInterface<FakeStep> {};

TEST_P(MetadataRefreshFailureTest, StopsAtTheFailingEntry)
{
    ASSERT_EQ(model.LoadMetadata(), S_OK);
    RecordingRowView view({L"row 1", L"row 2", L"row 3", L"row 4"});
    model.SetRowView(&view);
    for (MetadataEntry& entry : model.Entries())
        entry.modified = true;
    system.Property(ContentCreatedKey).value = FakeFileTimeValue(LocalTime(2020, 5, 6, 7, 8, 9));
    system.Property(TotalEditingTimeKey).value = FakeDurationValue(60 * TicksPerSecond);
    system.Fail(GetParam(), E_UNEXPECTED, 1);

    EXPECT_EQ(model.LoadMetadata(), E_UNEXPECTED);

    const auto& entries = model.Entries();
    EXPECT_EQ(entries[0].valueText, L"2020/05/06 07:08:09");
    EXPECT_FALSE(entries[0].modified);
    EXPECT_EQ(view.rows[0], L"2020/05/06 07:08:09");
    EXPECT_EQ(view.written, (std::vector<std::size_t>{0}));
    // The failing entry and those after it keep their old state.
    EXPECT_EQ(entries[1].valueText, L"1:02:03");
    EXPECT_TRUE(entries[1].modified);
    EXPECT_EQ(view.rows[1], L"row 2");
    EXPECT_TRUE(entries[3].modified);
    EXPECT_EQ(system.liveObjects, 0);
}

INSTANTIATE_TEST_SUITE_P(EachStep, MetadataRefreshFailureTest,
                         ::testing::Values(FakeStep::Describe, FakeStep::GetValue, FakeStep::Format));

TEST_F(MetadataLoadTest, DirectionMarksAreRemovedFromEntriesAndRows)
{
    system.directionMarks = true;
    ASSERT_EQ(model.LoadMetadata(), S_OK);
    EXPECT_EQ(ValueTexts(), (Texts{L"2024/01/31 12:34:56", L"1:02:03", L"", L"2023/12/24 08:00:00"}));

    // The substitute really sends the marks.
    std::unique_ptr<PropertyDescription> description;
    ASSERT_EQ(system.GetPropertyDescription(ContentCreatedKey, description), S_OK);
    PROPVARIANT value{};
    value.vt = VT_FILETIME;
    const std::uint64_t t = LocalTime(2024, 1, 31, 12, 34, 56);
    value.filetime = FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
    std::wstring marked;
    ASSERT_EQ(description->FormatForDisplay(value, PDFF_LONGTIME, marked), S_OK);
    for (wchar_t mark : {L'\x200E', L'\x200F', L'\x202A', L'\x202B', L'\x202C'})
        EXPECT_NE(marked.find(mark), std::wstring::npos) << static_cast<unsigned>(mark);
    description.reset();

    RecordingRowView view({L"", L"", L"", L""});
    model.SetRowView(&view);
    ASSERT_EQ(model.LoadMetadata(), S_OK);
    EXPECT_EQ(view.rows, (Texts{L"2024/01/31 12:34:56", L"1:02:03", L"", L"2023/12/24 08:00:00"}));
}

TEST_F(MetadataLoadTest, AMissingTargetFailsWithThePlatformResult)
{
    model.SetTargetPath(L"C:\\docs\\missing.docx");
    EXPECT_EQ(model.LoadMetadata(), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(model.Entries().empty());
}

TEST(MetadataTargetPath, APathTheShellWouldReadAsAnotherItemIsNeverHandedOver)
{
    // A store that answers for the path as written: the shell would answer with the
    // properties of "D:\Acme Inc\plan.docx".
    const std::wstring path = L"D:\\Acme Inc.\\plan.docx";
    FakePropertySystem system(path);
    system.Add(ContentCreatedKey, VT_FILETIME, L"System.Document.DateCreated", L"Content created");
    MetadataModel model(system);
    model.SetTargetPath(path);
    EXPECT_EQ(model.LoadMetadata(), HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
    model.Entries().push_back(MetadataEntry{});
    model.Entries().back().modified = true;
    EXPECT_EQ(model.CommitMetadata(), HRESULT_FROM_WIN32(ERROR_INVALID_NAME));
    EXPECT_EQ(system.Calls(FakeStep::CreateItem), 0);
}

} // namespace
