#include "pages/ShellFileOpenDialogEx.h"

#include "ui/ResultText.h"
#include "engine/FileTimeAccess.h"
#include "res/resource.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/pages/FakeFileDialog.h"
#include "tests/pages/PagesTestSupport.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

namespace {

constexpr FILEOPENDIALOGOPTIONS kExpectedOptions = 0x1840 | 0x2100008;
constexpr SFGAOF kFile = SFGAO_FILESYSTEM;
constexpr SFGAOF kFolder = SFGAO_FILESYSTEM | SFGAO_FOLDER;
constexpr SFGAOF kShortcut = SFGAO_FILESYSTEM | SFGAO_LINK;

std::wstring LoadText(UINT id)
{
    wchar_t text[256] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), id, text, 256);
    return text;
}

// The dialog's title and its added button (padded for a wider button) in the interface's language.
struct DialogTexts {
    const wchar_t* title;
    const wchar_t* folderButton;
};

TEST(BrowseDialogTest, DialogIsPreparedWithTitleOptionsAndDisabledFolderButton)
{
    FakeFileDialog fake;
    {
        CShellFileOpenDialogEx dialog(&fake);
        ASSERT_TRUE(dialog.IsCreated());
        EXPECT_EQ(dialog.Customize(), static_cast<IFileDialogCustomize*>(&fake));
        ASSERT_FALSE(fake.optionsSet.empty());
        EXPECT_EQ(fake.optionsSet.front(), 0x1840u);
        EXPECT_EQ(fake.options, kExpectedOptions);
        EXPECT_EQ(fake.title, LoadText(IDS_USE_TIMESTAMP_OF));
        const Expected<DialogTexts> texts[] = {
            {L"en", {L"Use Timestamp Of", L"     Select &Folder     "}},
            {L"ja", {L"タイムスタンプの参照", L"     フォルダーの選択(&F)     "}},
        };
        if (const DialogTexts* expected = ForRunLanguage(texts)) {
            EXPECT_EQ(fake.title, expected->title);
            EXPECT_EQ(fake.pushButtons[IDC_SELECT_FOLDER], expected->folderButton);
        }
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_VISIBLE);
    }
    EXPECT_EQ(fake.references, 1); // the dialog and its customisation interface were released
}

