// Times the folder walk against plain loops doing only the platform calls the same work
// cannot avoid, on a tree of 10,000 files in 200 folders, the walk followed by a progress
// display against the same walk unfollowed, and one operation applied to the tree's files as a
// selection against a plain loop setting the same time; and the date taken applied to a folder
// of JPEGs against the same walk setting the current time.
//   folder_walk_bench.exe FOLDER [date-taken|undo]   (the tree is made there on first use; with
//   date-taken or undo, only that run)

#include "app/ApplyProgress.h"
#include "engine/FileTimeAccess.h"
#include "engine/FolderWalk.h"
#include "engine/PreviewFileSystem.h"
#include "engine/SelectionApply.h"
#include "engine/UndoRecord.h"
#include "platform/ItemPath.h"
#include "platform/Handles.h"
#include "tests/support/MediaFiles.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int TopFolders = 20;
constexpr int SubfoldersEach = 9;  // 20 + 20 * 9 = 200 folders
constexpr int FilesPerFolder = 50; // 200 * 50 = 10,000 files
constexpr int FileRepetitions = 5;
constexpr int FolderRepetitions = 15; // a folder run is short, so noisier
constexpr int ProgressRounds = 10;    // pairs of walks over each top folder
constexpr int SelectionRounds = 5;    // turns of a selection apply and two plain loops
constexpr DWORD Share = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD OpenFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;

bool MakeFiles(const std::wstring& folder)
{
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (int i = 0; i < FilesPerFolder; ++i) {
        const std::wstring path = folder + L"\\file" + std::to_wstring(i) + L".dat";
        FileHandle file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
    }
    return true;
}

