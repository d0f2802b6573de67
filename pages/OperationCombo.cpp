#include "pages/OperationCombo.h"

#include "pages/HandlingOptions.h"
#include "ui/DlgInit.h"

namespace {

bool TagEntries(HWND combo, bool dataHasFolderOnly, OfferedOperations offered)
{
    WPARAM index = 0;
    for (const OperationEntry& entry : kOperationEntries) {
        if (entry.folderOnly && !dataHasFolderOnly)
            continue;
        if ((entry.folderOnly && !offered.folderOnly) || (entry.fileOnly && !offered.fileOnly)) {
            if (::SendMessageW(combo, CB_DELETESTRING, index, 0) == CB_ERR)
                return false;
            continue;
        }
        if (::SendMessageW(combo, CB_SETITEMDATA, index, static_cast<LPARAM>(entry.code)) == CB_ERR)
            return false;
        ++index;
    }
    return ::SendMessageW(combo, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(index);
}

} // namespace

bool FillOperationCombos(HWND page, UINT dataId, bool dataHasFolderOnly, OfferedOperations offered)
{
    bool filled = FillCombosFromDlgInit(page, dataId);
    for (int id : kOperationComboIds)
        filled = TagEntries(::GetDlgItem(page, id), dataHasFolderOnly, offered) && filled;
    return filled;
}

TimestampOperation ChosenOperation(HWND combo)
{
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return -1;
    const LRESULT code = ::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return code == CB_ERR ? -1 : static_cast<TimestampOperation>(code);
}

bool ChooseOperation(HWND combo, TimestampOperation code)
{
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        if (::SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0) == code)
            return ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == index;
    }
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    return false;
}
