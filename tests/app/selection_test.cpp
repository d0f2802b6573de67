#include "app/SelectionDropTarget.h"
#include "app/VerbServer.h"
#include "ui/ResultText.h"
#include "framework/Module.h"
#include "res/resource.h"

#include "tests/support/MessageBoxCapture.h"
#include "tests/support/TempFolder.h"
#include "ShellDataObjects.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// The drop target and the handling of a dropped selection inside this process, with a
// stand-in for the sheet: what reaches the sheet, and what the user is told instead.

namespace {

class Selection : public testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        AppModule().Init(nullptr);
    }
    void TearDown() override { ::CoUninitialize(); }

    // A drop target that keeps what it receives; `released` counts its end.
    IDropTarget* NewTarget()
    {
        return SelectionDropTarget::Create([this](DroppedSelection&& selection) { received_ = std::move(selection); },
                                           [this] { ++released_; });
    }

    std::optional<DroppedSelection> received_;
    int released_ = 0;
};

TEST_F(Selection, DropHandsOnEveryPathInTheSelectionsOrder)
{
    TempFolder folder;
    const std::vector<std::wstring> items{folder.MakeFile(L"b.txt"), folder.MakeFolder(L"a folder"),
                                          folder.MakeFile(L"\x65e5\x672c.txt")};
    ComPtr<IDataObject> data = DataObjectOf(items);
    ASSERT_TRUE(data);

    IDropTarget* target = NewTarget();
    ASSERT_TRUE(target);
    DWORD effect = DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(data.get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_FALSE(received_);
    effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(target->Drop(data.get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(received_);
    EXPECT_EQ(received_->kind, DroppedSelection::Kind::Paths);
    EXPECT_EQ(received_->paths, items);

    EXPECT_EQ(released_, 0);
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(released_, 1);
}

TEST_F(Selection, ADataObjectWithoutASelectionIsOfferedNoEffectAndDropsAsUnreadable)
{
    // The clipboard's data object, the clipboard emptied first, offers neither format.
    ComPtr<IDataObject> data;
    ASSERT_EQ(::OleInitialize(nullptr), S_OK);
    ASSERT_EQ(::OleSetClipboard(nullptr), S_OK);
    ASSERT_EQ(::OleGetClipboard(data.put()), S_OK);
    EXPECT_FALSE(OffersSelection(data.get()));
    EXPECT_EQ(ReadDroppedSelection(data.get()).kind, DroppedSelection::Kind::Unreadable);
    EXPECT_EQ(ReadDroppedSelection(nullptr).kind, DroppedSelection::Kind::Unreadable);

    IDropTarget* target = NewTarget();
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(data.get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data.get(), 0, POINTL{}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    ASSERT_TRUE(received_);
    EXPECT_EQ(received_->kind, DroppedSelection::Kind::Unreadable);
    target->Release();
    data.reset();
    ::OleUninitialize();
}

struct OpenerCalls {
    std::vector<std::vector<std::wstring>> calls;
    HRESULT answer = S_OK;
};

SheetOpener StandInOpener(OpenerCalls& record)
{
    return [&record](const std::vector<std::wstring>& paths) {
        record.calls.push_back(paths);
        return record.answer;
    };
}

TEST_F(Selection, PathsGoToTheSheetAndEveryRefusalIsOneBox)
{
    OpenerCalls record;
    const SheetOpener opener = StandInOpener(record);
    const std::wstring product = AppModule().LoadText(IDS_PRODUCT_NAME);

    DroppedSelection paths{DroppedSelection::Kind::Paths, {L"C:\\a", L"C:\\b"}, {}};
    {
        MessageBoxCapture boxes;
        EXPECT_TRUE(OpenDroppedSelection(paths, opener));
        EXPECT_TRUE(boxes.Boxes().empty());
        ASSERT_EQ(record.calls.size(), 1u);
        EXPECT_EQ(record.calls[0], paths.paths);
    }

    const struct {
        DroppedSelection selection;
        std::wstring text;
    } refusals[] = {
        {{DroppedSelection::Kind::NotOnDrive, {}, L"Phone"},
         L"\"Phone\" is not a file or folder on a drive, so its times cannot be changed."},
        {{DroppedSelection::Kind::NotOnDrive, {}, {}}, L"The selection could not be read."},
        {{DroppedSelection::Kind::Unreadable, {}, {}}, L"The selection could not be read."},
        {{DroppedSelection::Kind::Paths, {}, {}}, L"The selection could not be read."},
    };
    for (const auto& refusal : refusals) {
        MessageBoxCapture boxes;
        EXPECT_FALSE(OpenDroppedSelection(refusal.selection, opener)) << refusal.text;
        ASSERT_EQ(boxes.Boxes().size(), 1u) << refusal.text;
        EXPECT_EQ(boxes.Boxes()[0].text, refusal.text);
        EXPECT_EQ(boxes.Boxes()[0].caption, product);
    }
    EXPECT_EQ(record.calls.size(), 1u);

    // A sheet that cannot open is reported with its cause.
    record.answer = HResultFromWin32(ERROR_NOT_ENOUGH_MEMORY);
    MessageBoxCapture boxes;
    EXPECT_FALSE(OpenDroppedSelection(paths, opener));
    EXPECT_EQ(record.calls.size(), 2u);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, ResultText(record.answer));
}

} // namespace
