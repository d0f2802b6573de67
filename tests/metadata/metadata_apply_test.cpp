#include "ui/ResultText.h"
#include "engine/FileTimeAccess.h"
#include "engine/TimestampOperations.h"
#include "framework/Module.h"
#include "metadata/PropertyKeys.h"
#include "platform/Handles.h"
#include "platform/ItemPath.h"
#include "res/resource.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/metadata/MetadataPageSupport.h"
#include "tests/metadata/MetadataTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 2024-01-31 12:34:56 UTC, in whole seconds as the pickers hold it.
constexpr FileTime NewLastWrite = 133511804960000000ull;

FileTime LastWriteOf(const std::wstring& path)
{
    FileTimes times{};
    EXPECT_TRUE(ReadFileTimes(path.c_str(), times));
    return times[LastWrite];
}

std::wstring ProductName()
{
    const wchar_t* text = nullptr;
    const int length =
        ::LoadStringW(AppModule().GetResourceInstance(), IDS_PRODUCT_NAME, reinterpret_cast<LPWSTR>(&text), 0);
    return std::wstring(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

// What the store saw, with the file's last-write time at that moment.
struct StoreEvent {
    FakeStep step;
    FileTime lastWrite;
};

class MetadataApplyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const FileTime old = UtcTime(2022, 2, 2, 2, 2, 2);
        ASSERT_TRUE(WriteFileTimes(document.File().c_str(), FileTimes{old, old, old}));
        ASSERT_TRUE(sheet.Create());
        originalLastWrite = LastWriteOf(document.File());
        ASSERT_EQ(originalLastWrite, old);
        // The General page will set the file's last-write time.
        CGeneralPage& general = sheet.General();
        general.operation[LastWrite] = OpSpecifiedDateTime;
        general.value[LastWrite] = NewLastWrite;
        general.ExchangeData(false);
        sheet.ShowPage(1);

        const std::wstring file = document.File();
        document.Store().observer = [this, file](FakeStep step) {
            if (step == FakeStep::OpenStore || step == FakeStep::Commit || step == FakeStep::GetValue)
                events.push_back({step, LastWriteOf(file)});
        };
    }

    void EditSavedDate()
    {
        SelectRow(sheet, DateSavedRow);
        ListCommand(sheet, 1056);
        ASSERT_TRUE(Entry(sheet, DateSavedRow).modified);
    }

    StoredDocument document;
    SheetDriver sheet{document.File(), document.Store()};
    FileTime originalLastWrite = 0;
    std::vector<StoreEvent> events;
};

TEST_F(MetadataApplyTest, ApplyCommitsThenRefreshesThenSetsTheFileTimes)
{
    EditSavedDate();
    const std::wstring typed = Cell(sheet, DateSavedRow, 1);
    ASSERT_EQ(ParsedDate(typed), originalLastWrite);

    sheet.PressApply();

    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0].step, FakeStep::OpenStore); // for writing
    EXPECT_EQ(events[1].step, FakeStep::Commit);
    EXPECT_EQ(events[2].step, FakeStep::OpenStore); // for the refresh
    EXPECT_EQ(events.back().step, FakeStep::GetValue);
    for (const StoreEvent& event : events)
        EXPECT_EQ(event.lastWrite, originalLastWrite); // the file times came after
    EXPECT_EQ(document.Store().readWriteOpens, 1);
    EXPECT_EQ(document.Store().commits, 1);
    EXPECT_EQ(document.Store().FileValue(DateSavedKey), FakeFileTimeValue(originalLastWrite));
    EXPECT_EQ(LastWriteOf(document.File()), NewLastWrite);

    EXPECT_FALSE(Entry(sheet, DateSavedRow).modified);
    EXPECT_EQ(Cell(sheet, DateSavedRow, 1), typed);
    EXPECT_FALSE(sheet.ApplyEnabled());
    EXPECT_TRUE(::IsWindow(sheet.Window()));
}

TEST_F(MetadataApplyTest, ApplyWithoutPendingRowsOpensNothingForWritingButRefreshesAndSetsTheTimes)
{
    document.Store().Property(TotalEditingTimeKey).value = FakeDurationValue(7200ull * 10'000'000ull);
    sheet.General().SetModified();
    sheet.PressApply();
    EXPECT_EQ(document.Store().readWriteOpens, 0);
    EXPECT_EQ(document.Store().commits, 0);
    EXPECT_EQ(Cell(sheet, EditingTimeRow, 1), L"2:00:00"); // the value the file now reports
    EXPECT_EQ(LastWriteOf(document.File()), NewLastWrite);
}

