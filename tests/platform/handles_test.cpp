#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

bool IsOpenHandle(HANDLE h)
{
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

std::wstring TempFilePath()
{
    wchar_t dir[MAX_PATH];
    wchar_t path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    ::GetTempFileNameW(dir, L"hnd", 0, path);
    return path;
}

HANDLE OpenTemp(const std::wstring& path)
{
    return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
}

TEST(FileHandle, StoresClosesAndMovesItsHandle)
{
    const std::wstring path = TempFilePath();
    HANDLE raw = OpenTemp(path);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    {
        FileHandle file(raw);
        EXPECT_TRUE(file.valid());
        EXPECT_EQ(file.get(), raw);

        FileHandle moved(std::move(file));
        EXPECT_FALSE(file.valid());
        EXPECT_EQ(moved.get(), raw);
        EXPECT_TRUE(IsOpenHandle(raw));

        FileHandle assigned;
        assigned = std::move(moved);
        EXPECT_EQ(assigned.get(), raw);
        EXPECT_TRUE(IsOpenHandle(raw));
    }
    EXPECT_FALSE(IsOpenHandle(raw));
    ::DeleteFileW(path.c_str());
}

TEST(FileHandle, ResetClosesTheOldHandleAndReleaseGivesItAway)
{
    const std::wstring path = TempFilePath();
    HANDLE first = OpenTemp(path);
    HANDLE second = OpenTemp(path);
    FileHandle file(first);
    file.reset(second);
    EXPECT_FALSE(IsOpenHandle(first));
    EXPECT_EQ(file.get(), second);

    HANDLE released = file.release();
    EXPECT_EQ(released, second);
    EXPECT_FALSE(file.valid());
    EXPECT_TRUE(IsOpenHandle(second));
    ::CloseHandle(released);
    ::DeleteFileW(path.c_str());
}

TEST(FindHandle, ClosesTheSearch)
{
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    std::wstring pattern = std::wstring(dir) + L"*";
    WIN32_FIND_DATAW data{};
    HANDLE raw = ::FindFirstFileW(pattern.c_str(), &data);
    ASSERT_NE(raw, INVALID_HANDLE_VALUE);
    {
        FindHandle find(raw);
        EXPECT_EQ(find.get(), raw);
        EXPECT_TRUE(::FindNextFileW(find.get(), &data) || ::GetLastError() == ERROR_NO_MORE_FILES);
    }
    SetLastError(0);
    EXPECT_FALSE(::FindNextFileW(raw, &data));
}

TEST(RegistryKey, KeepsTheKeyItWasGivenThroughPut)
{
    RegistryKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\ChronsetHandleTest", 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_TRUE(key.valid());
    const wchar_t text[] = L"kept";
    EXPECT_EQ(::RegSetValueExW(key.get(), L"v", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
              ERROR_SUCCESS);
    RegistryKey other(std::move(key));
    EXPECT_FALSE(key.valid());
    EXPECT_TRUE(other.valid());
    other.reset();
    EXPECT_EQ(::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\ChronsetHandleTest"), ERROR_SUCCESS);
}

TEST(GlobalMemory, LockScopeUnlocksAndOwnerFrees)
{
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64));
    ASSERT_TRUE(memory.valid());
    {
        GlobalLockScope lock(memory.get());
        ASSERT_NE(lock.data(), nullptr);
        EXPECT_EQ(static_cast<unsigned char*>(lock.data())[10], 0);
        EXPECT_EQ(::GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 1u);
    }
    EXPECT_EQ(::GlobalFlags(memory.get()) & GMEM_LOCKCOUNT, 0u);
}

TEST(GdiHandles, MemoryDcAndBitmapAreDeleted)
{
    HDC rawDc = nullptr;
    HBITMAP rawBitmap = nullptr;
    {
        BitmapHandle bitmap;
        MemoryDc dc(::CreateCompatibleDC(nullptr));
        ASSERT_TRUE(dc);
        rawDc = dc.get();
        bitmap.reset(::CreateCompatibleBitmap(dc.get(), 8, 8));
        ASSERT_TRUE(bitmap);
        rawBitmap = bitmap.get();
        EXPECT_EQ(::GetObjectType(rawDc), static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_EQ(::GetObjectType(rawBitmap), static_cast<DWORD>(OBJ_BITMAP));
        EXPECT_TRUE(::SelectObject(dc.get(), bitmap.get()));
    }
    EXPECT_EQ(::GetObjectType(rawDc), 0u);
    EXPECT_EQ(::GetObjectType(rawBitmap), 0u);
}

TEST(GdiHandles, WindowDcScopeReleasesTheWindowsDc)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    HDC raw = nullptr;
    {
        WindowDcScope dc(window);
        ASSERT_TRUE(dc.get());
        raw = dc.get();
        EXPECT_EQ(::WindowFromDC(dc.get()), window);
    }
    EXPECT_EQ(::ReleaseDC(window, raw), 0); // released already
    ::DestroyWindow(window);
}

TEST(IconHandle, DestroysTheIcon)
{
    BYTE andMask[32];
    BYTE xorMask[32] = {};
    std::fill(std::begin(andMask), std::end(andMask), BYTE{0xFF});
    HICON raw = ::CreateIcon(::GetModuleHandleW(nullptr), 16, 16, 1, 1, andMask, xorMask);
    ASSERT_NE(raw, nullptr);
    {
        IconHandle icon(raw);
        ICONINFO info{};
        EXPECT_TRUE(::GetIconInfo(icon.get(), &info));
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    ICONINFO info{};
    EXPECT_FALSE(::GetIconInfo(raw, &info));
}

struct CountedUnknown final : IUnknown {
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(ComPtr, CountsReferencesOnCopyMoveAndQuery)
{
    CountedUnknown object;
    {
        auto owner = ComPtr<IUnknown>::Attach(&object);
        EXPECT_EQ(object.refs, 1u);
        ComPtr<IUnknown> copy = owner;
        EXPECT_EQ(object.refs, 2u);
        ComPtr<IUnknown> moved = std::move(copy);
        EXPECT_EQ(object.refs, 2u);
        EXPECT_FALSE(copy);
        ComPtr<IUnknown> queried;
        EXPECT_EQ(moved.As(IID_IUnknown, queried), S_OK);
        EXPECT_EQ(object.refs, 3u);
        ComPtr<IUnknown> none;
        EXPECT_EQ(none.As(IID_IUnknown, queried), E_POINTER);
        EXPECT_EQ(object.refs, 3u);
    }
    EXPECT_EQ(object.refs, 0u);
}

} // namespace
