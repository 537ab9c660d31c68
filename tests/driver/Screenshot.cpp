#include "tests/driver/Screenshot.h"

#include "tests/driver/Wait.h"

#include <windows.h>
#include <objidl.h> // gdiplus.h needs it, and WIN32_LEAN_AND_MEAN leaves it out
#include <gdiplus.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

// GDI+ from the first screenshot to the end of the driver.
class GdiPlusSession {
public:
    GdiPlusSession()
    {
        const Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
            throw std::runtime_error("GdiplusStartup failed");
    }
    ~GdiPlusSession() { Gdiplus::GdiplusShutdown(token); }

private:
    ULONG_PTR token = 0;
};

CLSID PngEncoder()
{
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT index = 0; index < count; ++index)
        if (std::wstring(encoders[index].MimeType) == L"image/png")
            return encoders[index].Clsid;
    throw std::runtime_error("GDI+ has no PNG encoder");
}

// The screen inside a rectangle, as 32-bit pixels.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

ScreenImage CaptureScreen(const RECT& area)
{
    ScreenImage image{area.right - area.left, area.bottom - area.top, {}};
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = image.width;
    format.bmiHeader.biHeight = -image.height; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const BOOL copied = bitmap && BitBlt(memory, 0, 0, image.width, image.height, screen, area.left, area.top,
                                         SRCCOPY | CAPTUREBLT);
    GdiFlush();
    if (copied) {
        const auto* first = static_cast<const std::uint32_t*>(bits);
        image.pixels.assign(first, first + static_cast<size_t>(image.width) * image.height);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied)
        throw std::runtime_error("the screen could not be copied");
    return image;
}

void SavePng(ScreenImage& image, const std::wstring& path)
{
    Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppRGB,
                           reinterpret_cast<BYTE*>(image.pixels.data()));
    const CLSID png = PngEncoder();
    const Gdiplus::Status saved = bitmap.Save(path.c_str(), &png, nullptr);
    if (saved != Gdiplus::Ok)
        throw std::runtime_error("the screenshot could not be saved (GDI+ status " + std::to_string(saved) + ")");
}

// Longer than Wine waits before it copies a window's drawing to the X server when the window's
// thread does not go idle sooner.
constexpr ULONGLONG stillFor = 60;

} // namespace

void SaveScreenshot(HWND window, const std::wstring& pngPath, int margin)
{
    static GdiPlusSession session;
    // RDW_UPDATENOW sends the paint messages to the window's thread and waits for them, so the
    // picture shows the window as it is now, not half-painted after a move or a change.
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    RECT area{};
    if (!GetWindowRect(window, &area))
        throw std::runtime_error("the window to photograph is gone");
    InflateRect(&area, margin, margin);

    // What the window's thread has drawn may reach the screen a little later: take the picture
    // once it has held still for a while.
    ScreenImage image = CaptureScreen(area);
    ULONGLONG stillSince = GetTickCount64();
    WaitUntil([&] {
        ScreenImage again = CaptureScreen(area);
        if (again.pixels != image.pixels) {
            image = std::move(again);
            stillSince = GetTickCount64();
        }
        return GetTickCount64() - stillSince >= stillFor;
    }, 2000);
    SavePng(image, pngPath);
}
