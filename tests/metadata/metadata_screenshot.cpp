// Saves a picture of the Metadata page of a document, with the date editor open over a cell,
// as metadata-page-en.png or metadata-page-ja.png (by the user-interface language) in the
// folder given on the command line. The sheet is the program's own, built with the substitute
// property store. Exit code 0 when the picture was written.

#include "app/Dialog.h"
#include "framework/Module.h"
#include "metadata/PropertyKeys.h"
#include "platform/Handles.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/metadata/MetadataTestSupport.h"
#include "tests/support/PrivateDesktop.h"
#include "tests/metadata/StandardDocument.h"

#include <windows.h>
#include <commctrl.h>
#include <wincodec.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool Japanese()
{
    return ::GetUserDefaultUILanguage() == 0x0411;
}

// The names the Windows property system gives these properties in a Japanese interface.
void UseJapaneseNames(FakePropertySystem& store)
{
    store.Property(ContentCreatedKey).displayName = L"コンテンツの作成日時";
    store.Property(TotalEditingTimeKey).displayName = L"総編集時間";
    store.Property(DateSavedKey).displayName = L"最終保存日時";
}

void PumpFor(DWORD milliseconds)
{
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        PumpPendingMessages();
        ::Sleep(20);
    } while (::GetTickCount64() < end);
}

// The window's client area as drawn (without a window manager there is no frame to show),
// 24-bit rows top-down.
bool CaptureWindow(HWND window, std::vector<BYTE>& pixels, UINT& width, UINT& height, UINT& stride)
{
    RECT bounds{};
    RECT client{};
    ::GetWindowRect(window, &bounds);
    ::GetClientRect(window, &client);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    width = static_cast<UINT>(client.right);
    height = static_cast<UINT>(client.bottom);
    stride = (width * 3 + 3) & ~3u;

    WindowDcScope windowDc(window);
    BitmapHandle bitmap;
    MemoryDc memoryDc(::CreateCompatibleDC(windowDc.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap.reset(::CreateDIBSection(memoryDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!windowDc.get() || !memoryDc || !bitmap || !bits)
        return false;
    ::SelectObject(memoryDc.get(), bitmap.get());
    if (!::BitBlt(memoryDc.get(), 0, 0, static_cast<int>(width), static_cast<int>(height), windowDc.get(),
                  origin.x - bounds.left, origin.y - bounds.top, SRCCOPY))
        return false;
    ::GdiFlush();
    const BYTE* first = static_cast<const BYTE*>(bits);
    pixels.assign(first, first + static_cast<std::size_t>(stride) * height);
    return true;
}

HRESULT WritePng(const std::wstring& path, const std::vector<BYTE>& pixels, UINT width, UINT height, UINT stride)
{
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    factory.put_void());
    ComPtr<IWICStream> stream;
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(stream.put());
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    ComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put());
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(frame.put(), nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(width, height);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && format != GUID_WICPixelFormat24bppBGR)
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(height, stride, static_cast<UINT>(pixels.size()), const_cast<BYTE*>(pixels.data()));
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: metadata_screenshot FOLDER\n");
        return 2;
    }
    const std::wstring picture = std::wstring(argv[1]) + (Japanese() ? L"\\metadata-page-ja.png" : L"\\metadata-page-en.png");
    if (!UsePrivateDesktop() || FAILED(::CoInitialize(nullptr))) {
        std::fprintf(stderr, "no desktop or COM\n");
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);

    HRESULT result = E_FAIL;
    {
        CMessageLoop loop;
        AppModule().AddMessageLoop(&loop);
        TempFolder folder;
        const std::wstring file = folder.MakeFile(L"Quarterly report.docx");
        FakePropertySystem store(file);
        AddStandardDocument(store);
        if (Japanese())
            UseJapaneseNames(store);
        {
            CDialog sheet(file, store);
            HWND window = sheet.Create();
            if (window) {
                ::SendMessageW(window, PSM_SETCURSEL, 1, 0);
                CMetadataListImpl& list = sheet.MetadataPage().List();
                ListView_SetItemState(list.m_hWnd, ContentCreatedRow, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                list.BeginEdit(ContentCreatedRow, 1);
                PumpFor(500);
                ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                PumpFor(300);
                std::vector<BYTE> pixels;
                UINT width = 0;
                UINT height = 0;
                UINT stride = 0;
                if (list.EditRow() != ContentCreatedRow)
                    std::fprintf(stderr, "the editor did not stay open\n");
                else if (!CaptureWindow(window, pixels, width, height, stride))
                    std::fprintf(stderr, "the window could not be captured\n");
                else
                    result = WritePng(picture, pixels, width, height, stride);
                ::DestroyWindow(window);
                PumpPendingMessages();
            }
        }
        AppModule().RemoveMessageLoop();
    }
    ::CoUninitialize();
    if (FAILED(result)) {
        std::fprintf(stderr, "no picture: 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    std::printf("%ls\n", picture.c_str());
    return 0;
}
