#include "app/ApplyProgress.h"
#include "framework/Module.h"
#include "res/resource.h"
#include "tests/support/MessageBoxCapture.h"
#include "tests/support/RunExpectations.h"
#include "tests/support/Screenshot.h"
#include "tests/support/SheetDriver.h"
#include "tests/support/TestTimes.h"
#include "ui/TextFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// No private desktop here: the progress window runs on a thread the shell starts, which gets
// the process's desktop, and a window cannot be owned across desktops.

// A display that records what it is asked to show, and a clock the test moves.
class RecordingDisplay : public ProgressDisplay {
public:
    bool startResult = true;
    bool cancelled = false;
    int starts = 0;
    int stops = 0;
    HWND owner = nullptr;
    std::wstring title;
    std::wstring folderLine;
    std::vector<std::wstring> items;
    std::vector<std::wstring> counts;

    bool Start(HWND ownerWindow, const std::wstring& titleText, const std::wstring& line, const std::wstring& item,
               const std::wstring& countsLine) override
    {
        ++starts;
        owner = ownerWindow;
        title = titleText;
        folderLine = line;
        if (startResult)
            Update(item, countsLine);
        return startResult;
    }
    void Update(const std::wstring& item, const std::wstring& countsLine) override
    {
        items.push_back(item);
        counts.push_back(countsLine);
    }
    bool Cancelled() override { return cancelled; }
    void Stop() override { ++stops; }
};

ULONGLONG clockNow = 0;
ULONGLONG WINAPI TestClock()
{
    return clockNow;
}

HWND const kOwner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));

TEST(ApplyProgress, ShowsNothingForASecondThenAtMostTenUpdatesASecond)
{
    clockNow = 5000;
    RecordingDisplay display;
    {
        ApplyProgress progress(display, kOwner, ProgressFolderText(L"C:\\Photos"), TestClock);
        clockNow = 5999;
        EXPECT_TRUE(progress.Continue(L"C:\\Photos\\a.jpg", {0, 0}));
        EXPECT_EQ(display.starts, 0);
        EXPECT_FALSE(progress.Shown());

        clockNow = 6000;
        EXPECT_TRUE(progress.Continue(L"C:\\Photos\\b.jpg", {1, 0}));
        EXPECT_EQ(display.starts, 1);
        EXPECT_TRUE(progress.Shown());
        EXPECT_EQ(display.owner, kOwner);
        EXPECT_EQ(display.title, AppModule().LoadText(IDS_PRODUCT_NAME));
        EXPECT_EQ(display.folderLine, ProgressFolderText(L"C:\\Photos"));
        EXPECT_EQ(display.items, (std::vector<std::wstring>{L"C:\\Photos\\b.jpg"}));
        EXPECT_EQ(display.counts, (std::vector<std::wstring>{ProgressCountsText({1, 0})}));

        // Within the interval nothing is redrawn; after it, the item then at hand.
        clockNow = 6099;
        EXPECT_TRUE(progress.Continue(L"C:\\Photos\\c.jpg", {2, 0}));
        clockNow = 6100;
        EXPECT_TRUE(progress.Continue(L"C:\\Photos\\d.jpg", {3, 0}));
        EXPECT_EQ(display.items, (std::vector<std::wstring>{L"C:\\Photos\\b.jpg", L"C:\\Photos\\d.jpg"}));
        EXPECT_EQ(display.starts, 1);
        EXPECT_EQ(display.stops, 0);
    }
    EXPECT_EQ(display.stops, 1); // the window goes with the apply
}

TEST(ApplyProgress, CancelStopsAtTheNextItemAndForGood)
{
    clockNow = 0;
    RecordingDisplay display;
    ApplyProgress progress(display, kOwner, ProgressFolderText(L"C:\\Photos"), TestClock);
    clockNow = 1500;
    EXPECT_TRUE(progress.Continue(L"C:\\Photos\\a.jpg", {0, 0}));
    display.cancelled = true;
    // Asked at once, not only when an update is due.
    clockNow = 1501;
    EXPECT_FALSE(progress.Continue(L"C:\\Photos\\b.jpg", {1, 0}));
    EXPECT_TRUE(progress.Cancelled());
    display.cancelled = false;
    clockNow = 9000;
    EXPECT_FALSE(progress.Continue(L"C:\\Photos\\c.jpg", {1, 0}));
}

