#include "tests/support/Screenshot.h"

#include "platform/Handles.h"

#include <wincodec.h>

#include <vector>

namespace {

// The window as drawn, 24-bit rows top-down.
bool CaptureWindow(HWND window, bool withFrame, std::vector<BYTE>& pixels, UINT& width, UINT& height, UINT& stride)
{
    RECT bounds{};
    RECT client{};
    ::GetWindowRect(window, &bounds);
    ::GetClientRect(window, &client);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    if (withFrame) {
        origin = {bounds.left, bounds.top};
        client = {0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top};
    }
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

HRESULT SaveWindowPicture(HWND window, const std::wstring& path, bool withFrame)
{
    std::vector<BYTE> pixels;
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    if (!CaptureWindow(window, withFrame, pixels, width, height, stride))
        return E_FAIL;
    return WritePng(path, pixels, width, height, stride);
}
