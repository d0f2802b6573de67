#include "framework/Dialog.h"
#include "framework/WindowImpl.h"
#include "tests/framework/TemplateBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT WM_PROBE = WM_APP + 1;
constexpr UINT WM_PASS_ON = WM_APP + 2;

HWND CreateStatic()
{
    return ::CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

class RecordingWindow : public CWindowImpl {
public:
    std::vector<std::wstring>* log = nullptr;
    std::wstring name;
    bool finalSeen = false;

    BEGIN_MSG_MAP(RecordingWindow)
        MESSAGE_HANDLER(WM_PASS_ON, OnPassOn)
        MESSAGE_HANDLER(WM_PROBE, OnProbe)
        MESSAGE_HANDLER(WM_PASS_ON, OnPassOnSecond)
    END_MSG_MAP()

    LRESULT OnProbe(UINT, WPARAM wParam, LPARAM, BOOL&)
    {
        log->push_back(name + L":probe");
        return static_cast<LRESULT>(wParam) + 1;
    }
    LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        log->push_back(name + L":first");
        handled = FALSE; // dispatch goes on to the next entry
        return 0;
    }
    LRESULT OnPassOnSecond(UINT, WPARAM, LPARAM, BOOL&)
    {
        log->push_back(name + L":second");
        return 7;
    }
    void OnFinalMessage(HWND) override { finalSeen = true; }
};

TEST(WindowImpl, MapHandlesItsMessagesAndLeavesTheRestToTheControl)
{
    std::vector<std::wstring> log;
    HWND hwnd = CreateStatic();
    ASSERT_TRUE(hwnd);
    RecordingWindow window;
    window.log = &log;
    window.name = L"w";
    ASSERT_TRUE(window.SubclassWindow(hwnd));
    EXPECT_EQ(window.m_hWnd, hwnd);
    EXPECT_FALSE(window.SubclassWindow(hwnd)); // one window per object

    EXPECT_EQ(::SendMessageW(hwnd, WM_PROBE, 41, 0), 42);
    EXPECT_EQ(::SendMessageW(hwnd, WM_PASS_ON, 0, 0), 7);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"w:probe", L"w:first", L"w:second"}));

    // Messages the map does not take still reach the control.
    ::SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
    EXPECT_EQ(CWindow(hwnd).GetWindowText(), L"changed");

    ::DestroyWindow(hwnd);
    EXPECT_TRUE(window.finalSeen);
    EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST(WindowImpl, LaterSubclassSeesMessagesFirstAndUnsubclassRestores)
{
    std::vector<std::wstring> log;
    HWND hwnd = CreateStatic();
    RecordingWindow inner;
    RecordingWindow outer;
    inner.log = outer.log = &log;
    inner.name = L"inner";
    outer.name = L"outer";
    ASSERT_TRUE(inner.SubclassWindow(hwnd));
    ASSERT_TRUE(outer.SubclassWindow(hwnd));

    ::SendMessageW(hwnd, WM_PROBE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"outer:probe"}));

    log.clear();
    EXPECT_EQ(outer.UnsubclassWindow(), hwnd);
    ::SendMessageW(hwnd, WM_PROBE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"inner:probe"}));

    inner.UnsubclassWindow();
    log.clear();
    EXPECT_EQ(::SendMessageW(hwnd, WM_PROBE, 0, 0), 0);
    EXPECT_TRUE(log.empty());
    ::DestroyWindow(hwnd);
    EXPECT_FALSE(inner.finalSeen);
}

class ContainerObject : public CMessageMap {
public:
    std::vector<std::wstring> log;

    BEGIN_MSG_MAP(ContainerObject)
        MESSAGE_HANDLER(WM_PROBE, OnOwnProbe)
        ALT_MSG_MAP(1)
        MESSAGE_HANDLER(WM_PROBE, OnFirstEditorProbe)
        ALT_MSG_MAP(2)
        MESSAGE_HANDLER(WM_PROBE, OnSecondEditorProbe)
    END_MSG_MAP()

    LRESULT OnOwnProbe(UINT, WPARAM, LPARAM, BOOL&)
    {
        log.push_back(L"map0");
        return 10;
    }
    LRESULT OnFirstEditorProbe(UINT, WPARAM, LPARAM, BOOL&)
    {
        log.push_back(L"map1");
        return 11;
    }
    LRESULT OnSecondEditorProbe(UINT, WPARAM, LPARAM, BOOL&)
    {
        log.push_back(L"map2");
        return 12;
    }
};

TEST(ContainedWindow, DispatchesToTheOwnersAlternateMap)
{
    ContainerObject owner;
    CContainedWindow first(&owner, 1);
    CContainedWindow second(&owner, 2);
    HWND a = CreateStatic();
    HWND b = CreateStatic();
    ASSERT_TRUE(first.SubclassWindow(a));
    ASSERT_TRUE(second.SubclassWindow(b));

    EXPECT_EQ(::SendMessageW(a, WM_PROBE, 0, 0), 11);
    EXPECT_EQ(::SendMessageW(b, WM_PROBE, 0, 0), 12);
    EXPECT_EQ(owner.log, (std::vector<std::wstring>{L"map1", L"map2"}));
    ::DestroyWindow(a);
    ::DestroyWindow(b);
    EXPECT_FALSE(first.IsSubclassed());
}

