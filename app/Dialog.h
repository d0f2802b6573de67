#pragma once

#include "app/PropertySheetEx.h"
#include "engine/FileTime.h"
#include "metadata/MetadataPage.h"
#include "metadata/PropertySystem.h"
#include "pages/AdvancedPage.h"
#include "pages/GeneralPage.h"
#include "ui/SheetSite.h"
#include "platform/Handles.h"

#include <string>

// The main window: a modeless property sheet for one file or folder. It decides which pages
// the target gets, fills them with what the target is, and applies their choices.
class CDialog : public CPropertySheetEx, public CSheetSite {
public:
    // A file's properties are read through `properties`, which must outlive the sheet.
    CDialog(const std::wstring& targetPath, PropertySystem& properties);
    // Reads a file's properties through the running Windows' property system.
    explicit CDialog(const std::wstring& targetPath);

    // Creates the modeless sheet window; null, with the cause in GetLastError, on failure.
    HWND Create();

    int ApplyTimestamps() override;
    bool PreTranslateMessage(MSG* pMsg) override;
    [[nodiscard]] TimestampKindSet KindsLeftUnchanged() const override;
    [[nodiscard]] int AddedPageCount() const override { return GetPageCount(); }

    [[nodiscard]] const std::wstring& TargetPath() const noexcept { return m_targetPath; }
    CGeneralPage& GeneralPage() noexcept { return m_general; }
    CAdvancedPage& AdvancedPage() noexcept { return m_advanced; }
    CMetadataPage& MetadataPage() noexcept { return m_metadata; }

    BEGIN_MSG_MAP(CDialog)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        CHAIN_MSG_MAP(CPropertySheetEx)
    END_MSG_MAP()

private:
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);

    void ReadTargetInformation();
    void AddPages();
    void CreateEveryPageWindow();
    [[nodiscard]] bool HasFinished() const;
    int ApplyToFolderTarget();
    int ApplyToFileTarget();
    int ReportApplyFailure(HRESULT code);
    void ShowTimesRead(const FileTimes& times);

    std::wstring m_targetPath;
    IconHandle m_icon;
    CGeneralPage m_general;
    CAdvancedPage m_advanced;
    CMetadataPage m_metadata;
};