TEST(ApplyProgress, WithoutAWindowTheApplyGoesOnUnfollowed)
{
    clockNow = 0;
    RecordingDisplay display;
    display.startResult = false;
    display.cancelled = true; // never asked: there is no window to cancel in
    {
        ApplyProgress progress(display, kOwner, ProgressFolderText(L"C:\\Photos"), TestClock);
        clockNow = 2000;
        EXPECT_TRUE(progress.Continue(L"C:\\Photos\\a.jpg", {0, 0}));
        clockNow = 3000;
        EXPECT_TRUE(progress.Continue(L"C:\\Photos\\b.jpg", {1, 0}));
        EXPECT_FALSE(progress.Shown());
    }
    EXPECT_EQ(display.starts, 1); // tried once only
    EXPECT_TRUE(display.items.empty());
    EXPECT_EQ(display.stops, 0);
}

TEST(TextFormat, FillsNumberedInsertsInAnyOrderAndShortensInTheMiddle)
{
    EXPECT_EQ(FillInserts(L"%2 before %1", {L"one", L"two"}), L"two before one");
    EXPECT_EQ(FillInserts(L"100%% of %1, %3 stays", {L"x"}), L"100% of x, %3 stays");
    EXPECT_EQ(FillInserts(L"trailing %", {}), L"trailing %");

    EXPECT_EQ(ShortenMiddle(L"C:\\short", 20), L"C:\\short");
    const std::wstring path = L"C:\\Photos\\2024\\Holidays\\Beach\\IMG_0001.jpg";
    const std::wstring shortened = ShortenMiddle(path, 24);
    EXPECT_EQ(shortened.size(), 24u);
    EXPECT_EQ(shortened.substr(0, 7), L"C:\\Phot");
    EXPECT_EQ(shortened.substr(7, 3), L"...");
    EXPECT_EQ(shortened.substr(10), path.substr(path.size() - 14));
    EXPECT_EQ(ShortenMiddle(path, 2), L"pg");
}

struct LanguageTexts {
    const wchar_t* folderLine;
    const wchar_t* manyCounts;
    const wchar_t* singleCounts;
};

constexpr Expected<LanguageTexts> kLanguageTexts[] = {
    {L"en", {L"Changing the timestamps of the items in C:\\Photos", L"1,234 files, 56 folders", L"1 file, 1 folder"}},
    {L"ja",
     {L"C:\\Photos 内のタイムスタンプを変更しています", L"ファイル 1,234 個、フォルダー 56 個",
      L"ファイル 1 個、フォルダー 1 個"}},
};

TEST(ProgressTexts, SayWhatIsChangedAndHowFarInTheUsersLanguage)
{
    const LanguageTexts* texts = ExpectedFor(kLanguageTexts, RunLanguage(), "language");
    ASSERT_TRUE(texts);
    EXPECT_EQ(ProgressFolderText(L"C:\\Photos"), texts->folderLine);
    EXPECT_EQ(ProgressCountsText({1234, 56}), texts->manyCounts);
    EXPECT_EQ(ProgressCountsText({1, 1}), texts->singleCounts);

    // A deep folder keeps its root and its last names, so the sentence still fits.
    const std::wstring deep = L"C:\\Users\\someone\\Pictures\\2024\\Summer holidays\\Beach\\Day one";
    const std::wstring line = ProgressFolderText(deep);
    EXPECT_EQ(line.find(deep), std::wstring::npos);
    EXPECT_NE(line.find(L"C:\\Users"), std::wstring::npos);
    EXPECT_NE(line.find(L"..."), std::wstring::npos);
    EXPECT_NE(line.find(L"\\Beach\\Day one"), std::wstring::npos);
}

// Watches, from a thread of its own, for a window owned by the sheet while the apply runs on
// the test's thread; reads its texts, takes its picture and presses its Cancel when asked.
class ProgressWatcher {
public:
    ProgressWatcher(HWND sheet, bool pressCancel, std::wstring picture)
        : sheet_(sheet), pressCancel_(pressCancel), picture_(std::move(picture)), thread_([this] { Watch(); })
    {
    }
    ~ProgressWatcher() { Finish(); }

