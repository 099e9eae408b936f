// The PNG pictures of the toolkit's GUI seam: decoded once with the Windows Imaging Component into a
// top-down 32-bit bitmap with premultiplied alpha, and blended onto the window when it is painted.

#include "platform/win32/Win32Gui.h"

#include <windows.h>
// clang-format off
#include <initguid.h>
#include <wincodec.h>
// clang-format on

#include "platform/win32/Win32ComRef.h"
#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

namespace {

// The picture's raw bytes inside the loaded module (they live as long as the module).
bool FindRawData(HMODULE Module, const char16_t* Name, const BYTE*& Data, DWORD& Size) {
    const HRSRC resource = ::FindResourceW(Module, AsWide(Name), MAKEINTRESOURCEW(10)); // RT_RCDATA
    if (!resource) {
        return false;
    }
    const HGLOBAL loaded = ::LoadResource(Module, resource);
    Data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    Size = ::SizeofResource(Module, resource);
    return Data != nullptr && Size != 0;
}

} // namespace

std::vector<std::uint8_t> TWin32GuiPlatform::LoadVersionResource() {
    const HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)); // RT_VERSION
    const HGLOBAL loaded = resource ? ::LoadResource(nullptr, resource) : nullptr;
    const auto* data = loaded ? static_cast<const std::uint8_t*>(::LockResource(loaded)) : nullptr;
    return data ? std::vector<std::uint8_t>(data, data + ::SizeofResource(nullptr, resource))
                : std::vector<std::uint8_t>{};
}

HPICTURE_T TWin32GuiPlatform::LoadPngResource(const char16_t* lpName) {
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (!FindRawData(reinterpret_cast<HMODULE>(FModule), lpName, data, size)) {
        return 0;
    }
    FCom.Enter();
    TComRef<IWICImagingFactory> factory;
    TComRef<IWICStream> stream;
    TComRef<IWICBitmapDecoder> decoder;
    TComRef<IWICBitmapFrameDecode> frame;
    TComRef<IWICFormatConverter> converter;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))) ||
        FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())) ||
        FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
        return 0;
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 ||
        height > 4096) {
        return 0;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down, as the decoder writes its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        return 0;
    }
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        ::DeleteObject(bitmap);
        return 0;
    }
    return reinterpret_cast<HPICTURE_T>(bitmap);
}

bool TWin32GuiPlatform::DrawPicture(HDC_T hdc, HPICTURE_T Picture, std::int32_t X, std::int32_t Y) {
    const auto bitmap = reinterpret_cast<HBITMAP>(Picture);
    BITMAP size{};
    if (!::GetObjectW(bitmap, sizeof size, &size)) {
        return false;
    }
    const HDC target = reinterpret_cast<HDC>(hdc);
    const HDC source = ::CreateCompatibleDC(target);
    if (!source) {
        return false;
    }
    const HGDIOBJ previous = ::SelectObject(source, bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const BOOL drawn = ::GdiAlphaBlend(target, X, Y, size.bmWidth, size.bmHeight, source, 0, 0, size.bmWidth,
                                       size.bmHeight, blend);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
    return drawn != FALSE;
}

void TWin32GuiPlatform::FreePicture(HPICTURE_T Picture) {
    ::DeleteObject(reinterpret_cast<HBITMAP>(Picture));
}

} // namespace tarnwick::win32
