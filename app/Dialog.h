#pragma once

#include "app/ApplyProgress.h"
#include "app/ItemHeader.h"
#include "app/PropertySheetEx.h"
#include "engine/FileTime.h"
#include "engine/SelectionApply.h"
#include "engine/UndoRecord.h"
#include "metadata/MetadataPage.h"
#include "metadata/PropertySystem.h"
#include "pages/AdvancedPage.h"
#include "pages/GeneralPage.h"
#include "pages/PreviewPage.h"
#include "ui/SheetSite.h"
#include "platform/Handles.h"

#include <string>
#include <vector>

// The main window: a modeless property sheet for one file or folder, or for several selected
// items at once. It decides which pages the target gets, fills them with what the target is,
// and applies their choices.
class CDialog : public CPropertySheetEx, public CSheetSite {
public:
    // Full paths in their ordinary form, in the order the user selected them (at least one).
    // A file's properties are read through `properties`, which must outlive the sheet.
    CDialog(std::vector<std::wstring> targetPaths, PropertySystem& properties);
    CDialog(const std::wstring& targetPath, PropertySystem& properties);
    // Reads a file's properties through the running Windows' property system.
    explicit CDialog(std::vector<std::wstring> targetPaths);
    explicit CDialog(const std::wstring& targetPath);

    // Creates the modeless sheet window; null, with the cause in GetLastError, on failure.
    HWND Create();

    int ApplyTimestamps() override;
    bool PreTranslateMessage(MSG* pMsg) override;
    [[nodiscard]] TimestampKindSet KindsLeftUnchanged() const override;
    [[nodiscard]] int AddedPageCount() const override { return GetPageCount(); }
    [[nodiscard]] unsigned long ChoicesGeneration() const override { return m_generation; }
    bool ComputePreview(PreviewResult& result) override;
    [[nodiscard]] bool CanUndo() const override { return !m_undo.Empty(); }
    void UndoLastApply() override;
    void AwaitItemHeader() override;

    // Shows the progress of applies, previews and undos on `display` after `delayMs` instead of
    // the platform's window after a second (for tests); the display must outlive the sheet.
    void UseProgressDisplay(ProgressDisplay& display, ULONGLONG delayMs) noexcept
    {
        m_progressDisplay = &display;
        m_progressDelayMs = delayMs;
    }
    // Shows the platform's progress window after `delayMs` instead of a second (for tests, which
    // cannot count on an apply lasting a second on every machine).
    void UseProgressDelay(ULONGLONG delayMs) noexcept { m_progressDelayMs = delayMs; }

    // The first target; the General page starts from its times and shows them after an apply.
    [[nodiscard]] const std::wstring& TargetPath() const noexcept { return m_items.front().path; }
    [[nodiscard]] const std::vector<SelectedItem>& Items() const noexcept { return m_items; }
    // The pages' choices as the apply takes them.
    [[nodiscard]] ApplyChoices Choices() const;
    CGeneralPage& GeneralPage() noexcept { return m_general; }
    CAdvancedPage& AdvancedPage() noexcept { return m_advanced; }
    CMetadataPage& MetadataPage() noexcept { return m_metadata; }
    CPreviewPage& PreviewPage() noexcept { return m_preview; }
    [[nodiscard]] const UndoRecord& LastApplyRecord() const noexcept { return m_undo; }

    BEGIN_MSG_MAP(CDialog)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(PSM_CHANGED, OnPageChanged)
        CHAIN_MSG_MAP(CPropertySheetEx)
    END_MSG_MAP()

private:
    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnPageChanged(UINT, WPARAM, LPARAM, BOOL& bHandled);

    void ReadTargetInformation();
    void ReadSelectionInformation();
    void StartRowsAtFirstItem();
    void AddPages();
    void CreateEveryPageWindow();
    [[nodiscard]] bool HasFinished() const;
    [[nodiscard]] bool PrepareSingleFile();
    int ReportApplyFailure(HRESULT code);
    void ReportSkippedLoops(const std::vector<SkippedLoop>& loops);
    // Says how many files kept their times for lack of a date taken, and names the first.
    void ReportFilesWithoutDate(const FilesWithoutDate& files);
    void ShowTimesRead(const FileTimes& times);
    void ShowFirstTargetTimes();
    // The sheet wrote the items: a preview worked out before is out of date, and one on view
    // is worked out again.
    void ItemsWritten();
    void ReportLeftAlone(const UndoReport& report);
    // Runs work(progress) with the wait cursor and the progress window over the sheet.
    template <class Work> auto Followed(const std::wstring& subjectLine, Work work);

    std::vector<SelectedItem> m_items;
    // Whether a page changed since the last apply that went through: OK after Apply must not
    // run the operations again.
    bool m_changedSinceApply = true;
    // Counts changes of the choices and writes of the items, for the preview to tell its age.
    unsigned long m_generation = 0;
    // While every page window is being made: a page shown then works nothing out.
    bool m_buildingPages = false;
    UndoRecord m_undo;
    ProgressDisplay* m_progressDisplay = nullptr;
    ULONGLONG m_progressDelayMs = ProgressThrottle::StartDelayMs;
    IconHandle m_icon;
    PendingItemHeader m_pendingHeader; // one item's, until its page is made
    CGeneralPage m_general;
    CAdvancedPage m_advanced;
    CMetadataPage m_metadata;
    CPreviewPage m_preview;
    // Sheet windows of this process that are open: the last one to close ends the loop.
    static inline int s_openSheets = 0;
};