TEST_F(MetadataApplyTest, FailedCommitShowsOneErrorAndKeepsTheSheetAndTheFileTimes)
{
    EditSavedDate();
    document.Store().Fail(FakeStep::Commit, STG_E_ACCESSDENIED);
    {
        MessageBoxCapture boxes;
        ASSERT_TRUE(boxes.Installed());
        sheet.PressApply();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].caption, ProductName());
        EXPECT_EQ(boxes.Boxes()[0].text, ResultText(STG_E_ACCESSDENIED));
        EXPECT_EQ(boxes.Boxes()[0].buttons, std::vector<int>{IDOK});
    }
    EXPECT_EQ(LastWriteOf(document.File()), originalLastWrite);
    EXPECT_EQ(document.Store().FileValue(DateSavedKey), FakeFileTimeValue(DateSavedValue()));
    EXPECT_TRUE(Entry(sheet, DateSavedRow).modified);
    EXPECT_TRUE(sheet.ApplyEnabled());

    // OK does not close the sheet either.
    {
        MessageBoxCapture boxes;
        sheet.PressOk();
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    EXPECT_TRUE(::IsWindow(sheet.Window()));
    EXPECT_TRUE(sheet.CurrentPage());
    EXPECT_EQ(LastWriteOf(document.File()), originalLastWrite);

    // Once the store takes it, the same edit goes through.
    document.Store().Heal();
    sheet.PressApply();
    EXPECT_EQ(document.Store().FileValue(DateSavedKey), FakeFileTimeValue(originalLastWrite));
    EXPECT_EQ(LastWriteOf(document.File()), NewLastWrite);
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(MetadataApplyTest, FailedRefreshAfterTheCommitShowsTheErrorAndSetsNoFileTime)
{
    EditSavedDate();
    document.Store().Fail(FakeStep::GetValue, E_FAIL);
    MessageBoxCapture boxes;
    sheet.PressApply();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, ResultText(E_FAIL));
    EXPECT_EQ(document.Store().commits, 1);
    EXPECT_EQ(LastWriteOf(document.File()), originalLastWrite);
    EXPECT_TRUE(::IsWindow(sheet.Window()));
}

// A property handler stores a commit by rewriting the file, which moves its times. The kinds the
// General page leaves as they are keep the times they had, to the tick; the others get what
// the General page sets.
class RewritingHandlerTest : public MetadataApplyTest {
protected:
    void SetUp() override
    {
        MetadataApplyTest::SetUp();
        ASSERT_TRUE(WriteFileTimes(document.File().c_str(), FileTimes{InvalidFileTime, OldAccess, OldWrite}));
        document.Store().rewritesFileOnCommit = true;
    }

    FileTimes StoredTimes()
    {
        FileTimes times{};
        EXPECT_TRUE(ReadFileTimes(document.File().c_str(), times));
        return times;
    }

    // The simulated handler has written the file.
    void ExpectRewritten()
    {
        EXPECT_EQ(document.Store().commits, 1);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(::GetFileAttributesExW(ItemPath(document.File()).c_str(), GetFileExInfoStandard, &data));
        EXPECT_GT(data.nFileSizeLow, 0u);
    }

    static constexpr FileTime OldAccess = 132800000001234567ull;
    static constexpr FileTime OldWrite = 132700000007654321ull;
};

TEST_F(RewritingHandlerTest, EveryTimeLeftAsItIsKeepsItsValue)
{
    sheet.General().operation[LastWrite] = OpDontChange;
    sheet.General().ExchangeData(false);
    EditSavedDate();

    sheet.PressApply();

    ExpectRewritten();
    EXPECT_EQ(StoredTimes()[LastWrite], OldWrite);
    EXPECT_EQ(StoredTimes()[LastAccess], OldAccess);
    EXPECT_FALSE(Entry(sheet, DateSavedRow).modified);
    EXPECT_FALSE(sheet.ApplyEnabled());
}

TEST_F(RewritingHandlerTest, SetModifiedTimeIsWrittenAndTheAccessTimeKept)
{
    EditSavedDate();

    sheet.PressApply();

    ExpectRewritten();
    EXPECT_EQ(StoredTimes()[LastWrite], NewLastWrite);
    EXPECT_EQ(StoredTimes()[LastAccess], OldAccess);
}

TEST_F(RewritingHandlerTest, FailureAfterTheRewriteEndsTheApplyWithEveryTimeAsItWas)
{
    EditSavedDate();
    document.Store().Fail(FakeStep::GetValue, E_FAIL);
    {
        MessageBoxCapture boxes;
        sheet.PressApply();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, ResultText(E_FAIL));
    }
    ExpectRewritten();
    // Modified too: its operation was never carried out.
    EXPECT_EQ(StoredTimes()[LastWrite], OldWrite);
    EXPECT_EQ(StoredTimes()[LastAccess], OldAccess);
}

TEST(MetadataTarget, NoPageWhereTheShellWouldReachAnotherItem)
{
    // The shell parses a path the ordinary way: "x " would reach "x", and it takes no more than
    // MAX_PATH characters. The property system is not asked at all for such a file.
    TempFolder folder;
    folder.MakeFile(L"x");
    const std::wstring blank = folder.Child(L"x ");
    {
        FileHandle file(::CreateFileW(ItemPath(blank).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file.valid());
    }
    for (const std::wstring& path : {blank, folder.Child(L"x")}) {
        FakePropertySystem system(path);
        AddStandardDocument(system);
        SheetDriver sheet(path, system);
        ASSERT_TRUE(sheet.Create());
        const bool exact = path == blank;
        EXPECT_EQ(sheet.Sheet().GetPageCount(), exact ? 1 : 2) << exact;
        EXPECT_EQ(system.Calls(FakeStep::CreateItem), exact ? 0 : 1);
    }
}

} // namespace
