#pragma once

#include <windows.h>
#include <commctrl.h>

// Anything that answers window messages through a message map. A map may have alternate
// sections (map ids other than 0) for the contained windows an object handles on behalf
// of their own window (see CContainedWindow).
class CMessageMap {
public:
    virtual ~CMessageMap() = default;
    virtual bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                      DWORD dwMsgMapID) = 0;
};

// Offset added to a notification that a parent sends back to the control that caused it.
inline constexpr UINT OCM__BASE = WM_USER + 0x1C00;
inline constexpr UINT OCM_COMMAND = OCM__BASE + WM_COMMAND;
inline constexpr UINT OCM_NOTIFY = OCM__BASE + WM_NOTIFY;
inline constexpr UINT OCM_DRAWITEM = OCM__BASE + WM_DRAWITEM;
inline constexpr UINT OCM_MEASUREITEM = OCM__BASE + WM_MEASUREITEM;
inline constexpr UINT OCM_CTLCOLORSTATIC = OCM__BASE + WM_CTLCOLORSTATIC;

// Sends a control notification (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, ...) that arrived at
// `parent` back to the control that sent it, as OCM__BASE + message. Only direct children of
// `parent` receive reflections. False when the message names no such control.
bool ReflectNotification(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

// The control a notification message names, or null for messages that name none.
HWND NotificationSender(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Message-map entries. A map reads top to bottom; the first entry that handles a message
// ends the dispatch. A handler that sets bHandled = FALSE lets the dispatch continue.
#define BEGIN_MSG_MAP(theClass)                                                                                        \
public:                                                                                                                \
    bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, DWORD dwMsgMapID)  \
        override                                                                                                       \
    {                                                                                                                  \
        BOOL bHandled = TRUE;                                                                                          \
        (void)hWnd;                                                                                                    \
        (void)bHandled;                                                                                                \
        switch (dwMsgMapID) {                                                                                          \
        case 0:

#define ALT_MSG_MAP(mapId)                                                                                             \
    break;                                                                                                             \
    case mapId:

#define END_MSG_MAP()                                                                                                  \
    break;                                                                                                             \
    default:                                                                                                           \
        break;                                                                                                         \
        }                                                                                                              \
        (void)uMsg;                                                                                                    \
        (void)wParam;                                                                                                  \
        (void)lParam;                                                                                                  \
        (void)lResult;                                                                                                 \
        return false;                                                                                                  \
        }

#define CHRONSET_CALL_HANDLER(call)                                                                                    \
    {                                                                                                                  \
        bHandled = TRUE;                                                                                               \
        lResult = call;                                                                                                \
        if (bHandled)                                                                                                  \
            return true;                                                                                               \
    }

// LRESULT func(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
#define MESSAGE_HANDLER(msg, func)                                                                                     \
    if (uMsg == (msg))                                                                                                 \
    CHRONSET_CALL_HANDLER(func(uMsg, wParam, lParam, bHandled))

// LRESULT func(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled)
#define COMMAND_HANDLER(id, code, func)                                                                                \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code))                                      \
    CHRONSET_CALL_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_ID_HANDLER(id, func)                                                                                   \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id))                                                                  \
    CHRONSET_CALL_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                                                   \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast))                               \
    CHRONSET_CALL_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define COMMAND_RANGE_CODE_HANDLER(idFirst, idLast, code, func)                                                        \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast) && HIWORD(wParam) == (code))   \
    CHRONSET_CALL_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

// LRESULT func(int idCtrl, LPNMHDR pnmh, BOOL& bHandled)
#define NOTIFY_HANDLER(id, cd, func)                                                                                   \
    if (uMsg == WM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->idFrom == static_cast<UINT_PTR>(id) &&                 \
        reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd))                                              \
    CHRONSET_CALL_HANDLER(func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled))

#define NOTIFY_CODE_HANDLER(cd, func)                                                                                  \
    if (uMsg == WM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd))                         \
    CHRONSET_CALL_HANDLER(func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled))

#define NOTIFY_RANGE_CODE_HANDLER(idFirst, idLast, cd, func)                                                           \
    if (uMsg == WM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->idFrom >= static_cast<UINT_PTR>(idFirst) &&            \
        reinterpret_cast<LPNMHDR>(lParam)->idFrom <= static_cast<UINT_PTR>(idLast) &&                                  \
        reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd))                                              \
    CHRONSET_CALL_HANDLER(func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled))

// Reflected notifications, as a control receives them from its parent.
#define REFLECTED_COMMAND_CODE_HANDLER(cd, func)                                                                       \
    if (uMsg == OCM_COMMAND && HIWORD(wParam) == (cd))                                                                 \
    CHRONSET_CALL_HANDLER(func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled))

#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func)                                                                        \
    if (uMsg == OCM_NOTIFY && reinterpret_cast<LPNMHDR>(lParam)->code == static_cast<UINT>(cd))                        \
    CHRONSET_CALL_HANDLER(func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled))

// Hands the message to another map (a base class or a mix-in) with the same map id.
#define CHAIN_MSG_MAP(theChainClass)                                                                                   \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID))                          \
        return true;

// Hands the message first to an alternate map of the object that owns this window, as a
// contained window does, so the owner's map describes all its windows in one place while the
// window keeps a single C++ object. A null owner is skipped.
#define CHAIN_MSG_MAP_OWNER(owner, mapId)                                                                              \
    if ((owner) && (owner)->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, (mapId)))                        \
        return true;

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                                                           \
    if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, dwMsgMapID))                        \
        return true;

// Sends control notifications back to the direct child that sent them.
#define REFLECT_NOTIFICATIONS()                                                                                        \
    if (ReflectNotification(hWnd, uMsg, wParam, lParam, lResult))                                                      \
        return true;
