#include "app/Dialog.h"
#include "pages/PreviewText.h"
#include "platform/Handles.h"
#include "res/resource.h"
#include "tests/support/MediaFiles.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

// 2009-02-13 23:31:30 UTC: the times every file holds before the apply.
constexpr FileTime kOld = 128790378900000000ull;
constexpr FileTime kOldAccess = kOld + 12345678;

struct DateTakenTexts {
    const wchar_t* one;  // one file without a date, %1 its path
    const wchar_t* many; // %2 files, %1 the first
    const wchar_t* noDate;
    const wchar_t* entry;
};

const Expected<DateTakenTexts> Texts[] = {
    {L"en",
     {L"1 file kept its times: it holds no date taken that could be read.\n%1",
      L"%2 files kept their times: they hold no date taken that could be read. The first of them:\n%1",
      L"no date taken", L"Set the same as the date taken"}},
    {L"ja",
     {L"1 個のファイルは撮影日時を読み取れなかったため、タイムスタンプを変更しませんでした。\n%1",
      L"%2 個のファイルは撮影日時を読み取れなかったため、タイムスタンプを変更しませんでした。最初のファイル:\n%1",
      L"撮影日時なし", L"撮影日時と同じにする"}},
};

std::wstring Filled(std::wstring text, const std::wstring& first, const std::wstring& count)
{
    for (const auto& [mark, value] : {std::pair{std::wstring(L"%1"), first}, std::pair{std::wstring(L"%2"), count}}) {
        const std::size_t at = text.find(mark);
        if (at != std::wstring::npos)
            text.replace(at, mark.size(), value);
    }
    return text;
}

void WriteBytes(const std::wstring& path, std::span<const std::byte> bytes)
{
    FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << ::GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

template <class Page> void ChooseDateTaken(Page& page, TimestampKind kind)
{
    page.operation[kind] = OpDateTaken;
    page.ExchangeRows(false);
    page.SetModified();
}

std::wstring ListText(HWND list, int row, PreviewColumn column)
{
    wchar_t text[512] = {};
    ListView_GetItemText(list, row, static_cast<int>(column), text, 512);
    return text;
}

class DateTakenSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        texts = ForRunLanguage(Texts);
        ASSERT_TRUE(texts);
    }

    // photos\<one file of each format>, each taken at SampleMoment(); photos\notes.txt and
    // photos\cut.jpg (a JPEG cut off before its Exif block), which hold no date; every file at
    // the same old times.
    void MakePhotos()
    {
        photos = folder.MakeFolder(L"photos");
        for (const MediaSample& sample : MediaSamples()) {
            const std::wstring path = photos + L"\\" + Wide(sample.name) + L".bin";
            WriteBytes(path, sample.bytes);
            dated.push_back(path);
        }
        const MediaSample jpeg = MediaSamples()[2];
        ASSERT_EQ(jpeg.name, "jpeg");
        undated = {photos + L"\\notes.txt", photos + L"\\cut.jpg"};
        WriteBytes(undated[0], TextBytes("a shopping list"));
        WriteBytes(undated[1], std::span(jpeg.bytes).first(30));
        for (const std::wstring& path : dated)
            SetTimes(path, kOld, kOldAccess, kOld);
        for (const std::wstring& path : undated)
            SetTimes(path, kOld, kOldAccess, kOld);
    }

    TempFolder folder;
    std::wstring photos;
    std::vector<std::wstring> dated;
    std::vector<std::wstring> undated;
    const DateTakenTexts* texts = nullptr;
};

TEST_F(DateTakenSheetTest, OkGivesAFoldersPhotosAndMoviesTheirDatesTakenAndCountsTheFilesWithoutOne)
{
    MakePhotos();
    SheetDriver sheet(photos);
    ASSERT_TRUE(sheet.Create());
    // The Advanced page's rows reach the files; the folder's own General rows do not.
    EXPECT_EQ(OperationText(sheet.AdvancedWindow(), IDC_MODIFIED_OPERATION, 9), texts->entry);
    EXPECT_EQ(OperationCount(sheet.GeneralWindow(), IDC_MODIFIED_OPERATION), 11);
    ChooseDateTaken(sheet.Advanced(), LastWrite);
    {
        MessageBoxCapture boxes;
        sheet.PressOk();
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        // The listing's order decides which file is named first.
        const std::wstring& text = boxes.Boxes()[0].text;
        EXPECT_TRUE(text == Filled(texts->many, undated[0], L"2") || text == Filled(texts->many, undated[1], L"2"))
            << testing::PrintToString(text);
        EXPECT_EQ(boxes.Boxes()[0].caption, L"Nebbi's Timestamp Editor");
    }
    EXPECT_FALSE(sheet.IsOpen());
    // The access times stay although the files' data was read.
    for (const std::wstring& path : dated) {
        EXPECT_EQ(TimesOf(path)[LastWrite], SampleMoment()) << testing::PrintToString(path);
        EXPECT_EQ(TimesOf(path)[LastAccess], kOldAccess) << testing::PrintToString(path);
    }
    for (const std::wstring& path : undated) {
        EXPECT_EQ(TimesOf(path)[LastWrite], kOld) << testing::PrintToString(path);
        EXPECT_EQ(TimesOf(path)[LastAccess], kOldAccess) << testing::PrintToString(path);
    }
}

