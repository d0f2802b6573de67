#pragma once

#include "engine/TimestampOperations.h"
#include "framework/MessageMap.h"
#include "res/resource.h"

#include <windows.h>

// The operation combo box and value picker of each timestamp kind, in kind order.
inline constexpr int kOperationComboIds[TimestampKindCount] = {IDC_CREATED_OPERATION, IDC_ACCESSED_OPERATION,
                                                               IDC_MODIFIED_OPERATION};
inline constexpr int kValuePickerIds[TimestampKindCount] = {IDC_CREATED_VALUE, IDC_ACCESSED_VALUE,
                                                            IDC_MODIFIED_VALUE};

// The row block shared by the General and Advanced pages: the page's record of operations
// and values, and the handling of the rows' controls. T is the page class.
template <class T>
class CHandlingOptions : public CMessageMap, public HandlingRecord {
public:
    BEGIN_MSG_MAP(CHandlingOptions)
    END_MSG_MAP()

    // Copies the rows' controls into the record (save) or the record into the controls.
    bool ExchangeRows(bool save)
    {
        HWND page = static_cast<T*>(this)->m_hWnd;
        for (int k = 0; k < TimestampKindCount; ++k) {
            if (save) {
                operation[k] = static_cast<TimestampOperation>(
                    ::SendDlgItemMessageW(page, kOperationComboIds[k], CB_GETCURSEL, 0, 0));
            } else {
                const WPARAM selection = operation[k] < 0 ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(operation[k]);
                ::SendDlgItemMessageW(page, kOperationComboIds[k], CB_SETCURSEL, selection, 0);
            }
        }
        return true;
    }
};

template <class T>
class CGeneralOptions : public CHandlingOptions<T> {};

template <class T>
class CAdvancedOptions : public CHandlingOptions<T> {};
