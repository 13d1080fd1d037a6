#include "screenshot.h"

#include <commctrl.h>
#include <prsht.h>
#include <wincodec.h>

#include <vector>

namespace m450host {
namespace {

using Picture = ScreenPicture;

}  // namespace

COLORREF ScreenPicture::At(UINT x, UINT y) const {
    if (x >= width || y >= height)
        return CLR_INVALID;
    const BYTE* pixel = pixels.data() + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

bool CapturePicture(HWND window, Picture* picture) {
    RECT rect{};
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    picture->width = static_cast<UINT>(rect.right - rect.left);
    picture->height = static_cast<UINT>(rect.bottom - rect.top);
    picture->stride = (picture->width * 3 + 3) & ~3u;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(picture->width);
    info.bmiHeader.biHeight = -static_cast<LONG>(picture->height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, static_cast<int>(picture->width), static_cast<int>(picture->height), screen,
                    rect.left, rect.top, SRCCOPY | CAPTUREBLT) != FALSE;
        GdiFlush();
        if (ok) {
            const BYTE* first = static_cast<const BYTE*>(bits);
            picture->pixels.assign(first, first + static_cast<size_t>(picture->stride) * picture->height);
        }
        SelectObject(memory, old);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    if (memory != nullptr)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

namespace {

template <typename T>
void ReleaseIf(T* object) {
    if (object != nullptr)
        object->Release();
}

// PNG through the imaging component.
HRESULT EncodePng(const Picture& picture, const std::wstring& path) {
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(options);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(picture.width, picture.height);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(picture.height, picture.stride, static_cast<UINT>(picture.pixels.size()),
                                const_cast<BYTE*>(picture.pixels.data()));
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    ReleaseIf(options);
    ReleaseIf(frame);
    ReleaseIf(encoder);
    ReleaseIf(stream);
    ReleaseIf(factory);
    return hr;
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::wstring& path, std::wstring* error) {
    Picture picture;
    if (!CapturePicture(window, &picture)) {
        *error = L"cannot copy the window from the screen";
        return false;
    }
    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HRESULT hr = EncodePng(picture, path);
    if (SUCCEEDED(initialized))
        CoUninitialize();
    if (FAILED(hr)) {
        *error = L"PNG encoding failed (" + std::to_wstring(static_cast<unsigned long>(hr)) + L")";
        return false;
    }
    return true;
}

void PumpMessages(HWND dialog, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog != nullptr && IsWindow(dialog) && PropSheet_IsDialogMessage(dialog, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

}  // namespace m450host
