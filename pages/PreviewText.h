#pragma once

#include "engine/PreviewFileSystem.h"
#include "ui/SheetSite.h"

#include <string>

// The line above the preview's list: "1,234 items will change (1,200 files, 34 folders); 56
// stay as they are", or that the preview was stopped.
std::wstring PreviewSummaryText(const PreviewResult& result);

// A time in the user's short date and long time forms, in local time; empty when it does not
// convert.
std::wstring LocalTimeText(FileTime utc);

// The columns of the preview's list, in display order.
enum class PreviewColumn : int { Name, Folder, Created, Modified, Accessed };
inline constexpr int PreviewColumnCount = 5;

// The text of one cell of the preview's list. A row past the changes is the item the apply
// would stop at, with the reason in its first time column. A time column shows "current →
// new" for a kind that changes, "current → no date taken" for a kind that was to take a date
// taken the file lacks, and the current time alone for one that stays.
std::wstring PreviewCellText(const PreviewResult& result, std::size_t row, PreviewColumn column);

// The time column of each kind, and whether the kind changes for any listed item.
PreviewColumn ColumnOf(TimestampKind kind);
TimestampKindSet KindsThatChange(const PreviewResult& result);

// The rows of the preview's list: the changes, and the item the apply would stop at.
std::size_t PreviewRowCount(const PreviewResult& result);