TEST(BrowseDialogTest, EventObjectAnswersOnlyItsTwoInterfacesWithoutCounting)
{
    FakeFileDialog fake;
    CShellFileOpenDialogEx dialog(&fake);
    IFileDialogEvents* events = &dialog;
    void* found = nullptr;
    EXPECT_EQ(events->QueryInterface(IID_IUnknown, &found), S_OK);
    EXPECT_EQ(found, static_cast<IFileDialogEvents*>(&dialog));
    EXPECT_EQ(events->QueryInterface(IID_IFileDialogEvents, &found), S_OK);
    EXPECT_EQ(found, static_cast<IFileDialogEvents*>(&dialog));
    EXPECT_EQ(events->QueryInterface(IID_IFileDialogControlEvents, &found), S_OK);
    EXPECT_EQ(found, static_cast<IFileDialogControlEvents*>(&dialog));
    EXPECT_EQ(events->QueryInterface(IID_IFileDialog, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(events->QueryInterface(IID_IFileDialogEvents, nullptr), E_POINTER);
    EXPECT_EQ(events->AddRef(), 1u);
    EXPECT_EQ(events->Release(), 1u);
    EXPECT_EQ(events->OnFolderChanging(&fake, nullptr), E_NOTIMPL);
    EXPECT_EQ(events->OnTypeChange(&fake), E_NOTIMPL);
    EXPECT_EQ(static_cast<IFileDialogControlEvents*>(&dialog)->OnItemSelected(&fake, 1, 2), E_NOTIMPL);
}

TEST(BrowseDialogTest, SelectionDecidesTheFileNameAndTheFolderButton)
{
    FakeFileDialog fake;
    FakeShellItem folder(L"C:\\data\\Photos", kFolder);
    FakeShellItem linkedFolder(L"C:\\data\\Linked", kFolder | SFGAO_LINK);
    FakeShellItem shortcut(L"C:\\data\\notes.lnk", kShortcut);
    FakeShellItem file(L"C:\\data\\report.txt", kFile);
    FakeShellItem virtualFolder(L"", SFGAO_FOLDER);
    {
        CShellFileOpenDialogEx dialog(&fake);
        DWORD cookie = 0;
        ASSERT_EQ(fake.Advise(&dialog, &cookie), S_OK);

        EXPECT_EQ(fake.Select(&folder), S_OK);
        ASSERT_EQ(fake.fileNamesSet.size(), 1u);
        EXPECT_EQ(fake.fileNamesSet.back(), L"Photos");
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_ENABLEDVISIBLE);
        EXPECT_EQ(dialog.SelectedItem(), &folder);

        EXPECT_EQ(fake.Select(&linkedFolder), S_OK);
        EXPECT_EQ(fake.fileNamesSet.back(), L"Linked");
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_ENABLEDVISIBLE);
        EXPECT_EQ(folder.references, 1); // the earlier selection was let go

        EXPECT_EQ(fake.Select(&shortcut), S_OK);
        EXPECT_EQ(fake.fileNamesSet.back(), L"notes.lnk");
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_VISIBLE);
        EXPECT_EQ(dialog.SelectedItem(), &shortcut);

        const size_t namesBefore = fake.fileNamesSet.size();
        EXPECT_EQ(fake.Select(&file), S_OK);
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_VISIBLE);
        EXPECT_EQ(fake.Select(&virtualFolder), S_OK);
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_VISIBLE);
        EXPECT_EQ(virtualFolder.pathRequests, 0);         // no file-system path to ask for
        EXPECT_EQ(fake.fileNamesSet.size(), namesBefore); // the name box was left alone

        EXPECT_EQ(fake.Select(nullptr), S_OK);
        EXPECT_EQ(dialog.SelectedItem(), nullptr);
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_VISIBLE);

        // Another folder opened: the name box is cleared and the button disabled again.
        fake.Select(&folder);
        EXPECT_EQ(fake.ChangeFolder(), S_OK);
        EXPECT_EQ(fake.fileNamesSet.back(), std::nullopt);
        EXPECT_EQ(fake.states[IDC_SELECT_FOLDER], CDCS_VISIBLE);
        EXPECT_EQ(dialog.SelectedItem(), nullptr);

        // The folder button closes the dialog with success; other controls do nothing.
        EXPECT_EQ(fake.ClickButton(IDC_SELECT_FOLDER + 1), S_OK);
        EXPECT_FALSE(fake.closedWith.has_value());
        EXPECT_EQ(fake.ClickButton(IDC_SELECT_FOLDER), S_OK);
        ASSERT_TRUE(fake.closedWith.has_value());
        EXPECT_EQ(*fake.closedWith, S_OK);

        // Open lets the selection go: the opened item is the result.
        fake.Select(&folder);
        EXPECT_EQ(fake.events->OnFileOk(&fake), S_OK);
        EXPECT_EQ(dialog.SelectedItem(), nullptr);
    }
    for (const FakeShellItem* item : {&folder, &linkedFolder, &shortcut, &file, &virtualFolder})
        EXPECT_EQ(item->references, 1) << item->path.c_str();
}