TEST_F(DateTakenSheetTest, ThePreviewShowsEachDateTakenAndTheFilesWithoutOne)
{
    MakePhotos();
    SheetDriver sheet(photos);
    ASSERT_TRUE(sheet.Create());
    ChooseDateTaken(sheet.Advanced(), LastWrite);
    {
        MessageBoxCapture boxes;
        sheet.ShowPage(2);
        EXPECT_TRUE(boxes.Boxes().empty());
    }
    HWND list = ::GetDlgItem(sheet.Sheet().PreviewPage().m_hWnd, IDC_PREVIEW_LIST);
    ASSERT_EQ(ListView_GetItemCount(list), static_cast<int>(dated.size() + undated.size()));
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        const std::wstring name = ListText(list, row, PreviewColumn::Name);
        const std::wstring modified = ListText(list, row, PreviewColumn::Modified);
        SCOPED_TRACE(testing::PrintToString(name));
        const bool hasDate = name != L"notes.txt" && name != L"cut.jpg";
        const std::wstring newValue = hasDate ? LocalTimeText(SampleMoment()) : texts->noDate;
        EXPECT_TRUE(modified.ends_with(newValue)) << testing::PrintToString(modified);
        EXPECT_TRUE(modified.starts_with(LocalTimeText(kOld))) << testing::PrintToString(modified);
    }
    // Nothing was written.
    for (const std::wstring& path : dated)
        EXPECT_EQ(TimesOf(path)[LastWrite], kOld);
}

TEST_F(DateTakenSheetTest, AOneFileSheetTakesItsDateOrSaysItHasNone)
{
    MakePhotos();
    {
        SheetDriver sheet(dated[2]);
        ASSERT_TRUE(sheet.Create());
        EXPECT_EQ(OperationText(sheet.GeneralWindow(), IDC_MODIFIED_OPERATION, 9), texts->entry);
        ChooseDateTaken(sheet.General(), LastWrite);
        MessageBoxCapture boxes;
        sheet.PressOk();
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(TimesOf(dated[2])[LastWrite], SampleMoment());
    }
    SheetDriver sheet(undated[1]);
    ASSERT_TRUE(sheet.Create());
    ChooseDateTaken(sheet.General(), LastWrite);
    ChooseDateTaken(sheet.General(), LastAccess);
    MessageBoxCapture boxes;
    sheet.PressOk();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Filled(texts->one, undated[1], L"1"));
    EXPECT_EQ(TimesOf(undated[1])[LastWrite], kOld);
    EXPECT_EQ(TimesOf(undated[1])[LastAccess], kOldAccess);
}

TEST_F(DateTakenSheetTest, ASelectionOffersTheDateTakenOnItsGeneralPageOnlyWhenAFileIsAmongItsItems)
{
    MakePhotos();
    const std::wstring other = folder.MakeFolder(L"other");
    {
        SheetDriver sheet(std::vector<std::wstring>{photos, other});
        ASSERT_TRUE(sheet.Create());
        EXPECT_EQ(OperationCount(sheet.GeneralWindow(), IDC_CREATED_OPERATION), 11);
    }
    SheetDriver sheet(std::vector<std::wstring>{photos, dated[0], undated[0]});
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(OperationCount(sheet.GeneralWindow(), IDC_CREATED_OPERATION), 12);
    EXPECT_EQ(OperationText(sheet.GeneralWindow(), IDC_CREATED_OPERATION, 11), texts->entry);
    ChooseDateTaken(sheet.General(), LastWrite);
    const FileTimes folderBefore = TimesOf(photos);
    MessageBoxCapture boxes;
    sheet.PressOk();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, Filled(texts->one, undated[0], L"1"));
    EXPECT_EQ(TimesOf(dated[0])[LastWrite], SampleMoment());
    EXPECT_EQ(TimesOf(photos)[LastWrite], folderBefore[LastWrite]);
    // The files inside the folder are the Advanced page's, which changes nothing here.
    EXPECT_EQ(TimesOf(dated[1])[LastWrite], kOld);
}

} // namespace
