#include "tests/driver/Screenshot.h"

#include <windows.h>
#include <objidl.h> // gdiplus.h needs it, and WIN32_LEAN_AND_MEAN leaves it out
#include <gdiplus.h>

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
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    Gdiplus::Status saved = Gdiplus::GenericError;
    if (copied) {
        Gdiplus::Bitmap image(bitmap, nullptr);
        const CLSID png = PngEncoder();
        saved = image.Save(pngPath.c_str(), &png, nullptr);
    }
    DeleteObject(bitmap);
    if (!copied || saved != Gdiplus::Ok)
        throw std::runtime_error("the screenshot could not be taken or saved (GDI+ status " + std::to_string(saved) + ")");
}
