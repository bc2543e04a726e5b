#include "startup/layout.h"

namespace
{

// Signed 32-bit results with two's-complement wrap: the layout takes picture sizes as they
// stand, and no input may make the arithmetic undefined.
int32_t Wrap(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}
int32_t Add(int32_t a, int32_t b)
{
    return Wrap(int64_t(a) + b);
}
int32_t Sub(int32_t a, int32_t b)
{
    return Wrap(int64_t(a) - b);
}
int32_t Mul(int32_t a, int32_t b)
{
    return Wrap(int64_t(a) * b);
}
int32_t Width(const LayoutRect& r)
{
    return Sub(r.right, r.left);
}
int32_t Height(const LayoutRect& r)
{
    return Sub(r.bottom, r.top);
}

} // namespace

StartupLayout LayOutStartupWindow(const LayoutRect& desktop, const LayoutRect& window,
                                  const LayoutRect& client, const LayoutRect& button, int32_t width,
                                  int32_t height)
{
    const int32_t nx = Sub(Width(window), Width(client));
    const int32_t ny = Sub(Height(window), Height(client));
    const int32_t bw = Width(button);
    const int32_t bh = Height(button);
    const int32_t m = bh / 2 - 2; // C++ division truncates toward zero

    StartupLayout out;
    out.image = {m, m, Add(m, width), Add(m, height)};
    const int32_t cw = Add(Mul(2, m), width);
    const int32_t ch = Add(Add(Mul(2, bh), m), height);
    out.windowWidth = Add(cw, nx);
    out.windowHeight = Add(ch, ny);
    out.windowX = Sub(Width(desktop), out.windowWidth) / 2;
    out.windowY = Sub(Height(desktop), out.windowHeight) / 2;
    const int32_t spare = Sub(out.windowWidth, Mul(2, bw));
    out.playLeft = Mul(2, spare) / 7;
    out.buttonTop = Add(Add(m, height), Mul(2, bh) / 4);
    out.quitLeft = Add(Add(out.playLeft, bw), Mul(3, spare) / 7);
    return out;
}

StartupLayout LayOutStartupWindowWithoutPicture(const LayoutRect& desktop, const LayoutRect& window,
                                                const LayoutRect& client, const LayoutRect& button)
{
    return LayOutStartupWindow(desktop, window, client, button, Mul(3, Width(button)), 0);
}

bool WindowLiesWithin(const StartupLayout& l, const LayoutRect& area)
{
    return l.windowX >= area.left && l.windowY >= area.top &&
           l.windowWidth <= Sub(area.right, l.windowX) &&
           l.windowHeight <= Sub(area.bottom, l.windowY);
}

StartupLayout LayOutScaledPicture(const LayoutRect& desktop, const LayoutRect& workArea,
                                  const LayoutRect& window, const LayoutRect& client,
                                  const LayoutRect& button, int32_t width, int32_t height,
                                  int32_t maxScale, int32_t* scale)
{
    StartupLayout l;
    for (*scale = maxScale > 1 ? maxScale : 1;; --*scale) {
        l = LayOutStartupWindow(desktop, window, client, button, Mul(width, *scale),
                                Mul(height, *scale));
        // A scaled size beyond 32 bits, wrapped, might seem to fit: the picture's own size is
        // compared first, divided rather than multiplied.
        if (*scale == 1 || (width <= Width(workArea) / *scale &&
                            height <= Height(workArea) / *scale && WindowLiesWithin(l, workArea)))
            return l;
    }
}

PictureSize LargestFittingPicture(const LayoutRect& desktop, const LayoutRect& window,
                                  const LayoutRect& client, const LayoutRect& button)
{
    // Each picture pixel adds one to the window's size: what a 0 x 0 picture's window leaves.
    const StartupLayout empty = LayOutStartupWindow(desktop, window, client, button, 0, 0);
    return {Sub(Width(desktop), empty.windowWidth), Sub(Height(desktop), empty.windowHeight)};
}

int32_t PictureScale(int32_t dpi)
{
    if (dpi <= 144)
        return 1;
    if (dpi >= kMaxPictureScale * 96)
        return kMaxPictureScale;
    return (dpi + 47) / 96;
}
