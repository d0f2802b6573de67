#include "app/VerbServer.h"

#include "app/SelectionDropTarget.h"
#include "app/VerbClass.h"
#include "ui/Messages.h"
#include "ui/TextFormat.h"
#include "framework/Module.h"
#include "platform/Handles.h"
#include "res/resource.h"

#include <memory>

namespace {

constexpr UINT SelectionMessage = WM_APP + 1;
constexpr UINT_PTR IdleTimer = 1;
// A server that COM started but no client reached (the caller gave up) does not stay.
constexpr UINT IdleLimitMilliseconds = 60000;
constexpr const wchar_t* WindowClassName = L"ChronsetVerbServer";

class VerbServer;

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(VerbServer& server) : server_(server) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory lives as long as the server; COM's references do not keep the process.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    VerbServer& server_;
};

// Counts what keeps the process: objects handed out, server locks, and selections waiting
// for their turn on the thread.
class VerbServer {
public:
    VerbServer(HINSTANCE instance, const SheetOpener& openSheet) : instance_(instance), openSheet_(openSheet) {}
    ~VerbServer()
    {
        if (registration_)
            ::CoRevokeClassObject(registration_);
    }
    VerbServer(const VerbServer&) = delete;
    VerbServer& operator=(const VerbServer&) = delete;

    HRESULT Start()
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &VerbServer::WindowProc;
        windowClass.hInstance = instance_;
        windowClass.lpszClassName = WindowClassName;
        if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return HRESULT_FROM_WIN32(::GetLastError());
        window_.reset(
            ::CreateWindowExW(0, WindowClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance_, this));
        if (!window_)
            return HRESULT_FROM_WIN32(::GetLastError());
        ::SetTimer(window_.get(), IdleTimer, IdleLimitMilliseconds, nullptr);
        return ::CoRegisterClassObject(VerbClassId, &factory_, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &registration_);
    }

    void Lock()
    {
        ++locks_;
        reached_ = true;
    }
    void Unlock()
    {
        if (--locks_ == 0 && !sheetOpened_)
            ::PostQuitMessage(0);
    }

    IDropTarget* NewDropTarget()
    {
        IDropTarget* target = SelectionDropTarget::Create(
            [this](DroppedSelection&& selection) { Post(std::move(selection)); }, [this] { Unlock(); });
        if (target)
            Lock();
        return target;
    }

private:
    // The selection waits, holding a lock, until the thread is back in its message loop.
    void Post(DroppedSelection&& selection)
    {
        auto posted = std::make_unique<DroppedSelection>(std::move(selection));
        Lock();
        if (::PostMessageW(window_.get(), SelectionMessage, 0, reinterpret_cast<LPARAM>(posted.get())))
            posted.release();
        else
            Unlock();
    }

    void OnSelection(std::unique_ptr<DroppedSelection> selection)
    {
        if (OpenDroppedSelection(*selection, openSheet_))
            sheetOpened_ = true;
        Unlock();
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* server = reinterpret_cast<VerbServer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (server && message == SelectionMessage) {
            server->OnSelection(std::unique_ptr<DroppedSelection>(reinterpret_cast<DroppedSelection*>(lParam)));
            return 0;
        }
        if (server && message == WM_TIMER && wParam == IdleTimer) {
            ::KillTimer(window, IdleTimer);
            if (!server->reached_)
                ::PostQuitMessage(0);
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }

    HINSTANCE instance_;
    const SheetOpener& openSheet_;
    ClassFactory factory_{*this};
    DWORD registration_ = 0;
    WindowHandle window_;
    int locks_ = 0;
    bool reached_ = false;
    bool sheetOpened_ = false;
};

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    IDropTarget* target = server_.NewDropTarget();
    if (!target)
        return E_OUTOFMEMORY;
    const HRESULT hr = target->QueryInterface(iid, object);
    target->Release();
    return hr;
}

HRESULT ClassFactory::LockServer(BOOL lock)
{
    if (lock)
        server_.Lock();
    else
        server_.Unlock();
    return S_OK;
}

void ShowRefusal(const std::wstring& text)
{
    // The box has no owner window in this process, and the user is looking at Explorer.
    ShowMessage(nullptr, text, IDS_PRODUCT_NAME, MB_ICONERROR | MB_SETFOREGROUND);
}

} // namespace

bool OpenDroppedSelection(const DroppedSelection& selection, const SheetOpener& openSheet)
{
    if (selection.kind == DroppedSelection::Kind::NotOnDrive && !selection.itemName.empty()) {
        ShowRefusal(FillInserts(AppModule().LoadText(IDS_NOT_ON_DRIVE), {selection.itemName}));
        return false;
    }
    if (selection.kind != DroppedSelection::Kind::Paths || selection.paths.empty()) {
        ShowRefusal(AppModule().LoadText(IDS_SELECTION_UNREADABLE));
        return false;
    }
    const HRESULT opened = openSheet ? openSheet(selection.paths) : E_UNEXPECTED;
    if (FAILED(opened)) {
        ReportFailure(nullptr, opened, nullptr);
        return false;
    }
    // The shell, holding the foreground, passes it on to this server (CoAllowSetForegroundWindow
    // through its proxy of the drop target); it only moves when the server asks for it.
    if (HWND sheet = ::GetActiveWindow())
        ::SetForegroundWindow(sheet);
    return true;
}

HRESULT RunVerbServer(HINSTANCE instance, const SheetOpener& openSheet)
{
    CMessageLoop loop;
    AppModule().AddMessageLoop(&loop);
    HRESULT result = S_OK;
    {
        VerbServer server(instance, openSheet);
        result = server.Start();
        if (SUCCEEDED(result))
            result = loop.Run();
    }
    AppModule().RemoveMessageLoop();
    return result;
}