    void Finish()
    {
        done_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    bool seen = false;
    bool sheetWasDisabled = false;
    bool cancelPressed = false;
    HRESULT pictureResult = S_FALSE;
    std::wstring title;
    std::vector<std::wstring> texts;

private:
    static BOOL CALLBACK FindOwned(HWND window, LPARAM param)
    {
        auto* self = reinterpret_cast<ProgressWatcher*>(param);
        if (::GetWindow(window, GW_OWNER) == self->sheet_ && ::IsWindowVisible(window)) {
            self->found_ = window;
            return FALSE;
        }
        return TRUE;
    }
    static BOOL CALLBACK CollectText(HWND child, LPARAM param)
    {
        const std::wstring text = WindowText(child);
        if (!text.empty())
            reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
        return TRUE;
    }

    static std::size_t TextCount(HWND window)
    {
        std::vector<std::wstring> found;
        ::EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&found));
        return found.size();
    }

    void Watch()
    {
        (void)::CoInitialize(nullptr);
        while (!done_ && !seen) {
            found_ = nullptr;
            ::EnumWindows(FindOwned, reinterpret_cast<LPARAM>(this));
            if (found_) {
                seen = true;
                // The lines are filled with the first update and redrawn ten times a second. The
                // window's own thread sets its title and lines, which on a busy machine can come
                // well after the window shows (waited for below); Cancel must still come while
                // the walk runs on a fast one.
                ::Sleep(250);
                // Cancel and at least the first two lines.
                for (int wait = 0; wait < 500 && (WindowText(found_).empty() || TextCount(found_) < 3); ++wait)
                    ::Sleep(20);
                sheetWasDisabled = !::IsWindowEnabled(sheet_);
                title = WindowText(found_);
                ::EnumChildWindows(found_, CollectText, reinterpret_cast<LPARAM>(&texts));
                if (!picture_.empty())
                    pictureResult = SaveWindowPicture(found_, picture_, true);
                if (pressCancel_) {
                    HWND cancel = ::GetDlgItem(found_, IDCANCEL);
                    cancelPressed = cancel != nullptr;
                    ::PostMessageW(found_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(cancel));
                }
            }
            ::Sleep(20);
        }
        ::CoUninitialize();
    }

    HWND sheet_;
    bool pressCancel_;
    std::wstring picture_;
    HWND found_ = nullptr;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

std::wstring EnvironmentText(const wchar_t* name)
{
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value) : std::wstring();
}

// Whether a text is the counts line for the two numbers it holds (files, then folders), with
// some files done.
bool IsCountsLine(const std::wstring& text)
{
    std::vector<unsigned long long> numbers;
    bool inNumber = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            if (!inNumber)
                numbers.push_back(0);
            numbers.back() = numbers.back() * 10 + static_cast<unsigned long long>(c - L'0');
            inNumber = true;
        } else if (c != L',') {
            inNumber = false;
        }
    }
    return numbers.size() == 2 && numbers[0] > 0 && text == ProgressCountsText({numbers[0], numbers[1]});
}

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree = EnvironmentText(L"CHRONSET_PROGRESS_TREE");
        if (tree.empty())
            GTEST_SKIP() << "the progress tree (CHRONSET_PROGRESS_TREE) was not prepared";
        // Each run writes a time of its own, so that a run's changes are told apart from an
        // earlier run's on the same tree.
        chosen = UtcTime(2020, 1, 1) + (::GetTickCount64() % 1000000) * TicksPerSecond;
    }

    // Chooses "set to" the chosen time for the folders' and the files' modification times,
    // recursively, and presses OK.
    void ChooseAndPressOk(SheetDriver& sheet)
    {
        HWND general = sheet.GeneralWindow();
        SelectOperation(general, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
        EditPicker(general, IDC_MODIFIED_VALUE, chosen);
        Click(general, IDC_RECURSIVE);
        sheet.ShowPage(1);
        HWND advanced = sheet.AdvancedWindow();
        SelectOperation(advanced, IDC_MODIFIED_OPERATION, OpSpecifiedDateTime);
        EditPicker(advanced, IDC_MODIFIED_VALUE, chosen);
        sheet.PressOk();
    }

    int FilesWithChosenTime(const std::wstring& folder)
    {
        int changed = 0;
        for (int f = 1; f <= 40; ++f) {
            wchar_t name[32];
            std::swprintf(name, 32, L"\\folder%02d", f);
            for (int i = 1; i <= 500; ++i) {
                wchar_t file[32];
                std::swprintf(file, 32, L"\\file%03d.txt", i);
                if (TimesOf(folder + name + file)[LastWrite] == chosen)
                    ++changed;
            }
        }
        return changed;
    }

    std::wstring tree;
    FileTime chosen = 0;
};

