#pragma once

// What a page needs from the sheet that holds it.
class CSheetSite {
public:
    virtual ~CSheetSite() = default;

    // Applies every page's choices; PSNRET_NOERROR or PSNRET_INVALID_NOCHANGEPAGE.
    virtual int ApplyTimestamps() = 0;

    // Pages added so far, for the time before the sheet window exists.
    [[nodiscard]] virtual int AddedPageCount() const = 0;
};
