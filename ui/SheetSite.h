#pragma once

#include "engine/KeptFileTimes.h"

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
};
