#include "pages/PreviewText.h"

#include "framework/Module.h"
#include "platform/ItemPath.h"
#include "res/resource.h"
#include "ui/ResultText.h"
#include "ui/TextFormat.h"

namespace {

std::wstring Counted(unsigned long long count, UINT one, UINT many)
{
    return FillInserts(AppModule().LoadText(count == 1 ? one : many), {GroupedNumber(count)});
}

// The kind shown in a time column.
TimestampKind KindOf(PreviewColumn column)
{
    switch (column) {
    case PreviewColumn::Created:
        return Creation;
    case PreviewColumn::Modified:
        return LastWrite;
    default:
        return LastAccess;
    }
}

std::wstring TimeCellText(const PlannedChange& change, TimestampKind kind)
{
    const FileTime current = change.current[kind];
    const FileTime planned = change.planned[kind];
    const std::wstring plannedText = LocalTimeText(planned);
    if (change.created)
        return FillInserts(AppModule().LoadText(IDS_PREVIEW_CHANGE),
                           {AppModule().LoadText(IDS_PREVIEW_NEW_ITEM), plannedText});
    if (change.noDateTaken[kind])
        return FillInserts(AppModule().LoadText(IDS_PREVIEW_CHANGE),
                           {LocalTimeText(current), AppModule().LoadText(IDS_PREVIEW_NO_DATE_TAKEN)});
    if (current == planned)
        return plannedText;
    return FillInserts(AppModule().LoadText(IDS_PREVIEW_CHANGE), {LocalTimeText(current), plannedText});
}

} // namespace

std::wstring PreviewSummaryText(const PreviewResult& result)
{
    if (result.outcome == WalkOutcome::Stopped)
        return AppModule().LoadText(IDS_PREVIEW_STOPPED);
    // A file listed only for its missing date taken stays as it is.
    unsigned long long folders = 0;
    unsigned long long staying = 0;
    for (const PlannedChange& change : result.changes) {
        folders += change.folder ? 1 : 0;
        staying += !change.created && change.current == change.planned ? 1 : 0;
    }
    const unsigned long long items = result.changes.size() - staying;
    return FillInserts(AppModule().LoadText(IDS_PREVIEW_SUMMARY),
                       {Counted(items, IDS_PREVIEW_ONE_ITEM, IDS_PREVIEW_ITEMS),
                        Counted(items - folders, IDS_PROGRESS_ONE_FILE, IDS_PROGRESS_FILES),
                        Counted(folders, IDS_PROGRESS_ONE_FOLDER, IDS_PROGRESS_FOLDERS),
                        Counted(result.unchanged + staying, IDS_PREVIEW_ONE_STAYS, IDS_PREVIEW_STAY)});
}

std::wstring LocalTimeText(FileTime utc)
{
    CalendarTime local{};
    if (utc == InvalidFileTime || !UtcFileTimeToLocalCalendar(utc, local))
        return std::wstring();
    wchar_t date[80] = {};
    wchar_t time[80] = {};
    if (!::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local, nullptr, date, 80, nullptr) ||
        !::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, time, 80))
        return std::wstring();
    return std::wstring(date) + L' ' + time;
}

PreviewColumn ColumnOf(TimestampKind kind)
{
    switch (kind) {
    case Creation:
        return PreviewColumn::Created;
    case LastWrite:
        return PreviewColumn::Modified;
    default:
        return PreviewColumn::Accessed;
    }
}

TimestampKindSet KindsThatChange(const PreviewResult& result)
{
    TimestampKindSet kinds{};
    for (const PlannedChange& change : result.changes) {
        for (int k = 0; k < TimestampKindCount; ++k)
            kinds[k] = kinds[k] || change.created || change.current[k] != change.planned[k] || change.noDateTaken[k];
    }
    return kinds;
}

std::size_t PreviewRowCount(const PreviewResult& result)
{
    return result.changes.size() + (result.outcome == WalkOutcome::Failed ? 1 : 0);
}

std::wstring PreviewCellText(const PreviewResult& result, std::size_t row, PreviewColumn column)
{
    const bool failedRow = result.outcome == WalkOutcome::Failed && row == result.changes.size();
    if (!failedRow && row >= result.changes.size())
        return std::wstring();
    const std::wstring& path = failedRow ? result.failedPath : result.changes[row].path;
    switch (column) {
    case PreviewColumn::Name:
        return std::wstring(PathName(path));
    case PreviewColumn::Folder:
        return ParentPath(path);
    default:
        break;
    }
    if (failedRow) {
        if (column != PreviewColumn::Created)
            return std::wstring();
        return FillInserts(AppModule().LoadText(IDS_PREVIEW_FAILED), {ResultText(result.failure)});
    }
    return TimeCellText(result.changes[row], KindOf(column));
}
