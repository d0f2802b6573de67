#pragma once

#include <windows.h>
#include <objbase.h>
#include <propidl.h>
#include <shtypes.h>

#include <utility>

// One move-only owner per kind of platform handle; the handle is released by the scope
// that acquired it on every path.
template <class Traits> class UniqueResource {
public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    [[nodiscard]] Type get() const noexcept { return value_; }
    [[nodiscard]] bool valid() const noexcept { return Traits::IsValid(value_); }
    explicit operator bool() const noexcept { return valid(); }

    Type release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void reset(Type value = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(value_, value);
        if (Traits::IsValid(old))
            Traits::Close(old);
    }
    // For out-parameters of creating calls: releases what is held, then hands out the slot.
    Type* put() noexcept
    {
        reset();
        return &value_;
    }

private:
    Type value_ = Traits::Invalid();
};

template <class T, T InvalidValue, class Closer> struct HandleTraits {
    using Type = T;
    static Type Invalid() noexcept { return InvalidValue; }
    static bool IsValid(Type value) noexcept { return value != InvalidValue; }
    static void Close(Type value) noexcept { Closer{}(value); }
};

struct CloseFileHandle {
    void operator()(HANDLE h) const noexcept { ::CloseHandle(h); }
};
struct CloseFindHandle {
    void operator()(HANDLE h) const noexcept { ::FindClose(h); }
};
struct DestroyIconHandle {
    void operator()(HICON h) const noexcept { ::DestroyIcon(h); }
};
struct DestroyMenuHandle {
    void operator()(HMENU h) const noexcept { ::DestroyMenu(h); }
};
struct FreeGlobalMemory {
    void operator()(HGLOBAL h) const noexcept { ::GlobalFree(h); }
};
struct CloseRegistryKey {
    void operator()(HKEY h) const noexcept { ::RegCloseKey(h); }
};
struct FreeLibraryModule {
    void operator()(HMODULE h) const noexcept { ::FreeLibrary(h); }
};
struct DeleteDeviceContext {
    void operator()(HDC h) const noexcept { ::DeleteDC(h); }
};
struct DeleteBitmap {
    void operator()(HBITMAP h) const noexcept { ::DeleteObject(h); }
};
struct FreeIdList {
    void operator()(ITEMIDLIST* h) const noexcept { ::CoTaskMemFree(h); }
};
struct DestroyWindowHandle {
    void operator()(HWND h) const noexcept { ::DestroyWindow(h); }
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type value) noexcept { return value != INVALID_HANDLE_VALUE && value != nullptr; }
    static void Close(Type value) noexcept { ::CloseHandle(value); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type value) noexcept { return value != INVALID_HANDLE_VALUE && value != nullptr; }
    static void Close(Type value) noexcept { ::FindClose(value); }
};

using FileHandle = UniqueResource<FileHandleTraits>;
using FindHandle = UniqueResource<FindHandleTraits>;
using IconHandle = UniqueResource<HandleTraits<HICON, nullptr, DestroyIconHandle>>;
using MenuHandle = UniqueResource<HandleTraits<HMENU, nullptr, DestroyMenuHandle>>;
using GlobalMemory = UniqueResource<HandleTraits<HGLOBAL, nullptr, FreeGlobalMemory>>;
using RegistryKey = UniqueResource<HandleTraits<HKEY, nullptr, CloseRegistryKey>>;
using LibraryModule = UniqueResource<HandleTraits<HMODULE, nullptr, FreeLibraryModule>>;
// A device context made by CreateCompatibleDC or CreateDCW; delete it before the bitmap
// selected into it.
using MemoryDc = UniqueResource<HandleTraits<HDC, nullptr, DeleteDeviceContext>>;
using BitmapHandle = UniqueResource<HandleTraits<HBITMAP, nullptr, DeleteBitmap>>;
// An item ID list the shell allocated (ILCombine, SHParseDisplayName and the like).
using ItemIdList = UniqueResource<HandleTraits<ITEMIDLIST*, nullptr, FreeIdList>>;
// A window this code created and destroys itself (not one a framework class owns).
using WindowHandle = UniqueResource<HandleTraits<HWND, nullptr, DestroyWindowHandle>>;

