#pragma once

#include "engine/FileTime.h"
#include "framework/WindowImpl.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

// The display format of every picker of the process: the user's short date, one space and
// the user's time format. Read from the locale on first use and kept until the process ends.
const std::wstring& PickerDisplayFormat();

// Takes over a date-time picker control: it shows date and time in the locale's formats and
// turns free text (typed by the user, or set as its window text) into a value.
class CDateTimePickerCtrlExImpl : public CWindowImpl {
public:
    // Attaches to an existing control and sets its display format; false when the control
    // cannot be taken over.
    bool SubclassPicker(HWND picker);

    // Lets an owner that uses the picker as one of its editors see every message first, in
    // its alternate map `mapId`; what the owner leaves is handled here. Null ends it.
    void RouteToOwner(CMessageMap* owner, DWORD mapId) noexcept
    {
        m_owner = owner;
        m_ownerMapId = mapId;
    }

    BEGIN_MSG_MAP(CDateTimePickerCtrlExImpl)
        CHAIN_MSG_MAP_OWNER(m_owner, m_ownerMapId)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        REFLECTED_NOTIFY_CODE_HANDLER(DTN_USERSTRINGW, OnUserString)
    END_MSG_MAP()

protected:
    // The instant the picker was last given exactly, whose local clock reading it showed then:
    // the reading alone loses the ticks below the second, and in the hour the clock repeats
    // it names two instants.
    std::optional<FileTime> m_exact;

private:
    LRESULT OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnUserString(int idCtrl, LPNMHDR header, BOOL& bHandled);

    CMessageMap* m_owner = nullptr;
    DWORD m_ownerMapId = 0;
};

// The picker with its value as a UTC file time in whole seconds.
class CDateTimePickerCtrlEx : public CDateTimePickerCtrlExImpl {
public:
    // GDT_VALID with the value in `utc`; the control's own GDT_NONE or GDT_ERROR when it holds
    // no valid date; -1 when the value names no UTC instant.
    int GetPickerFileTime(FileTime& utc) const;

    // As GetPickerFileTime, but while the picker still shows the local clock reading of the
    // value it was last given exactly (by SetPickerFileTime, or as an HTTP or ISO 8601 date
    // with its offset), that value itself, ticks and side of a repeated hour included.
    int GetExactPickerFileTime(FileTime& utc) const;

    // Shows `utc` (to the second) in local time with the validity flag `flag` and keeps it as
    // the exact value: non-zero on success, 0 when the time cannot be shown (the control keeps
    // its value).
    [[nodiscard]] LRESULT SetPickerFileTime(DWORD flag, FileTime utc);
};
