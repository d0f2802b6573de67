#pragma once

#include "engine/TimestampOperations.h"
#include "framework/MessageMap.h"
#include "ui/DateTimePickerCtrlEx.h"
#include "ui/PageControls.h"
#include "ui/SpanBox.h"
#include "pages/OperationCombo.h"
#include "pages/ShellFileOpenDialogEx.h"
#include "res/resource.h"

#include <windows.h>

#include <optional>

// The operation combo box and value picker of each timestamp kind, in kind order.
inline constexpr int kOperationComboIds[TimestampKindCount] = {IDC_CREATED_OPERATION, IDC_ACCESSED_OPERATION,
                                                               IDC_MODIFIED_OPERATION};
inline constexpr int kValuePickerIds[TimestampKindCount] = {IDC_CREATED_VALUE, IDC_ACCESSED_VALUE, IDC_MODIFIED_VALUE};
// The span box that stands in the picker's place while the row's operation is the shift.
inline constexpr int kSpanBoxIds[TimestampKindCount] = {IDC_CREATED_SPAN, IDC_ACCESSED_SPAN, IDC_MODIFIED_SPAN};

// Operations that read the row's picker; the picker is enabled exactly for them.
inline bool IsValueOperation(TimestampOperation operation)
{
    return operation == OpSpecifiedDateTime || operation == OpSpecifiedTimeOfDay;
}

// The row block shared by the General and Advanced pages: the page's record of operations,
// values and spans, the rows' pickers and span boxes, and the handling of the rows' controls and the two buttons
// that fill all rows. T is the page class (a dialog with m_hWnd).
template <class T> class CHandlingOptions : public CMessageMap, public HandlingRecord {
public:
    CDateTimePickerCtrlEx pickers[TimestampKindCount];

    BEGIN_MSG_MAP(CHandlingOptions)
        COMMAND_RANGE_CODE_HANDLER(IDC_CREATED_OPERATION, IDC_MODIFIED_OPERATION, CBN_SELENDOK, OnOperationSelected)
        COMMAND_ID_HANDLER(IDC_CURRENT_DATE_TIME, OnCurrentDateTime)
        COMMAND_ID_HANDLER(IDC_BROWSE, OnBrowse)
        NOTIFY_RANGE_CODE_HANDLER(IDC_CREATED_VALUE, IDC_MODIFIED_VALUE, DTN_DATETIMECHANGE, OnValueChanged)
        COMMAND_RANGE_CODE_HANDLER(IDC_CREATED_SPAN, IDC_MODIFIED_SPAN, EN_CHANGE, OnSpanEdited)
        COMMAND_RANGE_CODE_HANDLER(IDC_CREATED_SPAN, IDC_MODIFIED_SPAN, EN_KILLFOCUS, OnSpanLeft)
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
    // Saving stops at a value that cannot be read, or at a shift whose span box names no span:
    // a beep, the focus on that control, and false; what was read before stays. A picker that
    // still shows the value its row was given keeps that value exactly. Loading sets every
    // row; a row whose value its picker cannot show gets "Don't change" with the picker
    // disabled, so that the picker's old value never counts; then a beep, the focus on the
    // first such row, and false.
    bool ExchangeRows(bool save)
    {
        HWND page = Page();
        if (save) {
            for (int k = 0; k < TimestampKindCount; ++k)
                operation[k] = ChosenOperation(::GetDlgItem(page, kOperationComboIds[k]));
            for (int k = 0; k < TimestampKindCount; ++k) {
                // A shift does not read its row's picker, which is hidden behind the span box.
                if (pickers[k].GetExactPickerFileTime(value[k]) == -1 && operation[k] != OpShiftBySpan) {
                    ShowFailedPicker(k);
                    return false;
                }
            }
            for (int k = 0; k < TimestampKindCount; ++k) {
                const std::optional<TimeSpan> typed = SpanInBox(::GetDlgItem(page, kSpanBoxIds[k]));
                if (typed) {
                    span[k] = *typed;
                } else if (operation[k] == OpShiftBySpan) {
                    PointAtFailedControl(page, ::GetDlgItem(page, kSpanBoxIds[k]));
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
        m_showingSpans = true;
        for (int k = 0; k < TimestampKindCount; ++k)
            ShowSpanInBox(::GetDlgItem(page, kSpanBoxIds[k]), span[k]);
        m_showingSpans = false;
        for (int k = 0; k < TimestampKindCount; ++k) {
            HWND combo = ::GetDlgItem(page, kOperationComboIds[k]);
            // Choosing an entry sends no notification, so the row's value control follows here.
            ChooseOperation(combo, operation[k]);
            ShowValueControl(k, ChosenOperation(combo));
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

    // The row's picker, enabled for the operations that read it, or for the shift the span box
    // in the picker's place; the hidden one leaves the tab order with it.
    void ShowValueControl(int k, TimestampOperation chosen) const
    {
        HWND picker = ::GetDlgItem(Page(), kValuePickerIds[k]);
        HWND box = ::GetDlgItem(Page(), kSpanBoxIds[k]);
        const bool shift = chosen == OpShiftBySpan;
        ::EnableWindow(picker, IsValueOperation(chosen));
        ::EnableWindow(box, shift);
        ::ShowWindow(shift ? picker : box, SW_HIDE);
        ::ShowWindow(shift ? box : picker, SW_SHOWNA);
    }

    // Spans typed but not yet stored, taken before the record fills the rows again.
    void StoreTypedSpans()
    {
        for (int k = 0; k < TimestampKindCount; ++k) {
            if (const std::optional<TimeSpan> typed = SpanInBox(::GetDlgItem(Page(), kSpanBoxIds[k])))
                span[k] = *typed;
        }
    }

    LRESULT OnOperationSelected(WORD, WORD id, HWND combo, BOOL&)
    {
        ShowValueControl(id - IDC_CREATED_OPERATION, ChosenOperation(combo));
        MarkSheetChanged();
        return 0;
    }

    LRESULT OnSpanEdited(WORD, WORD, HWND, BOOL&)
    {
        if (!m_showingSpans)
            MarkSheetChanged();
        return 0;
    }

    // A span the box reads is shown in its canonical form once the user leaves the box; other
    // text stays as typed until the page is left.
    LRESULT OnSpanLeft(WORD, WORD, HWND box, BOOL&)
    {
        if (const std::optional<TimeSpan> typed = SpanInBox(box))
            ShowSpanInBox(box, *typed);
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
        StoreTypedSpans();
        ExchangeRows(false);
        MarkSheetChanged();
        return 0;
    }

    LRESULT OnBrowse(WORD, WORD, HWND, BOOL&)
    {
        CShellFileOpenDialogEx dialog;
        if (UseTimestampOf(dialog, ::GetActiveWindow(), ::GetParent(Page()), *this)) {
            StoreTypedSpans();
            ExchangeRows(false);
            MarkSheetChanged();
        }
        return 0;
    }

private:
    bool m_showingSpans = false; // the record fills the span boxes, which is no edit of the user's
};

// The row block of the General page.
template <class T> class CGeneralOptions : public CHandlingOptions<T> {
};

// The row block of the Advanced page.
template <class T> class CAdvancedOptions : public CHandlingOptions<T> {
};
