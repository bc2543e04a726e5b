// The startup window as it appears without a title picture: the layout must still show
// both buttons whole, side by side, and draw no frame.
#include "tests/e2e/scenario.h"

namespace e2e
{
namespace
{

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(StartupWindow, WithoutPictureBothButtonsStandWholeAndNoFrameIsDrawn)
{
    DiscSpec disc;
    disc.root = TestDiscRoot();
    disc.withPicture = false; // autorun.inf names title.bmp, which is not there
    ASSERT_TRUE(LayOutDisc(disc));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));
    EXPECT_TRUE(ListBoxes(launcher.pi.dwProcessId).empty()); // a missing picture is not reported

    DialogGeometry g;
    ASSERT_TRUE(ReadGeometry(dialog, &g));
    // 40 x 14 dialog units in the system font.
    EXPECT_EQ(g.play.right - g.play.left, 80);
    EXPECT_EQ(g.play.bottom - g.play.top, 28);
    EXPECT_EQ(g.quit.right - g.quit.left, 80);
    EXPECT_EQ(g.quit.bottom - g.quit.top, 28);
    EXPECT_TRUE(Inside(g.play, g.client));
    EXPECT_TRUE(Inside(g.quit, g.client));
    EXPECT_EQ(g.play.top, g.quit.top);
    EXPECT_LE(g.play.right, g.quit.left); // side by side, Play first, no overlap
    // One-pixel border, centred on the desktop without the desktop's own origin.
    const int w = g.window.right - g.window.left, h = g.window.bottom - g.window.top;
    EXPECT_EQ(w - (g.client.right - g.client.left), 2);
    EXPECT_EQ(h - (g.client.bottom - g.client.top), 2);
    EXPECT_EQ(g.window.left, ((g.desktop.right - g.desktop.left) - w) / 2);
    EXPECT_EQ(g.window.top, ((g.desktop.bottom - g.desktop.top) - h) / 2);

    // Nothing but the background outside the buttons: no frame, no picture.
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(CaptureScreen(g.client, &pixels));
    const int cw = g.client.right - g.client.left;
    const uint32_t background = pixels[0];
    int others = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        POINT p = {g.client.left + LONG(i % size_t(cw)), g.client.top + LONG(i / size_t(cw))};
        if (!PtInRect(&g.play, p) && !PtInRect(&g.quit, p) && pixels[i] != background)
            ++others;
    }
    EXPECT_EQ(others, 0);

    PressButton(dialog, 302);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));
    EXPECT_EQ(code, 302u);
}

} // namespace
} // namespace e2e
