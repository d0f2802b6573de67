#include "app/Dialog.h"
#include "platform/Handles.h"
#include "res/resource.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TestTimes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

CHRONSET_TESTS_ON_PRIVATE_DESKTOP();

// Stands in for the progress window, which this test does not watch; never cancels.
class QuietDisplay : public ProgressDisplay {
public:
    bool Start(HWND, const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&) override
    {
        return true;
    }
    void Update(const std::wstring&, const std::wstring&) override {}
    bool Cancelled() override { return false; }
    void Stop() override {}
};

std::wstring EnvironmentText(const wchar_t* name)
{
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// Last-write and last-access times (Wine keeps no creation time of its own).
using WriteAndAccess = std::pair<FileTime, FileTime>;

struct TreeTimes {
    std::map<std::wstring, WriteAndAccess> files;
    std::map<std::wstring, FileTime> folders; // last-write only: listing a folder moves its access time
};

// The times of every file and folder below `folder` (and of `folder` itself), as the platform
// lists them: read independently of the program's own reading.
bool ListTree(const std::wstring& folder, TreeTimes& times)
{
    WIN32_FIND_DATAW entry{};
    const FindHandle find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                             nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return false;
    bool listed = true;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            times.folders[path] = FromFILETIME(entry.ftLastWriteTime);
            listed = ListTree(path, times) && listed;
        } else {
            times.files[path] = {FromFILETIME(entry.ftLastWriteTime), FromFILETIME(entry.ftLastAccessTime)};
        }
    } while (::FindNextFileW(find.get(), &entry));
    return ::GetLastError() == ERROR_NO_MORE_FILES && listed;
}

// The paths whose times differ, the first few named.
template <class Times> std::string Differences(const Times& expected, const Times& actual)
{
    std::size_t count = 0;
    std::string named;
    for (const auto& [path, value] : expected) {
        const auto found = actual.find(path);
        if (found != actual.end() && found->second == value)
            continue;
        if (++count <= 3) {
            named += ' ';
            named += testing::PrintToString(path);
        }
    }
    if (count == 0)
        return std::string();
    std::string text = std::to_string(count);
    text += " differ:";
    text += named;
    return text;
}

TEST(UndoOfALargeApply, RestoresEveryWriteAndAccessTimeOfTwentyThousandFilesToTheTick)
{
    const std::wstring tree = EnvironmentText(L"CHRONSET_UNDO_TREE");
    if (tree.empty())
        GTEST_SKIP() << "the undo tree (CHRONSET_UNDO_TREE) was not prepared";
    TreeTimes before;
    ASSERT_TRUE(ListTree(tree, before));
    before.folders[tree] = TimesOf(tree)[LastWrite];
    ASSERT_EQ(before.files.size(), 20000u);
    ASSERT_EQ(before.folders.size(), 41u);

    const FileTime written = UtcTime(2024, 1, 31, 12, 34, 56);
    const FileTime accessed = UtcTime(2023, 5, 6, 7, 8, 9);
    QuietDisplay display;
    SheetDriver sheet(tree);
    sheet.Sheet().UseProgressDisplay(display, 0);
    ASSERT_TRUE(sheet.Create());
    HWND general = sheet.GeneralWindow();
    SelectOperation(general, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
    EditPicker(general, IDC_MODIFIED_VALUE, written);
    Click(general, IDC_RECURSIVE);
    sheet.ShowPage(1);
    HWND advanced = sheet.AdvancedWindow();
    SelectOperation(advanced, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
    EditPicker(advanced, IDC_MODIFIED_VALUE, written);
    SelectOperation(advanced, IDC_ACCESSED_OPERATION, OpSpecifiedDateTime);
    EditPicker(advanced, IDC_ACCESSED_VALUE, accessed);

    const auto applyStart = std::chrono::steady_clock::now();
    sheet.PressApply();
    const auto applyEnd = std::chrono::steady_clock::now();
    ASSERT_EQ(sheet.Sheet().LastApplyRecord().Size(), 20041u);
    // Every item holds the new times: the undo has all of them to put back.
    TreeTimes applied;
    ASSERT_TRUE(ListTree(tree, applied));
    applied.folders[tree] = TimesOf(tree)[LastWrite];
    for (const auto& [path, times] : applied.files)
        ASSERT_EQ(times, WriteAndAccess(written, accessed)) << testing::PrintToString(path);
    for (const auto& [path, time] : applied.folders)
        ASSERT_EQ(time, written) << testing::PrintToString(path);

    sheet.ShowPage(0);
    const auto undoStart = std::chrono::steady_clock::now();
    {
        MessageBoxCapture boxes(IDYES);
        Click(sheet.GeneralWindow(), IDC_UNDO);
        sheet.Pump();
        // The question only: nothing was left alone, nothing failed.
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    const auto undoEnd = std::chrono::steady_clock::now();
    EXPECT_TRUE(sheet.Sheet().LastApplyRecord().Empty());

    TreeTimes restored;
    ASSERT_TRUE(ListTree(tree, restored));
    restored.folders[tree] = TimesOf(tree)[LastWrite];
    EXPECT_EQ(restored.files.size(), before.files.size());
    EXPECT_EQ(Differences(before.files, restored.files), "");
    EXPECT_EQ(Differences(before.folders, restored.folders), "");
    sheet.PressCancel();

    using Seconds = std::chrono::duration<double>;
    std::printf("apply %.1f s, undo %.1f s\n", Seconds(applyEnd - applyStart).count(),
                Seconds(undoEnd - undoStart).count());
}

} // namespace
