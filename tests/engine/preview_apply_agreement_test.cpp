#include "engine/PreviewFileSystem.h"
#include "engine/SelectionApply.h"
#include "engine/UndoRecord.h"

#include "tests/engine/MemoryFileSystem.h"
#include "tests/engine/TestTimes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Every operation a row offers; one added to the rows belongs here too.
constexpr TimestampOperation OperationCodes[] = {
    OpDontChange,       OpSpecifiedDateTime, OpSpecifiedTimeOfDay, OpCurrentDateTime, OpMidnight,    OpSecondToZero,
    OpSameAsFirstOther, OpSameAsSecondOther, OpEarliestEntry,      OpLatestEntry,     OpShiftBySpan, OpDateTaken,
};

const std::wstring Top = L"M:\\top";
const std::wstring Target = Top + L"\\target";
const std::wstring Sub = Target + L"\\Sub";
const std::wstring Loose = Top + L"\\loose.txt";
const FileTime Now = UtcTime(2030, 6, 1, 12, 0, 0, 250);

// Times apart in every kind, in summer and winter, with ticks below a second and below a
// minute, so that every operation has something to change.
FileTimes SampleTimes(int n)
{
    const FileTime base = UtcTime(2010 + n, 1 + n % 12, 1 + n % 27, n % 24, n % 60, n % 60);
    return {base + static_cast<FileTime>(n) * 1234567, base + TicksPerDay * 40 + 7,
            base + TicksPerDay * (150 + n) + static_cast<FileTime>(n) * 31};
}

// A folder with files the patterns tell apart, a hidden and a system file, a subfolder two
// levels deep, a hidden subfolder and an empty one, and a file beside it.
MemoryFileSystem MakeTree()
{
    MemoryFileSystem fs;
    int n = 0;
    fs.AddFolder(Top, SampleTimes(n++));
    fs.AddFolder(Target, SampleTimes(n++));
    fs.AddFile(Target + L"\\a.txt", SampleTimes(n++));
    fs.AddFile(Target + L"\\b.log", SampleTimes(n++));
    fs.AddFile(Target + L"\\c.jpg", SampleTimes(n++));
    fs.AddFile(Target + L"\\.hidden.txt", SampleTimes(n++), FILE_ATTRIBUTE_HIDDEN);
    fs.AddFile(Target + L"\\system.txt", SampleTimes(n++), FILE_ATTRIBUTE_SYSTEM);
    fs.AddFolder(Sub, SampleTimes(n++));
    fs.AddFile(Sub + L"\\d.txt", SampleTimes(n++));
    fs.AddFile(Sub + L"\\e.jpg", SampleTimes(n++));
    fs.AddFolder(Sub + L"\\Deep", SampleTimes(n++));
    fs.AddFile(Sub + L"\\Deep\\f.txt", SampleTimes(n++));
    fs.AddFolder(Target + L"\\Hidden", SampleTimes(n++), FILE_ATTRIBUTE_HIDDEN);
    fs.AddFile(Target + L"\\Hidden\\g.txt", SampleTimes(n++));
    fs.AddFolder(Target + L"\\Empty", SampleTimes(n++));
    fs.AddFile(Loose, SampleTimes(n++));
    // Some files tell when they were taken; the others lack the date.
    for (const std::wstring& dated : {Target + L"\\a.txt", Target + L"\\c.jpg", Sub + L"\\d.txt", Loose})
        fs.At(dated).dateTaken = UtcTime(2019, 7, 4, 16, 20, 0, 500) + dated.size();
    return fs;
}

const std::vector<std::wstring> TreeItems = {Top,
                                             Target,
                                             Target + L"\\a.txt",
                                             Target + L"\\b.log",
                                             Target + L"\\c.jpg",
                                             Target + L"\\.hidden.txt",
                                             Target + L"\\system.txt",
                                             Sub,
                                             Sub + L"\\d.txt",
                                             Sub + L"\\e.jpg",
                                             Sub + L"\\Deep",
                                             Sub + L"\\Deep\\f.txt",
                                             Target + L"\\Hidden",
                                             Target + L"\\Hidden\\g.txt",
                                             Target + L"\\Empty",
                                             Loose};

// The operation under test on every kind of one row, with values and spans that differ per
// kind; the other row, where it takes part, shifts the write times by an hour, so that a
// folder's earliest and latest entries are their new times.
HandlingRecord Row(TimestampOperation code)
{
    HandlingRecord row;
    const TimeSpan spans[TimestampKindCount] = {
        {1, 0}, {0, -3 * static_cast<std::int64_t>(TicksPerHour)}, {0, static_cast<std::int64_t>(TicksPerDay) + 5}};
    for (int k = 0; k < TimestampKindCount; ++k) {
        row.operation[k] = code;
        row.value[k] = UtcTime(2024, 3 + k, 10 + k, 7 + k, 15, 30, 125) + 9;
        row.span[k] = spans[k];
    }
    row.now = Now;
    return row;
}

HandlingRecord Companion(bool takesPart)
{
    HandlingRecord row;
    if (takesPart) {
        row.operation[LastWrite] = OpShiftBySpan;
        row.span[LastWrite] = {0, static_cast<std::int64_t>(TicksPerHour)};
    }
    row.now = Now;
    return row;
}

enum class Tested { General, Advanced };
enum class Targets { Folder, Selection };

// code, row, recursive, name patterns, hidden and system items skipped, other row, targets
using Case = std::tuple<TimestampOperation, Tested, bool, bool, bool, bool, Targets>;