// A control object that lets an owner see its messages first, as the extended picker does.
class RoutedWindow : public CWindowImpl {
public:
    CMessageMap* owner = nullptr;
    DWORD ownerMap = 0;
    std::vector<std::wstring>* log = nullptr;

    BEGIN_MSG_MAP(RoutedWindow)
        CHAIN_MSG_MAP_OWNER(owner, ownerMap)
        MESSAGE_HANDLER(WM_PROBE, OnProbe)
        MESSAGE_HANDLER(WM_PASS_ON, OnProbe)
    END_MSG_MAP()

    LRESULT OnProbe(UINT, WPARAM, LPARAM, BOOL&)
    {
        log->push_back(L"own");
        return 20;
    }
};

class PassingOwner : public CMessageMap {
public:
    std::vector<std::wstring> log;

    BEGIN_MSG_MAP(PassingOwner)
        ALT_MSG_MAP(1)
        MESSAGE_HANDLER(WM_PROBE, OnProbe)
        MESSAGE_HANDLER(WM_PASS_ON, OnPassOn)
    END_MSG_MAP()

    LRESULT OnProbe(UINT, WPARAM, LPARAM, BOOL&)
    {
        log.push_back(L"owner");
        return 21;
    }
    LRESULT OnPassOn(UINT, WPARAM, LPARAM, BOOL& handled)
    {
        log.push_back(L"owner passes");
        handled = FALSE;
        return 0;
    }
};

TEST(OwnerRouting, OwnersAlternateMapSeesMessagesFirstOnTheWindowsOneObject)
{
    PassingOwner owner;
    RoutedWindow window;
    window.log = &owner.log;
    HWND hwnd = CreateStatic();
    ASSERT_TRUE(window.SubclassWindow(hwnd));

    // Without an owner the object's own map answers.
    EXPECT_EQ(::SendMessageW(hwnd, WM_PROBE, 0, 0), 20);
    window.owner = &owner;
    window.ownerMap = 1;
    EXPECT_EQ(::SendMessageW(hwnd, WM_PROBE, 0, 0), 21);
    // What the owner leaves goes on to the object's own map.
    EXPECT_EQ(::SendMessageW(hwnd, WM_PASS_ON, 0, 0), 20);
    // Another map id of the owner handles nothing here.
    window.ownerMap = 2;
    EXPECT_EQ(::SendMessageW(hwnd, WM_PROBE, 0, 0), 20);
    EXPECT_EQ(owner.log, (std::vector<std::wstring>{L"own", L"owner", L"owner passes", L"own", L"own"}));
    ::DestroyWindow(hwnd);
}

// A button that records the notifications its parent reflects back to it.
class ReflectedButton : public CWindowImpl {
public:
    int clicks = 0;
    BEGIN_MSG_MAP(ReflectedButton)
        REFLECTED_COMMAND_CODE_HANDLER(BN_CLICKED, OnReflectedClick)
    END_MSG_MAP()
    LRESULT OnReflectedClick(WORD, WORD, HWND, BOOL&)
    {
        ++clicks;
        return 0;
    }
};

class ReflectingDialog : public CDialogImpl {
public:
    int initCount = 0;
    BEGIN_MSG_MAP(ReflectingDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        ++initCount;
        return TRUE;
    }
};

TEST(Reflection, ChildNotificationsComeBackToTheChildOnly)
{
    TemplateBuilder tmpl(WS_POPUP | DS_SETFONT, 100, 50, L"host");
    tmpl.Control(100, L"BUTTON", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, L"press", 5, 5, 40, 14);
    ReflectingDialog dialog;
    HWND hwnd = dialog.CreateIndirect(nullptr, tmpl.Get(), ::GetModuleHandleW(nullptr));
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(dialog.m_hWnd, hwnd);
    EXPECT_EQ(dialog.initCount, 1);

    ReflectedButton button;
    ASSERT_TRUE(button.SubclassWindow(dialog.GetDlgItem(100)));
    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(button.clicks, 1);

    // A notification naming a window that is not our child is not reflected.
    HWND stranger = CreateStatic();
    ReflectedButton strangerObject;
    ASSERT_TRUE(strangerObject.SubclassWindow(stranger));
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(stranger));
    EXPECT_EQ(strangerObject.clicks, 0);

    // A menu command names no control and is left to the dialog's default handling.
    LRESULT result = -5;
    EXPECT_FALSE(ReflectNotification(hwnd, WM_COMMAND, MAKEWPARAM(100, 0), 0, result));
    EXPECT_EQ(result, -5);

    ::DestroyWindow(stranger);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

} // namespace
