#include "metadata/RowMenu.h"

#include "res/resource.h"

#include <algorithm>

void GrayRowMenu(HMENU menu, bool editable, bool hasValue)
{
    if (!editable) {
        const int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            const UINT id = ::GetMenuItemID(menu, i);
            if (id != 0 && id != IDM_COPY)
                ::EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | MF_GRAYED);
        }
    }
    if (!hasValue) {
        ::EnableMenuItem(menu, IDM_SET_MIDNIGHT, MF_BYCOMMAND | MF_GRAYED);
        ::EnableMenuItem(menu, IDM_SET_SECOND_TO_ZERO, MF_BYCOMMAND | MF_GRAYED);
    }
}

POINT KeepMenuPointOnMonitor(POINT point)
{
    if (::MonitorFromPoint(point, MONITOR_DEFAULTTONULL))
        return point;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info))
        return point;
    // The right edge is exclusive: the last pixel column still on the monitor.
    point.x = std::clamp(point.x, info.rcWork.left, std::max(info.rcWork.left, info.rcWork.right - 1));
    return point;
}