TEST_F(ProgressWindowTest, LongApplyShowsTheOwnedWindowAndCancelStopsItWithoutAnError)
{
    const std::wstring large = tree + L"\\large";
    const FileTime folderBefore = TimesOf(large)[LastWrite];
    const std::wstring screenshots = EnvironmentText(L"CHRONSET_SCREENSHOTS");
    const std::wstring picture =
        screenshots.empty() ? std::wstring()
                            : screenshots + (RunLanguage() == L"ja" ? L"\\progress-ja.png" : L"\\progress-en.png");

    MessageBoxCapture boxes;
    SheetDriver sheet(large);
    // The real window, up well before the walk of the 20,000 files can end on a fast machine.
    sheet.Sheet().UseProgressDelay(100);
    ASSERT_TRUE(sheet.Create());
    {
        ProgressWatcher watcher(sheet.Window(), true, picture);
        ChooseAndPressOk(sheet);
        watcher.Finish();

        ASSERT_TRUE(watcher.seen) << "no progress window came up";
        EXPECT_TRUE(watcher.sheetWasDisabled);
        EXPECT_EQ(watcher.title, AppModule().LoadText(IDS_PRODUCT_NAME));
        // Line 1 names the target, line 2 an item inside it, line 3 the counts.
        bool folderLine = false;
        bool itemLine = false;
        bool countsLine = false;
        for (const std::wstring& text : watcher.texts) {
            folderLine |= text == ProgressFolderText(large);
            itemLine |= text.rfind(large + L"\\folder", 0) == 0 || text.find(L"\\file") != std::wstring::npos;
            countsLine |= IsCountsLine(text);
        }
        EXPECT_TRUE(folderLine);
        EXPECT_TRUE(itemLine);
        std::string shown;
        for (const std::wstring& text : watcher.texts) {
            for (wchar_t c : text)
                shown.push_back(c < 0x80 ? static_cast<char>(c) : '?');
            shown += " | ";
        }
        EXPECT_TRUE(countsLine) << shown;
        EXPECT_TRUE(watcher.cancelPressed);
        if (!picture.empty()) {
            EXPECT_EQ(watcher.pictureResult, S_OK);
        }
    }

    // Stopped, not failed: no error box, the sheet stays open and takes input again.
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(sheet.IsOpen());
    EXPECT_TRUE(::IsWindowEnabled(sheet.Window()));
    // What was written stays written; the rest, and the folder above, are as they were.
    const int changed = FilesWithChosenTime(large);
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, 40 * 500);
    EXPECT_EQ(TimesOf(large)[LastWrite], folderBefore);
    // The General page shows the target's times as read.
    sheet.ShowPage(0);
    EXPECT_EQ(PickerValue(sheet.GeneralWindow(), IDC_MODIFIED_VALUE), folderBefore);
}

TEST_F(ProgressWindowTest, ShortApplyShowsNoWindowAndFinishes)
{
    const std::wstring small = tree + L"\\small";
    MessageBoxCapture boxes;
    SheetDriver sheet(small);
    ASSERT_TRUE(sheet.Create());
    ProgressWatcher watcher(sheet.Window(), false, std::wstring());
    ChooseAndPressOk(sheet);
    watcher.Finish();

    EXPECT_FALSE(watcher.seen);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(TimesOf(small + L"\\a.txt")[LastWrite], chosen);
    EXPECT_EQ(TimesOf(small)[LastWrite], chosen);
}

} // namespace