TEST(BrowseDialogTest, WithoutCustomisationEveryEventIsDeclined)
{
    FakeFileDialog fake(false);
    FakeShellItem folder(L"C:\\data", kFolder);
    CShellFileOpenDialogEx dialog(&fake);
    EXPECT_EQ(dialog.Customize(), nullptr);
    EXPECT_TRUE(fake.pushButtons.empty());
    EXPECT_EQ(fake.options, kExpectedOptions);
    DWORD cookie = 0;
    fake.Advise(&dialog, &cookie);
    EXPECT_EQ(fake.Select(&folder), E_NOTIMPL);
    EXPECT_EQ(dialog.SelectedItem(), nullptr);
    EXPECT_EQ(fake.ChangeFolder(), E_NOTIMPL);
    EXPECT_EQ(fake.ClickButton(IDC_SELECT_FOLDER), E_NOTIMPL);
    EXPECT_EQ(fake.events->OnFileOk(&fake), E_NOTIMPL);
    EXPECT_TRUE(fake.fileNamesSet.empty());
}

// The three times of a real item, with sub-second parts where the file system keeps them.
class TakeTimesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folderPath = temp.MakeFolder(L"Holiday");
        filePath = temp.MakeFile(L"letter.txt");
        const FileTimes folderTimes{UtcTime(2011, 2, 3, 4, 5, 6, 789) + 1234, UtcTime(2012, 3, 4, 5, 6, 7, 891) + 5,
                                    UtcTime(2013, 4, 5, 6, 7, 8, 912) + 77};
        const FileTimes fileTimes{UtcTime(2001, 1, 1, 1, 1, 1, 100) + 9, UtcTime(2002, 2, 2, 2, 2, 2, 200) + 99,
                                  UtcTime(2003, 3, 3, 3, 3, 3, 300) + 999};
        ASSERT_TRUE(WriteFileTimes(folderPath.c_str(), folderTimes));
        ASSERT_TRUE(WriteFileTimes(filePath.c_str(), fileTimes));
        ASSERT_TRUE(ReadFileTimes(folderPath.c_str(), folderRead));
        ASSERT_TRUE(ReadFileTimes(filePath.c_str(), fileRead));
        // Wine keeps the last-write and last-access times whole (it keeps no creation time).
        ASSERT_EQ(folderRead[LastWrite], folderTimes[LastWrite]);
        ASSERT_EQ(fileRead[LastAccess], fileTimes[LastAccess]);

        rows.operation[Creation] = OpMidnight;
        rows.operation[LastAccess] = OpDontChange;
        rows.operation[LastWrite] = OpEarliestEntry;
        rows.value[Creation] = UtcTime(2020, 1, 1);
        rows.value[LastAccess] = UtcTime(2020, 1, 2);
        rows.value[LastWrite] = UtcTime(2020, 1, 3);
        rows.now = UtcTime(2020, 1, 4);
        before = rows;
    }

    static void ExpectRows(const HandlingRecord& rows, const FileTimes& times)
    {
        for (int k = 0; k < TimestampKindCount; ++k) {
            EXPECT_EQ(rows.operation[k], OpSpecifiedDateTime) << k;
            EXPECT_EQ(rows.value[k], times[k]) << k;
        }
    }
    static void ExpectUnchanged(const HandlingRecord& rows, const HandlingRecord& before)
    {
        for (int k = 0; k < TimestampKindCount; ++k) {
            EXPECT_EQ(rows.operation[k], before.operation[k]) << k;
            EXPECT_EQ(rows.value[k], before.value[k]) << k;
        }
        EXPECT_EQ(rows.now, before.now);
    }

    TempFolder temp;
    std::wstring folderPath;
    std::wstring filePath;
    FileTimes folderRead{};
    FileTimes fileRead{};
    HandlingRecord rows;
    HandlingRecord before;
    HWND owner = reinterpret_cast<HWND>(0x1234);
};

