#pragma once

#include "pages/HandlingOptions.h"
#include "ui/PropertyPageEx.h"

#include <string>

// The first page: what the item is, and the operations for the item itself (and, for a
// folder, its subfolders), with the folder walk's options.
class CGeneralPage : public CPropertyPageEx, public CGeneralOptions<CGeneralPage> {
public:
    CGeneralPage();

    bool isFolder = false;
    bool reachesFile = true; // a file is among the items: the rows offer the file-only operations
    HICON icon = nullptr;    // owned by the sheet
    std::wstring displayName;
    std::wstring typeName;
    std::wstring location;
    bool recursive = false;
    bool excludeSystem = false;
    bool excludeHidden = true;

    // Copies the controls into the members (save) or the members into the controls; false
    // when a value cannot be exchanged.
    bool ExchangeData(bool save);
    // Enables Undo while the sheet holds a record of the last apply's writes.
    void ShowUndoState();

    BEGIN_MSG_MAP(CGeneralPage)
        COMMAND_HANDLER(IDC_RECURSIVE, BN_CLICKED, OnOptionChanged)
        COMMAND_HANDLER(IDC_EXCLUDE_SYSTEM, BN_CLICKED, OnOptionChanged)
        COMMAND_HANDLER(IDC_EXCLUDE_HIDDEN, BN_CLICKED, OnOptionChanged)
        COMMAND_HANDLER(IDC_UNDO, BN_CLICKED, OnUndo)
        CHAIN_MSG_MAP(CPropertyPageEx)
        CHAIN_MSG_MAP(CGeneralOptions<CGeneralPage>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    bool OnKillActive() override;
    int OnApply() override;

protected:
    BOOL OnInitDialog() override;

private:
    LRESULT OnUndo(WORD, WORD, HWND, BOOL&);
};
