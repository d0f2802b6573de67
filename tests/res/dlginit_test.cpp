#include "res/resource.h"
#include "tests/res/ResourceData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ComboEntries {
    WORD control = 0;
    std::vector<std::wstring> texts;
};

// Decodes dialog-initialisation data into the entries of each control, in resource order.
// The texts are UTF-8, so they decode the same under every ANSI code page.
std::vector<ComboEntries> DecodeDlgInit(std::span<const std::byte> data)
{
    std::vector<ComboEntries> controls;
    ByteReader reader(data);
    for (;;) {
        const auto control = reader.Read<WORD>();
        if (!reader.ok()) {
            ADD_FAILURE() << "no terminating zero";
            break;
        }
        if (control == 0)
            break;
        const auto code = reader.Read<WORD>();
        const auto length = reader.Read<DWORD>();
        const auto bytes = reader.ReadBytes(length);
        EXPECT_EQ(code, DLGINIT_CB_ADDSTRING);
        if (!reader.ok() || bytes.empty() || bytes.back() != std::byte{0}) {
            ADD_FAILURE() << "record of control " << control << " is cut short or not terminated";
            break;
        }
        const auto* text = reinterpret_cast<const char*>(bytes.data());
        const int textLength = static_cast<int>(bytes.size()) - 1;
        std::wstring wide(static_cast<size_t>(textLength), L'\0');
        const int converted = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, textLength, wide.data(),
                                                    static_cast<int>(wide.size()));
        EXPECT_TRUE(converted > 0 || textLength == 0) << "not UTF-8";
        wide.resize(static_cast<size_t>(converted));
        EXPECT_EQ(wide.find(L'\0'), std::wstring::npos);
        if (controls.empty() || controls.back().control != control)
            controls.push_back({control, {}});
        controls.back().texts.push_back(wide);
    }
    EXPECT_TRUE(reader.AtEnd()) << "data after the terminating zero";
    return controls;
}

struct Operations {
    std::vector<std::wstring> common;                      // entries 0-5, the same in every row
    std::vector<std::wstring> created, modified, accessed; // entries 6 and 7
    std::vector<std::wstring> folder;                      // entries 8 and 9, General page only
    std::wstring shift;                                    // every row, after those
    std::wstring dateTaken;                                // the last entry of every row
};

const Operations EnglishOperations = {
    {L"Don't change", L"Set the specified date and time", L"Set the specified time of day",
     L"Set the current date and time", L"Set the time of day to midnight", L"Set the second to zero"},
    {L"Set the same as the modification time", L"Set the same as the access time"},
    {L"Set the same as the creation time", L"Set the same as the access time"},
    {L"Set the same as the creation time", L"Set the same as the modification time"},
    {L"Set the same as the earliest file/subfolder", L"Set the same as the latest file/subfolder"},
    L"Shift by the specified time span",
    L"Set the same as the date taken",
};

const Operations JapaneseOperations = {
    {L"変更しない", L"指定した日付と時刻に変更する", L"指定した時刻に変更する", L"現在の日付と時刻に変更する",
     L"時刻を午前零時に変更する", L"秒を切り捨てる"},
    {L"更新日時と同じにする", L"アクセス日時と同じにする"},
    {L"作成日時と同じにする", L"アクセス日時と同じにする"},
    {L"作成日時と同じにする", L"更新日時と同じにする"},
    {L"フォルダー内の最も古い日時にする", L"フォルダー内の最も新しい日時にする"},
    L"指定した時間だけずらす",
    L"撮影日時と同じにする",
};

std::vector<std::wstring> Row(const Operations& operations, const std::vector<std::wstring>& own, bool folder)
{
    auto texts = operations.common;
    texts.insert(texts.end(), own.begin(), own.end());
    if (folder)
        texts.insert(texts.end(), operations.folder.begin(), operations.folder.end());
    texts.push_back(operations.shift);
    texts.push_back(operations.dateTaken);
    return texts;
}

void ExpectComboEntries(int dialog, WORD language, const Operations& operations, bool folder)
{
    SCOPED_TRACE(testing::Message() << "dialog " << dialog << " language " << language);
    const auto controls = DecodeDlgInit(ResourceBytes(MAKEINTRESOURCEW(RT_DLGINIT_ID), dialog, language));
    // One run of records per combo box, rows in screen order, entries in the order of the pages'
    // table of operations.
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0].control, IDC_CREATED_OPERATION);
    EXPECT_EQ(controls[1].control, IDC_MODIFIED_OPERATION);
    EXPECT_EQ(controls[2].control, IDC_ACCESSED_OPERATION);
    EXPECT_EQ(controls[0].texts, Row(operations, operations.created, folder));
    EXPECT_EQ(controls[1].texts, Row(operations, operations.modified, folder));
    EXPECT_EQ(controls[2].texts, Row(operations, operations.accessed, folder));
}

TEST(ComboEntries, GeneralPageHasTwelveOperationsPerRowInBothLanguages)
{
    ExpectComboEntries(IDD_GENERAL, EnglishLanguage, EnglishOperations, true);
    ExpectComboEntries(IDD_GENERAL, JapaneseLanguage, JapaneseOperations, true);
}

TEST(ComboEntries, AdvancedPageHasAllButTheFolderOperationsPerRowInBothLanguages)
{
    ExpectComboEntries(IDD_ADVANCED, EnglishLanguage, EnglishOperations, false);
    ExpectComboEntries(IDD_ADVANCED, JapaneseLanguage, JapaneseOperations, false);
}

} // namespace
