#include "tools/screen_capture_win.h"

bool CaptureScreen(const RECT& rect, std::vector<uint32_t>* pixels)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = section ? CreateCompatibleDC(screen) : nullptr;
    bool ok = false;
    if (memory) {
        HGDIOBJ old = SelectObject(memory, section);
        ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        if (ok) {
            const uint32_t* p = static_cast<const uint32_t*>(bits);
            pixels->assign(p, p + size_t(width) * size_t(height));
            for (uint32_t& v : *pixels)
                v &= 0x00FFFFFF;
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    if (section)
        DeleteObject(section);
    ReleaseDC(nullptr, screen);
    return ok;
}
