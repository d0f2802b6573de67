#pragma once

#include "pages/HandlingOptions.h"
#include "ui/PropertyPageEx.h"

#include <string>

// The page for the files inside a folder: their operations and the file-name patterns that
// select them.
class CAdvancedPage : public CPropertyPageEx, public CAdvancedOptions<CAdvancedPage> {
public:
    CAdvancedPage();

    HICON icon = nullptr; // owned by the sheet
    std::wstring location;
    std::wstring namePatterns;

    // Stores the pattern text and the rows; 1 (stay on the page) when a value cannot be read.
    int SaveAdvancedPage();

    BEGIN_MSG_MAP(CAdvancedPage)
        COMMAND_HANDLER(IDC_NAME_PATTERNS, EN_CHANGE, OnOptionChanged)
        CHAIN_MSG_MAP(CPropertyPageEx)
        CHAIN_MSG_MAP(CAdvancedOptions<CAdvancedPage>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    bool OnKillActive() override;
    int OnApply() override;

protected:
    BOOL OnInitDialog() override;
};