std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    const auto& [code, tested, recursive, patterns, skipHidden, companion, targets] = info.param;
    return "Code" + std::to_string(code) + (tested == Tested::General ? "General" : "Advanced") +
           (recursive ? "_Recursive" : "") + (patterns ? "_Patterns" : "") + (skipHidden ? "_SkipHidden" : "") +
           (companion ? "_OtherRow" : "") + (targets == Targets::Selection ? "_Selection" : "_Folder");
}

class PreviewApplyAgreementTest : public testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        const auto& [code, tested, recursive, patterns, skipHidden, companion, targets] = GetParam();
        choices.general = tested == Tested::General ? Row(code) : Companion(companion);
        choices.advanced = tested == Tested::Advanced ? Row(code) : Companion(companion);
        choices.options.recursive = recursive;
        choices.options.namePatterns = patterns ? L"*.txt; b*" : L"";
        choices.options.excludeHidden = skipHidden;
        choices.options.excludeSystem = skipHidden;
        // The selection holds a folder inside the selected folder, which a walk reaches before
        // the subfolder's own turn comes.
        items = {{Target, true, true}};
        if (targets == Targets::Selection)
            items = {{Target, true, true}, {Sub, true, true}, {Loose, false, true}};
    }

    MemoryFileSystem tree = MakeTree();
    ApplyChoices choices;
    std::vector<SelectedItem> items;
};

// The paths the apply wrote, in the order of their first write.
std::vector<std::wstring> WrittenInOrder(MemoryFileSystem& fs, MemoryFileSystem& before)
{
    std::vector<std::wstring> written;
    for (const std::wstring& line : fs.Log()) {
        if (line.rfind(L"write ", 0) != 0)
            continue;
        const std::wstring path = line.substr(6);
        if (fs.TimesOf(path) != before.TimesOf(path) &&
            std::find(written.begin(), written.end(), path) == written.end())
            written.push_back(path);
    }
    return written;
}

std::set<std::wstring> ReadItems(const MemoryFileSystem& fs)
{
    std::set<std::wstring> read;
    for (const std::wstring& line : fs.Log()) {
        if (line.rfind(L"read ", 0) == 0)
            read.insert(line.substr(5));
    }
    return read;
}

TEST_P(PreviewApplyAgreementTest, PreviewListsExactlyWhatTheApplyWritesAndUndoPutsItBack)
{
    MemoryFileSystem previewed = tree;
    PreviewFileSystem preview(previewed);
    std::set<std::wstring> selected;
    for (const SelectedItem& item : items)
        selected.insert(item.path);
    preview.OpenAsTheApplyDoes(selected);
    const ApplyReport planned = ApplySelection(preview, choices, items);

    MemoryFileSystem applied = tree;
    UndoRecord record;
    RecordingFileSystem recording(applied, record);
    const ApplyReport done = ApplySelection(recording, choices, items);

    ASSERT_EQ(done.outcome, WalkOutcome::Finished) << testing::PrintToString(done.failedPath);
    EXPECT_EQ(planned.outcome, done.outcome);
    EXPECT_EQ(planned.done, done.done);
    EXPECT_EQ(previewed.Count(L"write "), 0u);
    EXPECT_EQ(previewed.Count(L"create "), 0u);

    MemoryFileSystem original = tree;
    const std::vector<std::wstring> written = WrittenInOrder(applied, original);
    std::vector<std::wstring> listed;
    std::vector<PlannedChange> changes;
    std::set<std::wstring> lackingDate;
    for (const PlannedChange& change : preview.Changes()) {
        // A file that lacks the date taken a row asks for is listed so that the preview shows
        // it, though nothing of it may change.
        if (change.noDateTaken != TimestampKindSet{} && change.planned == change.current) {
            lackingDate.insert(change.path);
            continue;
        }
        changes.push_back(change);
        listed.push_back(change.path);
        SCOPED_TRACE(testing::PrintToString(change.path));
        EXPECT_FALSE(change.created);
        EXPECT_EQ(change.folder, applied.At(change.path).folder);
        for (int k = 0; k < TimestampKindCount; ++k) {
            EXPECT_EQ(change.current[k], original.TimesOf(change.path)[k]) << "kind " << k;
            EXPECT_EQ(change.planned[k], applied.TimesOf(change.path)[k]) << "kind " << k;
        }
    }
    EXPECT_EQ(listed, written);
    // Every item the apply reaches is either listed or counted once as staying as it is.
    std::size_t staying = 0;
    for (const std::wstring& path : ReadItems(applied))
        staying += std::find(written.begin(), written.end(), path) == written.end() && !lackingDate.count(path) ? 1 : 0;
    EXPECT_EQ(preview.Unchanged(), staying);

    // The undo record holds the same items in the same order, before and after as listed.
    ASSERT_EQ(record.Size(), changes.size());
    for (std::size_t i = 0; i < record.Size(); ++i) {
        const UndoRecord::Entry& entry = record.Entries()[i];
        EXPECT_EQ(record.PathOf(entry), changes[i].path);
        EXPECT_EQ(entry.before, changes[i].current);
        EXPECT_EQ(entry.after, changes[i].planned);
    }
    const UndoReport undone = UndoApply(applied, record, nullptr);
    EXPECT_EQ(undone.outcome, WalkOutcome::Finished);
    EXPECT_EQ(undone.restored, record.Size());
    EXPECT_EQ(undone.leftAlone, 0u);
    for (const std::wstring& path : TreeItems)
        EXPECT_EQ(applied.TimesOf(path), original.TimesOf(path)) << testing::PrintToString(path);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, PreviewApplyAgreementTest,
                         testing::Combine(testing::ValuesIn(OperationCodes),
                                          testing::Values(Tested::General, Tested::Advanced), testing::Bool(),
                                          testing::Bool(), testing::Bool(), testing::Bool(),
                                          testing::Values(Targets::Folder, Targets::Selection)),
                         CaseName);

} // namespace