// The device context of a whole window (GetWindowDC), released with the scope.
class WindowDcScope {
public:
    explicit WindowDcScope(HWND window) noexcept : window_(window), dc_(::GetWindowDC(window)) {}
    ~WindowDcScope()
    {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    WindowDcScope(const WindowDcScope&) = delete;
    WindowDcScope& operator=(const WindowDcScope&) = delete;

    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Keeps a global memory block locked for the scope; the block itself stays with its owner.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) noexcept : memory_(memory), data_(memory ? ::GlobalLock(memory) : nullptr)
    {
    }
    ~GlobalLockScope()
    {
        if (data_)
            ::GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    [[nodiscard]] void* data() const noexcept { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

// An owned reference to a COM interface.
template <class T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept
    {
        ComPtr result;
        result.p_ = p;
        return result;
    }
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr& other) noexcept : p_(other.p_)
    {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    [[nodiscard]] T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    void reset() noexcept
    {
        if (T* old = std::exchange(p_, nullptr))
            old->Release();
    }
    T* detach() noexcept { return std::exchange(p_, nullptr); }
    T** put() noexcept
    {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    template <class U> [[nodiscard]] HRESULT As(REFIID iid, ComPtr<U>& out) const noexcept
    {
        if (!p_)
            return E_POINTER;
        return p_->QueryInterface(iid, out.put_void());
    }

private:
    T* p_ = nullptr;
};

// Memory handed out by COM calls (strings of property descriptions, display texts).
class CoTaskMemText {
public:
    CoTaskMemText() noexcept = default;
    ~CoTaskMemText() { ::CoTaskMemFree(text_); }
    CoTaskMemText(CoTaskMemText&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    CoTaskMemText& operator=(CoTaskMemText&& other) noexcept
    {
        if (this != &other) {
            ::CoTaskMemFree(text_);
            text_ = std::exchange(other.text_, nullptr);
        }
        return *this;
    }
    CoTaskMemText(const CoTaskMemText&) = delete;
    CoTaskMemText& operator=(const CoTaskMemText&) = delete;

    [[nodiscard]] const wchar_t* get() const noexcept { return text_; }
    [[nodiscard]] const wchar_t* c_str() const noexcept { return text_ ? text_ : L""; }
    wchar_t** put() noexcept
    {
        ::CoTaskMemFree(std::exchange(text_, nullptr));
        return &text_;
    }

private:
    wchar_t* text_ = nullptr;
};

// A storage medium a data object handed out, released with the scope.
class StorageMedium {
public:
    StorageMedium() noexcept = default;
    ~StorageMedium() { reset(); }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;

    STGMEDIUM* put() noexcept
    {
        reset();
        return &medium_;
    }
    [[nodiscard]] const STGMEDIUM& get() const noexcept { return medium_; }
    void reset() noexcept
    {
        if (medium_.tymed != TYMED_NULL)
            ::ReleaseStgMedium(&medium_);
        medium_ = STGMEDIUM{};
    }

private:
    STGMEDIUM medium_{};
};

// A property value that clears itself.
class PropVariantValue {
public:
    PropVariantValue() noexcept { ::PropVariantInit(&value_); }
    ~PropVariantValue() { ::PropVariantClear(&value_); }
    PropVariantValue(const PropVariantValue&) = delete;
    PropVariantValue& operator=(const PropVariantValue&) = delete;

    PROPVARIANT* get() noexcept { return &value_; }
    [[nodiscard]] const PROPVARIANT& value() const noexcept { return value_; }
    void clear() noexcept { ::PropVariantClear(&value_); }

private:
    PROPVARIANT value_;
};