bool MakeTree(const std::wstring& root)
{
    const std::wstring marker = root + L"\\tree-complete";
    if (::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    std::wprintf(L"making %d files in %d folders under %ls\n", TopFolders * (1 + SubfoldersEach) * FilesPerFolder,
                 TopFolders * (1 + SubfoldersEach), root.c_str());
    if (!::CreateDirectoryW(root.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (int top = 0; top < TopFolders; ++top) {
        const std::wstring folder = root + L"\\top" + std::to_wstring(top);
        if (!MakeFiles(folder))
            return false;
        for (int sub = 0; sub < SubfoldersEach; ++sub)
            if (!MakeFiles(folder + L"\\sub" + std::to_wstring(sub)))
                return false;
    }
    FileHandle done(
        ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return done.valid();
}

double Seconds()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool IsDotName(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool GetTimes(const wchar_t* path, FILETIME (&times)[3])
{
    FileHandle file(::CreateFileW(path, FILE_READ_ATTRIBUTES, Share, nullptr, OPEN_EXISTING, OpenFlags, nullptr));
    return file && ::GetFileTime(file.get(), &times[0], &times[1], &times[2]);
}

bool SetTimes(const wchar_t* path, const FILETIME (&times)[3])
{
    FileHandle file(::CreateFileW(path, FILE_WRITE_ATTRIBUTES, Share, nullptr, OPEN_EXISTING, OpenFlags, nullptr));
    return file && ::SetFileTime(file.get(), &times[0], &times[1], &times[2]);
}

// Calls `visit(path, entry)` for every file below `folder`, depth first, in listing order;
// false when a listing fails or a visit does.
template <class Visit> bool EachFile(const std::wstring& folder, const Visit& visit)
{
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!search)
        return false;
    std::wstring path = folder + L"\\";
    const std::size_t length = path.size();
    do {
        if (IsDotName(entry.cFileName))
            continue;
        path.resize(length);
        path += entry.cFileName;
        const bool done =
            (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EachFile(path, visit) : visit(path, entry);
        if (!done)
            return false;
    } while (::FindNextFileW(search.get(), &entry));
    return true;
}

// Every file: its last-write time set to now, then its times read back.
bool PlainFiles(const std::wstring& folder, FILETIME now)
{
    return EachFile(folder, [now](const std::wstring& path, const WIN32_FIND_DATAW& entry) {
        FILETIME times[3] = {entry.ftCreationTime, entry.ftLastAccessTime, now};
        return SetTimes(path.c_str(), times) && GetTimes(path.c_str(), times);
    });
}

// Every folder: its own times read, its last-write time set to the newest of its entries,
// and read back for its parent.
bool PlainFolders(const std::wstring& folder, FILETIME (&result)[3])
{
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileW((folder + L"\\*.*").c_str(), &entry));
    if (!search)
        return false;
    std::wstring path = folder + L"\\";
    const std::size_t length = path.size();
    ULONGLONG latest = 0;
    do {
        if (IsDotName(entry.cFileName))
            continue;
        FILETIME times[3] = {entry.ftCreationTime, entry.ftLastAccessTime, entry.ftLastWriteTime};
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            path.resize(length);
            path += entry.cFileName;
            if (!PlainFolders(path, times))
                return false;
        }
        latest = std::max(latest, (static_cast<ULONGLONG>(times[2].dwHighDateTime) << 32) | times[2].dwLowDateTime);
    } while (::FindNextFileW(search.get(), &entry));
    search.reset();
    if (!GetTimes(folder.c_str(), result))
        return false;
    result[2] = {static_cast<DWORD>(latest), static_cast<DWORD>(latest >> 32)};
    return SetTimes(folder.c_str(), result) && GetTimes(folder.c_str(), result);
}

ApplyOptions Recursive()
{
    ApplyOptions options;
    options.recursive = true;
    return options;
}

bool WalkFiles(const std::wstring& root)
{
    HandlingRecord general;
    HandlingRecord advanced;
    advanced.operation[LastWrite] = OpCurrentDateTime;
    advanced.now = CurrentFileTime();
    return ApplyToFolder(general, advanced, Recursive(), root, nullptr) == WalkOutcome::Finished;
}

// The file walk as it was before each file was opened once: times computed from the listing,
// all three written through one open, then read back through another.
bool EarlierWalkFiles(const std::wstring& folder, const HandlingRecord& advanced)
{
    return EachFile(folder, [&advanced](const std::wstring& path, const WIN32_FIND_DATAW& entry) {
        if (!FileNameSelected(entry.cFileName, nullptr))
            return true;
        FileTimes times = {FromFILETIME(entry.ftCreationTime), FromFILETIME(entry.ftLastAccessTime),
                           FromFILETIME(entry.ftLastWriteTime)};
        ComputeNewTimes(advanced, times, nullptr);
        FILETIME values[3] = {ToFILETIME(times[0]), ToFILETIME(times[1]), ToFILETIME(times[2])};
        return SetTimes(path.c_str(), values) && GetTimes(path.c_str(), values);
    });
}

bool EarlierWalkFiles(const std::wstring& root)
{
    HandlingRecord advanced;
    advanced.operation[LastWrite] = OpCurrentDateTime;
    advanced.now = CurrentFileTime();
    return EarlierWalkFiles(root, advanced);
}

bool WalkFolders(const std::wstring& root)
{
    HandlingRecord general;
    general.operation[LastWrite] = OpLatestEntry;
    general.now = CurrentFileTime();
    HandlingRecord advanced;
    return ApplyToFolder(general, advanced, Recursive(), root, nullptr) == WalkOutcome::Finished;
}

// A stand-in for the progress window: it takes the texts the window would show. The sink is
// the editor's own, without its start delay, as in a long walk once the window is up.
class TextDisplay final : public ProgressDisplay {
public:
    bool Start(HWND, const std::wstring&, const std::wstring& folderLine, const std::wstring& item,
               const std::wstring& countsLine) override
    {
        folderLine_ = folderLine;
        Update(item, countsLine);
        return true;
    }
    void Update(const std::wstring& item, const std::wstring& countsLine) override
    {
        item_ = item;
        counts_ = countsLine;
        ++updates;
    }
    bool Cancelled() override { return false; }
    void Stop() override {}

    unsigned long updates = 0;

private:
    std::wstring folderLine_, item_, counts_;
};

// The files' and the folders' walk in one, as a recursive apply of both pages does. Given a
// time no earlier walk used, it writes every file and, through the newest of them, every folder.
bool WalkAll(const std::wstring& root, FileTime now, WalkProgress* progress)
{
    HandlingRecord general;
    general.operation[LastAccess] = OpLatestEntry;
    HandlingRecord advanced;
    advanced.operation[LastAccess] = OpCurrentDateTime;
    general.now = advanced.now = now;
    ApplyOptions options = Recursive();
    options.progress = progress;
    return ApplyToFolder(general, advanced, options, root, nullptr) == WalkOutcome::Finished;
}

struct Timing {
    double walk = 1e9;
    double plain = 1e9;
};

template <class Walk, class Plain> bool Measure(int repetitions, Walk walk, Plain plain, Timing& timing)
{
    for (int i = 0; i < repetitions; ++i) {
        double start = Seconds();
        if (!walk())
            return false;
        timing.walk = std::min(timing.walk, Seconds() - start);
        start = Seconds();
        if (!plain())
            return false;
        timing.plain = std::min(timing.plain, Seconds() - start);
    }
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct PairedTimings {
    std::vector<double> followed;
    std::vector<double> unfollowed;
    std::vector<double> ratios;
    unsigned long updates = 0;
};

// The walk followed by a progress display against the same walk unfollowed, on one top folder
// at a time (500 files in 10 folders), in pairs that take turns at going first. The ratio is
// the median of the pairs' ratios: the load of other programs, which changes from one moment
// to the next, shifts both walks of a pair alike, and spoils a few pairs at most.
bool MeasureProgress(const std::wstring& root, PairedTimings& timings)
{
    FileTime now = CurrentFileTime();
    for (int round = 0; round < ProgressRounds; ++round) {
        for (int top = 0; top < TopFolders; ++top) {
            const std::wstring folder = root + L"\\top" + std::to_wstring(top);
            TextDisplay display;
            ApplyProgress sink(display, nullptr, ProgressFolderText(folder), ::GetTickCount64, 0);
            double followed = 0;
            double unfollowed = 0;
            const auto time = [&folder, &now](WalkProgress* progress, double& seconds) {
                now += TicksPerSecond;
                const double start = Seconds();
                const bool walked = WalkAll(folder, now, progress);
                seconds = Seconds() - start;
                return walked;
            };
            const bool walked = (round + top) % 2 ? time(nullptr, unfollowed) && time(&sink, followed)
                                                  : time(&sink, followed) && time(nullptr, unfollowed);
            if (!walked)
                return false;
            timings.followed.push_back(followed);
            timings.unfollowed.push_back(unfollowed);
            timings.ratios.push_back(followed / unfollowed);
            timings.updates += display.updates;
        }
    }
    return true;
}

// The tree's files, in listing order.
bool ListFiles(const std::wstring& root, std::vector<std::wstring>& files)
{
    return EachFile(root, [&files](const std::wstring& path, const WIN32_FIND_DATAW&) {
        files.push_back(path);
        return true;
    });
}

// "Set the specified date and time" for Modified, applied to the files as one selection.
bool ApplyToSelection(const std::vector<SelectedItem>& items, FileTime value)
{
    Win32FolderFileSystem fileSystem;
    ApplyChoices choices;
    choices.general.operation[LastWrite] = OpSpecifiedDateTime;
    choices.general.value[LastWrite] = value;
    choices.general.now = CurrentFileTime();
    const ApplyReport report = ApplySelection(fileSystem, choices, items);
    return report.outcome == WalkOutcome::Finished && report.done.files == items.size();
}

// The least that work takes: each file opened for its attributes, its Modified time set, closed.
bool PlainSetModified(const std::vector<std::wstring>& files, FileTime value)
{
    const FILETIME time = ToFILETIME(value);
    for (const std::wstring& path : files) {
        FileHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, Share, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file || !::SetFileTime(file.get(), nullptr, nullptr, &time))
            return false;
    }
    return true;
}

// The platform calls the apply makes per file, in a plain loop: one open for reading and
// writing its times, the times read, set and read back (the read before is what most
// operations and the undo record need; the read back is what the file system kept). What the
// apply takes beyond this is its own.
bool PlainSameCalls(const std::vector<std::wstring>& files, FileTime value)
{
    const FILETIME time = ToFILETIME(value);
    for (const std::wstring& path : files) {
        FileHandle file(::CreateFileW(ItemPath(path).c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, Share,
                                      nullptr, OPEN_EXISTING, OpenFlags, nullptr));
        FILETIME times[3];
        if (!file || !::GetFileTime(file.get(), &times[0], &times[1], &times[2]) ||
            !::SetFileTime(file.get(), nullptr, nullptr, &time) ||
            !::GetFileTime(file.get(), &times[0], &times[1], &times[2]))
            return false;
    }
    return true;
}

struct SelectionTimings {
    std::vector<double> apply;
    std::vector<double> plain;
    std::vector<double> sameCalls;
    std::size_t files = 0;
};

// The three over all the tree's files, in rounds that take turns at which goes first, each
// run setting a time no run before it set.
bool MeasureSelection(const std::wstring& root, SelectionTimings& timings)
{
    std::vector<std::wstring> files;
    if (!ListFiles(root, files))
        return false;
    timings.files = files.size();
    std::vector<SelectedItem> items;
    for (const std::wstring& path : files)
        items.push_back(SelectedItem{path, false, true});
    FileTime value = CurrentFileTime() / TicksPerSecond * TicksPerSecond;
    const auto time = [&value](const auto& run, std::vector<double>& seconds) {
        value += TicksPerSecond;
        const double start = Seconds();
        const bool done = run(value);
        seconds.push_back(Seconds() - start);
        return done;
    };
    const auto apply = [&] { return time([&](FileTime v) { return ApplyToSelection(items, v); }, timings.apply); };
    const auto plain = [&] { return time([&](FileTime v) { return PlainSetModified(files, v); }, timings.plain); };
    const auto same = [&] { return time([&](FileTime v) { return PlainSameCalls(files, v); }, timings.sameCalls); };
    for (int round = 0; round < SelectionRounds; ++round) {
        const bool done = round % 2 ? plain() && same() && apply() : apply() && plain() && same();
        if (!done)
            return false;
    }
    return true;
}

// The preview against the apply it foretells, the apply recording for Undo against the same
// apply unrecorded, and the undo of a recorded apply against that apply, over the whole tree
// (every file and, through the newest, every folder changes), in rounds that take turns at which
// goes first (an undo follows its recorded apply at once, or it would find every item changed
// since); the median of the rounds' ratios. Then what the undo record costs per item.
bool ReportPreviewAndUndo(const std::wstring& root)
{
    constexpr int Rounds = 7;
    FileTime now = CurrentFileTime();
    const std::vector<SelectedItem> items{{root, true, true}};
    std::vector<double> preview, recorded, undo;
    std::size_t entries = 0;
    for (int round = 0; round < Rounds; ++round) {
        ApplyChoices choices;
        choices.general.operation[LastAccess] = OpLatestEntry;
        choices.advanced.operation[LastAccess] = OpCurrentDateTime;
        choices.options = Recursive();
        const auto timed = [&](FolderFileSystem& fileSystem, double& seconds) {
            now += TicksPerSecond;
            choices.general.now = choices.advanced.now = now;
            const double start = Seconds();
            const bool finished = ApplySelection(fileSystem, choices, items).outcome == WalkOutcome::Finished;
            seconds = Seconds() - start;
            return finished;
        };
        Win32FolderFileSystem platform;
        PreviewFileSystem previewing(platform);
        UndoRecord record;
        RecordingFileSystem recording(platform, record);
        double previewed = 0, applied = 0, appliedRecorded = 0, undone = 0;
        const auto recordAndUndo = [&] {
            if (!timed(recording, appliedRecorded))
                return false;
            const double start = Seconds();
            const bool finished = UndoApply(platform, record, nullptr).outcome == WalkOutcome::Finished;
            undone = Seconds() - start;
            return finished;
        };
        const bool done = round % 2 ? recordAndUndo() && timed(platform, applied) && timed(previewing, previewed)
                                    : timed(previewing, previewed) && timed(platform, applied) && recordAndUndo();
        if (!done)
            return false;
        preview.push_back(previewed / applied);
        recorded.push_back(appliedRecorded / applied);
        undo.push_back(undone / applied);
        entries = record.Size();
    }
    std::wprintf(L"preview/apply: %.2f (goal <= 0.7)\n", Median(preview));
    std::wprintf(L"apply recorded/unrecorded: %.2f (goal <= 1.02)\n", Median(recorded));
    std::wprintf(L"undo/apply: %.2f (goal <= 1.05)\n", Median(undo));
    std::wprintf(L"undo record: %zu items, %zu bytes per item besides its path (goal <= 64)\n", entries,
                 sizeof(UndoRecord::Entry));
    return true;
}
constexpr int JpegFiles = 2000;
constexpr int DateTakenRounds = 5;

// 2,000 photos as a camera writes them: Exif first, then further metadata and the image, about
// 64 KiB each, made once.
bool MakeJpegFolder(const std::wstring& folder)
{
    const std::wstring marker = folder + L"-complete";
    if (::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    for (int i = 0; i < JpegFiles; ++i) {
        char taken[32];
        std::snprintf(taken, sizeof taken, "2023:%02d:%02d %02d:%02d:%02d", 1 + i % 12, 1 + i % 28, i % 24, i % 60,
                      (i * 7) % 60);
        const Bytes tiff = TiffWriter().Text(TagOriginal, taken).Text(TagOffsetOriginal, "+09:00").Build();
        const Bytes jpeg = Jpeg({ExifSegment(tiff), {0xE2, Bytes(60000)}});
        const std::wstring path = folder + L"\\IMG_" + std::to_wstring(1000 + i) + L".jpg";
        FileHandle file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !::WriteFile(file.get(), jpeg.data(), static_cast<DWORD>(jpeg.size()), &written, nullptr))
            return false;
    }
    FileHandle done(
        ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return done.valid();
}

// The photos' Modified set to their dates taken against the same walk setting the current
// time, in rounds that take turns at which goes first; the median of the rounds' ratios.
bool ReportDateTaken(const std::wstring& root)
{
    // Beside the tree, so that the other runs' walks do not meet it.
    const std::wstring folder = root + L"-photos";
    if (!MakeJpegFolder(folder))
        return false;
    std::vector<double> taken, current, ratios;
    for (int round = 0; round < DateTakenRounds; ++round) {
        const auto timed = [&](TimestampOperation operation, std::vector<double>& seconds) {
            ApplyChoices choices;
            choices.advanced.operation[LastWrite] = operation;
            choices.advanced.now = CurrentFileTime();
            // A different time each run, so that every run writes every file.
            choices.advanced.operation[LastAccess] = OpCurrentDateTime;
            Win32FolderFileSystem fileSystem;
            const double start = Seconds();
            const ApplyReport report = ApplySelection(fileSystem, choices, {{folder, true, true}});
            seconds.push_back(Seconds() - start);
            return report.outcome == WalkOutcome::Finished && report.withoutDate.count == 0 &&
                   report.done.files == JpegFiles;
        };
        const bool done = round % 2 ? timed(OpCurrentDateTime, current) && timed(OpDateTaken, taken)
                                    : timed(OpDateTaken, taken) && timed(OpCurrentDateTime, current);
        if (!done)
            return false;
        ratios.push_back(taken.back() / current.back());
    }
    std::wprintf(L"date taken on %d JPEGs (median of %d runs): %.3f s, current time %.3f s\n", JpegFiles,
                 DateTakenRounds, Median(taken), Median(current));
    std::wprintf(L"date taken/current time: %.2f (goal <= 1.5)\n", Median(ratios));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fwprintf(stderr, L"usage: folder_walk_bench FOLDER [date-taken|undo]\n");
        return 2;
    }
    wchar_t folder[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, argv[1], -1, folder, MAX_PATH))
        return 2;
    const std::wstring root = folder;
    if (argc == 3 && std::string(argv[2]) == "date-taken")
        return ReportDateTaken(root) ? 0 : 1;
    if (!MakeTree(root)) {
        std::fwprintf(stderr, L"cannot make the tree under %ls (error %lu)\n", root.c_str(), ::GetLastError());
        return 1;
    }
    if (argc == 3 && std::string(argv[2]) == "undo")
        return ReportPreviewAndUndo(root) ? 0 : 1;

    Timing files;
    const bool filesDone = Measure(
        FileRepetitions, [&] { return WalkFiles(root); },
        [&] {
            FILETIME now;
            ::GetSystemTimeAsFileTime(&now);
            return PlainFiles(root, now);
        },
        files);
    Timing folders;
    const bool foldersDone = Measure(
        FolderRepetitions, [&] { return WalkFolders(root); },
        [&] {
            FILETIME times[3];
            return PlainFolders(root, times);
        },
        folders);
    Timing before;
    const bool beforeDone = Measure(
        FileRepetitions, [&] { return WalkFiles(root); }, [&] { return EarlierWalkFiles(root); }, before);
    PairedTimings progress;
    const bool progressDone = MeasureProgress(root, progress);
    SelectionTimings selection;
    const bool selectionDone = MeasureSelection(root, selection);
    if (!filesDone || !foldersDone || !beforeDone || !progressDone || !selectionDone) {
        std::fwprintf(stderr, L"a run failed (error %lu)\n", ::GetLastError());
        return 1;
    }
    std::wprintf(L"files (best of %d): walk %.3f s, plain %.3f s\n", FileRepetitions, files.walk, files.plain);
    std::wprintf(L"walk/plain files: %.2f\n", files.walk / files.plain);
    std::wprintf(L"folders (best of %d): walk %.3f s, plain %.3f s\n", FolderRepetitions, folders.walk, folders.plain);
    std::wprintf(L"walk/plain folders: %.2f\n", folders.walk / folders.plain);
    std::wprintf(L"files (best of %d): walk as it was %.3f s, walk now %.3f s\n", FileRepetitions, before.plain,
                 before.walk);
    std::wprintf(L"walk files before/after: %.2f\n", before.plain / before.walk);
    std::wprintf(L"files and folders (median of %lu pairs of %d-file walks): walk %.1f ms, with progress %.1f ms "
                 L"(%lu updates)\n",
                 static_cast<unsigned long>(progress.ratios.size()), FilesPerFolder * (1 + SubfoldersEach),
                 Median(progress.unfollowed) * 1000, Median(progress.followed) * 1000, progress.updates);
    std::wprintf(L"walk progress/none: %.3f\n", Median(progress.ratios));
    const double applied = Median(selection.apply);
    const double plainLoop = Median(selection.plain);
    std::wprintf(L"selection of %u files, Modified set (median of %d runs each, in turns): apply %.3f s, plain loop "
                 L"%.3f s, plain loop of the apply's calls %.3f s\n",
                 static_cast<unsigned>(selection.files), SelectionRounds, applied, plainLoop,
                 Median(selection.sameCalls));
    std::wprintf(L"selection apply/plain: %.3f s / %.3f s = %.2f (goal <= 1.05)\n", applied, plainLoop,
                 applied / plainLoop);
    std::wprintf(L"selection apply/its calls: %.2f\n", applied / Median(selection.sameCalls));
    if (!ReportPreviewAndUndo(root)) {
        std::fwprintf(stderr, L"the preview or undo run failed (error %lu)\n", ::GetLastError());
        return 1;
    }
    if (!ReportDateTaken(root)) {
        std::fwprintf(stderr, L"the date-taken run failed (error %lu)\n", ::GetLastError());
        return 1;
    }
    return 0;
}
