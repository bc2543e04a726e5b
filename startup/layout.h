// Placement of the startup window around its title picture, from measured rectangles.
#pragma once
#include <cstdint>

// A rectangle as the system measures it: right and bottom exclusive.
struct LayoutRect {
    int32_t left, top, right, bottom;
};

// Where the window, the picture and the two buttons go.
struct StartupLayout {
    LayoutRect image;                      // picture, client coordinates
    int32_t windowX, windowY;              // screen position of the window
    int32_t windowWidth, windowHeight;     // outer size of the window
    int32_t playLeft, quitLeft, buttonTop; // button positions, client coordinates
};

// Lays the window out around a width x height picture: the picture inset by half a button
// height less 2, the buttons below it, the window centred on the desktop. All arithmetic is
// signed 32-bit (wrapping, never undefined), products before quotients, quotients truncated
// toward zero, nothing clamped.
StartupLayout LayOutStartupWindow(const LayoutRect& desktop, const LayoutRect& window,
                                  const LayoutRect& client, const LayoutRect& button, int32_t width,
                                  int32_t height);

// Without a picture the window is laid out as for an empty strip three buttons wide and no
// rows high, so both buttons stand side by side with room around them.
StartupLayout LayOutStartupWindowWithoutPicture(const LayoutRect& desktop, const LayoutRect& window,
                                                const LayoutRect& client, const LayoutRect& button);

// Whether the laid-out window lies wholly within area (screen coordinates).
bool WindowLiesWithin(const StartupLayout& layout, const LayoutRect& area);

// Lays the window out around a width x height picture drawn at the largest whole scale from
// 1 up to maxScale at which the window lies within workArea (the screen less its taskbars),
// or at 1 when even that does not fit; the scale goes to *scale.
StartupLayout LayOutScaledPicture(const LayoutRect& desktop, const LayoutRect& workArea,
                                  const LayoutRect& window, const LayoutRect& client,
                                  const LayoutRect& button, int32_t width, int32_t height,
                                  int32_t maxScale, int32_t* scale);

// The largest picture whose window, laid out at scale 1 on a desktop that is all work area,
// lies within it; a size below 1 when not even a window without a picture does.
struct PictureSize {
    int32_t width, height;
};
PictureSize LargestFittingPicture(const LayoutRect& desktop, const LayoutRect& window,
                                  const LayoutRect& client, const LayoutRect& button);

// The whole number of screen pixels each picture pixel takes on a screen of dpi dots per inch:
// dpi / 96 rounded to the nearest, a half down (1 up to 144 dpi, 2 from 145 to 240, 3 from
// 241 to 336), at least 1 and at most kMaxPictureScale.
constexpr int32_t kMaxPictureScale = 16;
int32_t PictureScale(int32_t dpi);
