#include "ui/DlgInit.h"
#include "framework/WindowImpl.h"
#include "res/resource.h"
#include "tests/framework/TemplateBuilder.h"
#include "tests/support/RunExpectations.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring ComboText(HWND dialog, int id, int index)
{
    wchar_t text[256] = {};
    ::SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int ComboCount(HWND dialog, int id)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}

// A combo box that refuses one particular entry, as a full or failing control would.
class RefusingCombo : public CWindowImpl {
public:
    BEGIN_MSG_MAP(RefusingCombo)
        MESSAGE_HANDLER(CB_ADDSTRING, OnAddString)
    END_MSG_MAP()
    LRESULT OnAddString(UINT, WPARAM, LPARAM lParam, BOOL& handled)
    {
        if (std::wstring(reinterpret_cast<const wchar_t*>(lParam)) == L"refused")
            return CB_ERR;
        handled = FALSE;
        return 0;
    }
};

void Append(std::vector<unsigned char>& data, WORD id, WORD message, const char* text)
{
    const DWORD length = static_cast<DWORD>(std::strlen(text) + 1);
    const size_t at = data.size();
    data.resize(at + 8);
    std::memcpy(data.data() + at, &id, 2);
    std::memcpy(data.data() + at + 2, &message, 2);
    std::memcpy(data.data() + at + 4, &length, 4);
    data.insert(data.end(), text, text + length);
}

class ComboFillTest : public ::testing::Test {
protected:
    HWND dialog = nullptr;
    void SetUp() override
    {
        TemplateBuilder tmpl(WS_POPUP | DS_SETFONT, 200, 100, L"combos");
        for (WORD id : {WORD{1010}, WORD{1011}, WORD{1012}})
            tmpl.Control(id, L"COMBOBOX", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, L"", 5,
                         static_cast<short>(5 + (id - 1010) * 20), 150, 80);
        dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), tmpl.Get(), nullptr, DefaultProc, 0);
        ASSERT_TRUE(dialog);
    }
    void TearDown() override { ::DestroyWindow(dialog); }
    static INT_PTR CALLBACK DefaultProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
};

TEST_F(ComboFillTest, SkipsUnknownCodesAndStopsAfterARefusedEntry)
{
    RefusingCombo refusing;
    ASSERT_TRUE(refusing.SubclassWindow(::GetDlgItem(dialog, 1010)));
    std::vector<unsigned char> data;
    Append(data, 1010, 0x0403, "first");
    Append(data, 1011, 0x0777, "unknown code");
    Append(data, 1011, 0x0403, "second");
    Append(data, 1010, 0x0403, "refused");
    Append(data, 1012, 0x0403, "never added");
    data.push_back(0);
    data.push_back(0);

    EXPECT_FALSE(FillCombosFromDlgInitData(dialog, data.data(), data.size()));
    EXPECT_EQ(ComboCount(dialog, 1010), 1);
    EXPECT_EQ(ComboText(dialog, 1010, 0), L"first");
    EXPECT_EQ(ComboCount(dialog, 1011), 1);
    EXPECT_EQ(ComboText(dialog, 1011, 0), L"second");
    EXPECT_EQ(ComboCount(dialog, 1012), 0);
}

TEST_F(ComboFillTest, GeneralPageDataGivesTwelveOperationsPerRow)
{
    ASSERT_TRUE(FillCombosFromDlgInit(dialog, IDD_GENERAL));
    for (int id : {1010, 1011, 1012})
        EXPECT_EQ(ComboCount(dialog, id), 12) << id;
    // Entries of the interface's language: Don't change, same as the modification time,
    // same as the creation time, same as the latest entry, the shift, the date taken.
    struct Entries {
        const wchar_t* dontChange;
        const wchar_t* sameAsModification;
        const wchar_t* sameAsCreation;
        const wchar_t* sameAsLatest;
        const wchar_t* shift;
        const wchar_t* dateTaken;
    };
    const Expected<Entries> languages[] = {
        {L"en",
         {L"Don't change", L"Set the same as the modification time", L"Set the same as the creation time",
          L"Set the same as the latest file/subfolder", L"Shift by the specified time span",
          L"Set the same as the date taken"}},
        {L"ja",
         {L"変更しない", L"更新日時と同じにする", L"作成日時と同じにする", L"フォルダー内の最も新しい日時にする",
          L"指定した時間だけずらす", L"撮影日時と同じにする"}},
    };
    const Entries* expected = ForRunLanguage(languages);
    ASSERT_TRUE(expected);
    EXPECT_EQ(ComboText(dialog, 1010, 0), expected->dontChange);
    EXPECT_EQ(ComboText(dialog, 1010, 6), expected->sameAsModification);
    EXPECT_EQ(ComboText(dialog, 1012, 6), expected->sameAsCreation);
    EXPECT_EQ(ComboText(dialog, 1011, 7), expected->sameAsModification);
    EXPECT_EQ(ComboText(dialog, 1011, 9), expected->sameAsLatest);
    for (int id : {1010, 1011, 1012}) {
        EXPECT_EQ(ComboText(dialog, id, 10), expected->shift) << id;
        EXPECT_EQ(ComboText(dialog, id, 11), expected->dateTaken) << id;
    }
}

TEST_F(ComboFillTest, MissingResourceFillsNothingAndIsNotAFailure)
{
    EXPECT_TRUE(FillCombosFromDlgInit(dialog, IDD_METADATA));
    EXPECT_EQ(ComboCount(dialog, 1010), 0);
}

} // namespace
