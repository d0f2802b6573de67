#pragma once

#include "engine/TimestampOperations.h"
#include "framework/MessageMap.h"
#include "ui/DateTimePickerCtrlEx.h"
#include "ui/PageControls.h"
#include "pages/ShellFileOpenDialogEx.h"
#include "res/resource.h"

#include <windows.h>

// The operation combo box and value picker of each timestamp kind, in kind order.
inline constexpr int kOperationComboIds[TimestampKindCount] = {IDC_CREATED_OPERATION, IDC_ACCESSED_OPERATION,
                                                               IDC_MODIFIED_OPERATION};
inline constexpr int kValuePickerIds[TimestampKindCount] = {IDC_CREATED_VALUE, IDC_ACCESSED_VALUE, IDC_MODIFIED_VALUE};

// Operations that read the row's picker; the picker is enabled exactly for them.
inline bool IsValueOperation(LRESULT operation)
{
    return operation == OpSpecifiedDateTime || operation == OpSpecifiedTimeOfDay;
}

// The row block shared by the General and Advanced pages: the page's record of operations
// and values, the rows' pickers, and the handling of the rows' controls and the two buttons
// that fill all rows. T is the page class (a dialog with m_hWnd).
template <class T> class CHandlingOptions : public CMessageMap, public HandlingRecord {
public:
    CDateTimePickerCtrlEx pickers[TimestampKindCount];

    BEGIN_MSG_MAP(CHandlingOptions)
        COMMAND_RANGE_CODE_HANDLER(IDC_CREATED_OPERATION, IDC_MODIFIED_OPERATION, CBN_SELENDOK, OnOperationSelected)
        COMMAND_ID_HANDLER(IDC_CURRENT_DATE_TIME, OnCurrentDateTime)
        COMMAND_ID_HANDLER(IDC_BROWSE, OnBrowse)
        NOTIFY_RANGE_CODE_HANDLER(IDC_CREATED_VALUE, IDC_MODIFIED_VALUE, DTN_DATETIMECHANGE, OnValueChanged)
    END_MSG_MAP()

    // Takes over the rows' picker controls; a picker already taken over stays as it is.
    void AttachPickers()
    {
        for (int k = 0; k < TimestampKindCount; ++k) {
            if (!pickers[k].IsSubclassed())
                pickers[k].SubclassPicker(::GetDlgItem(Page(), kValuePickerIds[k]));
        }
    }

    // Copies the rows' controls into the record (save) or the record into the controls.
    // Saving stops at a value that cannot be read: a beep, the focus on that picker, and false;
    // what was read before stays. Loading sets every row; a row whose value its picker cannot
    // show gets "Don't change" with the picker disabled, so that the picker's old value never
    // counts; then a beep, the focus on the first such row, and false.
    bool ExchangeRows(bool save)
    {
        HWND page = Page();
        if (save) {
            for (int k = 0; k < TimestampKindCount; ++k) {
                operation[k] = static_cast<TimestampOperation>(
                    ::SendDlgItemMessageW(page, kOperationComboIds[k], CB_GETCURSEL, 0, 0));
            }
            for (int k = 0; k < TimestampKindCount; ++k) {
                if (pickers[k].GetPickerFileTime(value[k]) == -1) {
                    ShowFailedPicker(k);
                    return false;
                }
            }
            return true;
        }

        int failed = -1;
        for (int k = 0; k < TimestampKindCount; ++k) {
            if (!pickers[k].SetPickerFileTime(GDT_VALID, value[k])) {
                operation[k] = OpDontChange;
                if (failed < 0)
                    failed = k;
            }
        }
        for (int k = 0; k < TimestampKindCount; ++k) {
            const WPARAM selection = operation[k] < 0 ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(operation[k]);
            ::SendDlgItemMessageW(page, kOperationComboIds[k], CB_SETCURSEL, selection, 0);
            // Setting a selection sends no notification, so the picker follows here.
            const LRESULT shown = ::SendDlgItemMessageW(page, kOperationComboIds[k], CB_GETCURSEL, 0, 0);
            ::EnableWindow(::GetDlgItem(page, kValuePickerIds[k]), IsValueOperation(shown));
        }
        if (failed < 0)
            return true;
        ShowFailedPicker(failed);
        return false;
    }

protected:
    [[nodiscard]] HWND Page() const { return static_cast<const T*>(this)->m_hWnd; }

    // Points the user at the picker of row k, through the dialog manager, which also keeps the
    // default button right. A disabled picker cannot take the focus; the row's operation box
    // beside it, which then says "Don't change", takes it instead.
    void ShowFailedPicker(int k) const
    {
        HWND target = ::GetDlgItem(Page(), kValuePickerIds[k]);
        if (!::IsWindowEnabled(target))
            target = ::GetDlgItem(Page(), kOperationComboIds[k]);
        PointAtFailedControl(Page(), target);
    }

    void MarkSheetChanged() const { static_cast<const T*>(this)->SetModified(); }

    LRESULT OnOperationSelected(WORD, WORD id, HWND combo, BOOL&)
    {
        const LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
        ::EnableWindow(::GetDlgItem(Page(), IDC_CREATED_VALUE + (id - IDC_CREATED_OPERATION)),
                       IsValueOperation(selection));
        MarkSheetChanged();
        return 0;
    }

    // A page option of its own (a check box, the name patterns) changed; the page's map goes on.
    LRESULT OnOptionChanged(WORD, WORD, HWND, BOOL& bHandled)
    {
        MarkSheetChanged();
        bHandled = FALSE;
        return 0;
    }

    LRESULT OnValueChanged(int, LPNMHDR, BOOL&)
    {
        MarkSheetChanged();
        return 0;
    }

    LRESULT OnCurrentDateTime(WORD, WORD, HWND, BOOL&)
    {
        const FileTime t = CurrentFileTime();
        for (int k = 0; k < TimestampKindCount; ++k) {
            operation[k] = OpSpecifiedDateTime;
            value[k] = t;
        }
        ExchangeRows(false);
        MarkSheetChanged();
        return 0;
    }

    LRESULT OnBrowse(WORD, WORD, HWND, BOOL&)
    {
        CShellFileOpenDialogEx dialog;
        if (UseTimestampOf(dialog, ::GetActiveWindow(), ::GetParent(Page()), *this)) {
            ExchangeRows(false);
            MarkSheetChanged();
        }
        return 0;
    }
};

// The row block of the General page.
template <class T> class CGeneralOptions : public CHandlingOptions<T> {
};

// The row block of the Advanced page.
template <class T> class CAdvancedOptions : public CHandlingOptions<T> {
};
