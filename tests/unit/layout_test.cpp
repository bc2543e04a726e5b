#include "startup/layout.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace
{

const LayoutRect kDesktop = {0, 0, 640, 480};
const LayoutRect kWindow = {0, 0, 322, 450}; // 1-pixel border: 2 wider and taller
const LayoutRect kClient = {0, 0, 320, 448};
const LayoutRect kButton = {0, 0, 80, 28};

struct Expected {
    const char* rule;
    LayoutRect button;
    int32_t width, height;
    LayoutRect image;
    int32_t x, y, w, h, playLeft, quitLeft, buttonTop;
};

// The worked example and the edge cases: products before quotients, quotients truncated
// toward zero (never floored), nothing clamped.
// clang-format off
const Expected kCases[] = {
    {"worked example",                    kButton,          420, 280, {12, 12, 432, 292},  97,  65, 446, 350,  81, 283, 306},
    {"odd button height",                 {0, 0, 75, 23},   420, 280, { 9,  9, 429, 289}, 100,  71, 440, 337,  82, 281, 300},
    {"picture narrower than two buttons", kButton,          100,  80, {12, 12, 112,  92}, 257, 165, 126, 150,  -9,  57, 106},
    {"window larger than the desktop",    kButton,          701, 501, {12, 12, 713, 513}, -43, -45, 727, 571, 162, 485, 527},
};
// clang-format on

TEST(StartupLayout, MatchesWorkedExampleAndEdgeCases)
{
    for (const Expected& e : kCases) {
        SCOPED_TRACE(e.rule);
        const StartupLayout l =
            LayOutStartupWindow(kDesktop, kWindow, kClient, e.button, e.width, e.height);
        EXPECT_EQ(l.image.left, e.image.left);
        EXPECT_EQ(l.image.top, e.image.top);
        EXPECT_EQ(l.image.right, e.image.right);
        EXPECT_EQ(l.image.bottom, e.image.bottom);
        EXPECT_EQ(l.windowX, e.x);
        EXPECT_EQ(l.windowY, e.y);
        EXPECT_EQ(l.windowWidth, e.w);
        EXPECT_EQ(l.windowHeight, e.h);
        EXPECT_EQ(l.playLeft, e.playLeft);
        EXPECT_EQ(l.quitLeft, e.quitLeft);
        EXPECT_EQ(l.buttonTop, e.buttonTop);
    }
}

TEST(StartupLayout, DesktopOriginIsNotAdded)
{
    const LayoutRect shifted = {100, 50, 740, 530};
    const StartupLayout l = LayOutStartupWindow(shifted, kWindow, kClient, kButton, 420, 280);
    EXPECT_EQ(l.windowX, 97);
    EXPECT_EQ(l.windowY, 65);
}

TEST(StartupLayout, NonClientSizeComesFromWindowMinusClient)
{
    // A 4-pixel frame on each side and a 20-pixel caption: nx = 8, ny = 28.
    const LayoutRect window = {5, 5, 333, 481};
    const StartupLayout l = LayOutStartupWindow(kDesktop, window, kClient, kButton, 420, 280);
    EXPECT_EQ(l.windowWidth, 444 + 8);
    EXPECT_EQ(l.windowHeight, 348 + 28);
}

// Without a picture both buttons must stand whole inside the client area, side by side.
TEST(StartupLayout, WithoutPictureBothButtonsAreFullyVisible)
{
    const LayoutRect buttons[] = {{0, 0, 80, 28}, {0, 0, 75, 23}, {0, 0, 90, 28}, {0, 0, 40, 16}};
    const LayoutRect windows[] = {kWindow, {0, 0, 328, 476}}; // 1-pixel and thick frames
    for (const LayoutRect& button : buttons) {
        for (const LayoutRect& window : windows) {
            const StartupLayout l =
                LayOutStartupWindowWithoutPicture(kDesktop, window, kClient, button);
            const int32_t bw = button.right - button.left, bh = button.bottom - button.top;
            const int32_t nx = (window.right - window.left) - 320;
            const int32_t ny = (window.bottom - window.top) - 448;
            const int32_t cw = l.windowWidth - nx, ch = l.windowHeight - ny;
            SCOPED_TRACE(testing::Message() << "button " << bw << "x" << bh << " nx " << nx);
            EXPECT_GE(l.playLeft, 0);
            EXPECT_GE(l.quitLeft, l.playLeft + bw); // no overlap
            EXPECT_LE(l.quitLeft + bw, cw);
            EXPECT_GE(l.buttonTop, 0);
            EXPECT_LE(l.buttonTop + bh, ch);
            EXPECT_EQ(l.image.top, l.image.bottom); // no picture rows
            EXPECT_EQ(l.windowX, (640 - l.windowWidth) / 2);
        }
    }
}

TEST(StartupLayout, WithoutPictureExample)
{
    const StartupLayout l = LayOutStartupWindowWithoutPicture(kDesktop, kWindow, kClient, kButton);
    EXPECT_EQ(l.windowWidth, 266); // 2 x 12 + 3 x 80 + 2
    EXPECT_EQ(l.windowHeight, 70); // 2 x 28 + 12 + 2
    EXPECT_EQ(l.playLeft, 30);
    EXPECT_EQ(l.quitLeft, 155);
    EXPECT_EQ(l.buttonTop, 26);
}

// Sizes taken as they stand may be absurd; the arithmetic wraps in 32 bits instead of
// overflowing (UBSan would stop the native build here).
TEST(StartupLayout, ExtremeSizesWrapInThirtyTwoBits)
{
    const StartupLayout l =
        LayOutStartupWindow(kDesktop, kWindow, kClient, kButton, INT32_MAX, INT32_MAX);
    EXPECT_EQ(l.image.right, static_cast<int32_t>(12u + 0x7FFFFFFFu));
    EXPECT_EQ(l.windowWidth, static_cast<int32_t>(24u + 0x7FFFFFFFu + 2u));
    const StartupLayout n =
        LayOutStartupWindow(kDesktop, kWindow, kClient, kButton, INT32_MIN, INT32_MIN);
    EXPECT_EQ(n.image.right, static_cast<int32_t>(12u + 0x80000000u));
}

// Each picture pixel becomes a whole block of screen pixels: dpi / 96 to the nearest whole
// number, a half rounded down, never below 1 (nor above the cap, so sizes stay small).
TEST(PictureScale, NearestWholeNumberWithAHalfRoundedDown)
{
    const int32_t cases[][2] = {{96, 1},  {120, 1},   {144, 1},   {145, 2},       {168, 2},
                                {192, 2}, {240, 2},   {241, 3},   {288, 3},       {0, 1},
                                {-96, 1}, {1535, 16}, {1536, 16}, {INT32_MAX, 16}};
    for (const auto& c : cases)
        EXPECT_EQ(PictureScale(c[0]), c[1]) << c[0] << " dpi";
}

// The scale drawn at: the largest up to the screen's own whose window lies within the work
// area (the desktop less its taskbars), else 1. Buttons as Windows makes them at 192 dpi.
TEST(PictureScale, LargestThatKeepsTheWindowInTheWorkArea)
{
    const LayoutRect big = {0, 0, 160, 112};
    // clang-format off
    struct {
        const char* rule;
        LayoutRect desktop, work;
        int32_t width, height, maxScale, scale;
        bool within; // the window at that scale lies within the work area
    } cases[] = {
        {"2x fits",                        {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 300, 180, 2, 2, true},
        {"2x taller than the work area",   {0, 0, 640, 480},   {0, 0, 640, 450},   200, 100, 2, 1, true},
        {"2x under a taskbar at the top",  {0, 0, 1024, 768},  {0, 100, 1024, 768}, 400, 150, 2, 1, true},
        {"2x off a 2560 x 1440 screen",    {0, 0, 2560, 1440}, {0, 0, 2560, 1400}, 960, 680, 2, 1, true},
        {"3 allowed, 2 fits",              {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 400, 250, 3, 2, true},
        {"not even 1x fits",               {0, 0, 640, 480},   {0, 0, 640, 480},   701, 501, 2, 1, false},
        {"a width that wraps when scaled", {0, 0, 640, 480},   {0, 0, 640, 480},   0x40000000, 1, 4, 1, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        int32_t scale = 0;
        const StartupLayout l = LayOutScaledPicture(c.desktop, c.work, kWindow, kClient, big,
                                                    c.width, c.height, c.maxScale, &scale);
        EXPECT_EQ(scale, c.scale);
        const StartupLayout expected = LayOutStartupWindow(c.desktop, kWindow, kClient, big,
                                                           c.width * c.scale, c.height * c.scale);
        EXPECT_EQ(l.windowWidth, expected.windowWidth);
        EXPECT_EQ(l.windowY, expected.windowY);
        EXPECT_EQ(WindowLiesWithin(l, c.work), c.within);
    }
}

} // namespace