TEST_F(TakeTimesTest, FolderTakenWithTheButtonGivesItsTimesAtFullPrecision)
{
    FakeFileDialog fake;
    FakeShellItem folder(folderPath, kFolder);
    FakeShellItem file(filePath, kFile);
    fake.user = [&](FakeFileDialog& d) {
        EXPECT_TRUE(d.events);
        d.Select(&file);
        d.Select(&folder);
        d.ClickButton(IDC_SELECT_FOLDER);
        return S_OK;
    };
    MessageBoxCapture boxes;
    {
        CShellFileOpenDialogEx dialog(&fake);
        EXPECT_TRUE(UseTimestampOf(dialog, owner, nullptr, rows));
    }
    EXPECT_EQ(fake.shownOver, owner);
    EXPECT_EQ(fake.advises, 1);
    EXPECT_EQ(fake.unadvises, 1);
    ExpectRows(rows, folderRead);
    EXPECT_EQ(rows.now, before.now);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(folder.references, 1);
    EXPECT_EQ(fake.references, 1);
}

TEST_F(TakeTimesTest, OpenedFileGivesItsTimesEvenAfterAFolderWasSelected)
{
    FakeFileDialog fake;
    FakeShellItem folder(folderPath, kFolder);
    FakeShellItem file(filePath, kFile);
    fake.user = [&](FakeFileDialog& d) {
        d.Select(&folder);
        d.PressOpen(&file); // the user typed the file's name and pressed Open
        return S_OK;
    };
    CShellFileOpenDialogEx dialog(&fake);
    EXPECT_TRUE(UseTimestampOf(dialog, owner, nullptr, rows));
    ExpectRows(rows, fileRead);
}

TEST_F(TakeTimesTest, PlainFileChooserWithoutCustomisationStillTakesAFile)
{
    FakeFileDialog fake(false);
    FakeShellItem file(filePath, kFile);
    fake.user = [&](FakeFileDialog& d) {
        d.PressOpen(&file);
        return S_OK;
    };
    CShellFileOpenDialogEx dialog(&fake);
    EXPECT_TRUE(UseTimestampOf(dialog, owner, nullptr, rows));
    ExpectRows(rows, fileRead);
}

TEST_F(TakeTimesTest, CancelChangesNothingAndSaysNothing)
{
    FakeFileDialog fake;
    FakeShellItem folder(folderPath, kFolder);
    fake.user = [&](FakeFileDialog& d) {
        d.Select(&folder);
        return FakeFileDialog::Cancelled();
    };
    MessageBoxCapture boxes;
    CShellFileOpenDialogEx dialog(&fake);
    EXPECT_FALSE(UseTimestampOf(dialog, owner, nullptr, rows));
    ExpectUnchanged(rows, before);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(fake.unadvises, 1);

    // No dialog at all: nothing happens.
    CShellFileOpenDialogEx missing(nullptr);
    EXPECT_FALSE(missing.IsCreated());
    EXPECT_FALSE(UseTimestampOf(missing, owner, nullptr, rows));
    ExpectUnchanged(rows, before);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(TakeTimesTest, ItemThatCannotBeReadIsReportedOnceWithItsCauseAndChangesNothing)
{
    // A file gone before its times were read, and an item without a file-system path (its
    // cause is the shell's answer, not a misleading "path not found").
    const struct {
        FakeShellItem item;
        HRESULT cause;
    } cases[] = {
        {FakeShellItem(temp.Child(L"gone.txt"), kFile), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {FakeShellItem(L"::{virtual}", 0), E_INVALIDARG},
    };
    for (const auto& c : cases) {
        FakeShellItem item = c.item;
        FakeFileDialog fake;
        fake.user = [&](FakeFileDialog& d) {
            d.PressOpen(&item);
            return S_OK;
        };
        MessageBoxCapture boxes;
        ASSERT_TRUE(boxes.Installed());
        CShellFileOpenDialogEx dialog(&fake);
        EXPECT_FALSE(UseTimestampOf(dialog, owner, nullptr, rows));
        ExpectUnchanged(rows, before);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].caption, L"Nebbi's Timestamp Editor");
        EXPECT_EQ(boxes.Boxes()[0].text, ResultText(c.cause));
        EXPECT_EQ(boxes.Boxes()[0].buttons, std::vector<int>{IDOK});
    }
}

} // namespace
