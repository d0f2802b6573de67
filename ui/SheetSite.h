#pragma once

#include "engine/KeptFileTimes.h"
#include "engine/PreviewFileSystem.h"
#include "engine/WalkProgress.h"

#include <string>
#include <vector>

// What the apply would do with the pages' choices as they stand, worked out without writing:
// the items it would change in its order, how many it would leave as they are, and how it
// would end (stopped by the user here means the preview itself was stopped).
struct PreviewResult {
    std::vector<PlannedChange> changes;
    unsigned long long unchanged = 0;
    WalkOutcome outcome = WalkOutcome::Finished;
    HRESULT failure = S_OK;
    std::wstring failedPath;
};

// What a page needs from the sheet that holds it.
class CSheetSite {
public:
    virtual ~CSheetSite() = default;

    // Applies every page's choices; PSNRET_NOERROR or PSNRET_INVALID_NOCHANGEPAGE.
    virtual int ApplyTimestamps() = 0;

    // The kinds of time the apply leaves as they are (the operation "Don't change"), which a
    // page whose own step moves the item's times puts back.
    [[nodiscard]] virtual TimestampKindSet KindsLeftUnchanged() const = 0;

    // Pages added so far, for the time before the sheet window exists.
    [[nodiscard]] virtual int AddedPageCount() const = 0;

    // A number that changes whenever a page's choices change or the sheet writes the items, so
    // that a preview worked out before is known to be out of date.
    [[nodiscard]] virtual unsigned long ChoicesGeneration() const = 0;
    // Works out the preview from the pages' records; false when it cannot be worked out now
    // (while the sheet is still being built), with the result left as it was.
    virtual bool ComputePreview(PreviewResult& result) = 0;

    // Whether the last apply wrote items whose times Undo can put back.
    [[nodiscard]] virtual bool CanUndo() const = 0;
    // Asks, then puts back the times the last apply changed.
    virtual void UndoLastApply() = 0;

    // Waits until the item's icon, name and type, read while the sheet is made, are in the
    // pages; a page that shows them calls it when it is made.
    virtual void AwaitItemHeader() {}
};
