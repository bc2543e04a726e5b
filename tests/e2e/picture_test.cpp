// The title picture as the user sees it: painted in the startup window pixel for pixel with
// its own colours, inside a one-pixel frame, the window laid out around it; and a picture
// file that cannot be used leaves the window up without picture or frame.
#include "demo/title_picture.h"
#include "tests/e2e/scenario.h"
#include "demo/bmp_writer.h"
#include "startup/layout.h"
#include "tests/unit/bmp_load_helper.h"

#include <sstream>

namespace e2e
{
namespace
{

const DWORD kPaintTimeoutMs = Scaled(5000);

// 0x00RRGGBB, as CaptureScreen gives pixels.
uint32_t Rgb(COLORREF c)
{
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

uint32_t Rgb(const bmpw::RgbQuad& q)
{
    return uint32_t(q.red) << 16 | uint32_t(q.green) << 8 | q.blue;
}

// Where the launcher places things, in client coordinates except the window (screen).
struct Placement {
    int windowX, windowY, windowWidth, windowHeight;
    int playLeft, quitLeft, buttonTop;
};

// Checks the window, client and buttons against the expected placement: one-pixel border,
// buttons 40 x 14 dialog units (80 x 28 in the system font at 96 dpi).
void ExpectPlacement(const DialogGeometry& g, const Placement& want, int buttonWidth = 80,
                     int buttonHeight = 28)
{
    EXPECT_EQ(g.window.left, want.windowX);
    EXPECT_EQ(g.window.top, want.windowY);
    EXPECT_EQ(g.window.right - g.window.left, want.windowWidth);
    EXPECT_EQ(g.window.bottom - g.window.top, want.windowHeight);
    EXPECT_EQ(g.client.left - g.window.left, 1);
    EXPECT_EQ(g.client.top - g.window.top, 1);
    EXPECT_EQ(g.client.right - g.client.left, want.windowWidth - 2);
    EXPECT_EQ(g.client.bottom - g.client.top, want.windowHeight - 2);
    for (const RECT* button : {&g.play, &g.quit}) {
        EXPECT_EQ(button->right - button->left, buttonWidth);
        EXPECT_EQ(button->bottom - button->top, buttonHeight);
    }
    EXPECT_EQ(g.play.left - g.client.left, want.playLeft);
    EXPECT_EQ(g.play.top - g.client.top, want.buttonTop);
    EXPECT_EQ(g.quit.left - g.client.left, want.quitLeft);
    EXPECT_EQ(g.quit.top - g.client.top, want.buttonTop);
}

// The client area as it should look, top-down rows; buttons are not part of it (compared
// pixels skip them). Without a picture, background only; each picture pixel a scale x scale
// block.
struct ClientImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

ClientImage ExpectedClient(int width, int height, uint32_t background, uint32_t frame,
                           const bmpw::Picture* picture, int inset, int scale = 1)
{
    ClientImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(size_t(width) * size_t(height), background);
    if (!picture)
        return image;
    auto put = [&image](int x, int y, uint32_t colour) {
        if (x >= 0 && y >= 0 && x < image.width && y < image.height)
            image.pixels[size_t(y) * size_t(image.width) + size_t(x)] = colour;
    };
    const int left = inset - 1, top = inset - 1;
    const int right = inset + picture->width * scale; // inclusive
    const int bottom = inset + picture->height * scale;
    for (int x = left; x <= right; ++x) {
        put(x, top, frame);
        put(x, bottom, frame);
    }
    for (int y = top; y <= bottom; ++y) {
        put(left, y, frame);
        put(right, y, frame);
    }
    for (int y = 0; y < picture->height * scale; ++y)
        for (int x = 0; x < picture->width * scale; ++x)
            put(inset + x, inset + y,
                Rgb(picture->palette[picture->pixels[size_t(y / scale) * size_t(picture->width) +
                                                     size_t(x / scale)]]));
    return image;
}

// Counts the client pixels on the screen that differ from the expected image, buttons left
// out; describes the first few (client coordinates).
int CountMismatches(const DialogGeometry& g, const ClientImage& want, std::string* report)
{
    std::vector<uint32_t> shown;
    if (!CaptureScreen(g.client, &shown) || shown.size() != want.pixels.size()) {
        *report = "client area not captured";
        return -1;
    }
    std::ostringstream out;
    int count = 0;
    for (int y = 0; y < want.height; ++y) {
        for (int x = 0; x < want.width; ++x) {
            POINT p = {g.client.left + x, g.client.top + y};
            if (PtInRect(&g.play, p) || PtInRect(&g.quit, p))
                continue;
            const size_t i = size_t(y) * size_t(want.width) + size_t(x);
            if (shown[i] == want.pixels[i])
                continue;
            if (++count <= 8)
                out << " (" << x << "," << y << ") want " << std::hex << want.pixels[i] << " got "
                    << shown[i] << std::dec;
        }
    }
    *report = out.str();
    return count;
}

// Waits until the window shows the expected client image; the mismatches of the last look.
int WaitForClientImage(const DialogGeometry& g, const ClientImage& want, std::string* report)
{
    int count = -1;
    for (DWORD waited = 0; waited <= kPaintTimeoutMs; waited += 50) {
        count = CountMismatches(g, want, report);
        if (count == 0)
            return 0;
        Sleep(50);
    }
    return count;
}

void QuitAndExpect302(Launcher& launcher, HWND dialog)
{
    PressButton(dialog, 302);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));
    EXPECT_EQ(code, 302u);
}

// --- Pictures painted ------------------------------------------------------------------------

// Mktitle: the picture in 24 bits with a gradient over it, made into a title by mktitle.exe.
enum class Encoding { Plain, Rle8, Rle4, Mktitle };

struct PaintCase {
    const char* name;
    bmpw::Picture (*draw)();
    Encoding encoding;
    Placement placement;
    uint8_t planes = 1; // as the file's header says
};

// A picture of 16 colours or fewer as a 4-bit BI_RLE4 file.
std::vector<uint8_t> WriteRle4Bmp(const bmpw::Picture& picture)
{
    bmpw::BmpFields fields;
    fields.biWidth = picture.width;
    fields.biHeight = picture.height;
    fields.biBitCount = 4;
    fields.biCompression = bmpw::kBiRle4;
    fields.biClrUsed = 16;
    return bmpw::BuildBmp(fields, picture.palette, bmpw::EncodeRle4(picture));
}

bmpw::Picture TestPicture420x280()
{
    return bmpw::MakeTestPicture(420, 280);
}

bmpw::Picture TestPicture100x80()
{
    return bmpw::MakeTestPicture(100, 80, 7);
}

bmpw::Picture TestPicture100x80In16Colours()
{
    bmpw::Picture picture = TestPicture100x80();
    for (uint8_t& value : picture.pixels)
        value &= 15;
    picture.palette.resize(16);
    return picture;
}

// The picture as a 24-bit BMP with a gradient over it, far more than 236 colours, made into a
// title by mktitle.exe: file gets mktitle's output, and picture becomes that file as the
// launcher's own reader decodes it, which is what the window must show.
::testing::AssertionResult MadeByMktitle(bmpw::Picture* picture, std::vector<uint8_t>* file)
{
    bmpw::BmpFields fields;
    fields.biWidth = picture->width;
    fields.biHeight = picture->height;
    fields.biBitCount = 24;
    const size_t stride = (size_t(picture->width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> rows(stride * size_t(picture->height));
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) {
            const bmpw::RgbQuad& c = picture->palette[picture->at(x, y)];
            uint8_t* p = &rows[size_t(picture->height - 1 - y) * stride + size_t(x) * 3];
            p[0] = uint8_t((c.blue + x % 256) / 2);
            p[1] = uint8_t((c.green + y % 256) / 2);
            p[2] = c.red;
        }
    const std::vector<uint8_t> source = bmpw::BuildBmp(fields, {}, rows);
    const std::string in = WorkRoot() + "mktitle-in.bmp", out = WorkRoot() + "mktitle-out.bmp";
    DeleteFileA(out.c_str());
    DWORD code = 0;
    std::string printed, bytes;
    if (!WriteBytes(in, source.data(), source.size()))
        return ::testing::AssertionFailure() << "cannot write " << in;
    const std::string problem = RunConsoleProgram(
        "\"" + BuildDir() + "mktitle.exe\" \"" + in + "\" \"" + out + "\"", &code, &printed);
    if (!problem.empty() || code != 0 || !ReadText(out, &bytes))
        return ::testing::AssertionFailure() << problem << " exit code " << code << ": " << printed;
    file->assign(bytes.begin(), bytes.end());
    const CoreLoad load = LoadThroughCore(*file);
    if (!load.ok || load.layout.colorCount > 236 || load.layout.colorCount < 100)
        return ::testing::AssertionFailure()
               << "mktitle wrote a title of " << load.layout.colorCount << " colours";
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x)
            picture->at(x, y) =
                load.rows()[size_t(picture->height - 1 - y) * size_t(load.layout.stride) +
                            size_t(x)];
    for (size_t i = 0; i < picture->palette.size(); ++i)
        picture->palette[i] = {load.colors[i].blue, load.colors[i].green, load.colors[i].red, 0};
    return ::testing::AssertionSuccess();
}

// 420 x 280 on the 640 x 480 desktop with 80 x 28 buttons: window (97, 65) 446 x 350, Play at
// (81, 306), Quit at (283, 306). A 100 x 80 picture is narrower than the two buttons: the
// window is 126 x 150 at (257, 165), the spare width -34 gives Play -68 / 7 = -9 and Quit
// -9 + 80 + (-102 / 7) = 57, quotients truncated toward zero, so the buttons overlap.
const Placement kWorkedExample = {97, 65, 446, 350, 81, 283, 306};
const Placement kNarrowPicture = {257, 165, 126, 150, -9, 57, 106};

const PaintCase kPaintCases[] = {
    {"DemoTitleRle8", demo::DrawTitlePicture, Encoding::Rle8, kWorkedExample},
    {"Test420x280Plain", TestPicture420x280, Encoding::Plain, kWorkedExample},
    {"Test420x280Rle8", TestPicture420x280, Encoding::Rle8, kWorkedExample},
    {"Test100x80Rle8", TestPicture100x80, Encoding::Rle8, kNarrowPicture},
    {"Test100x80Rle4", TestPicture100x80In16Colours, Encoding::Rle4, kNarrowPicture},
    {"Test100x80NoPlanes", TestPicture100x80, Encoding::Plain, kNarrowPicture, 0},
    {"Test420x280ByMktitle", TestPicture420x280, Encoding::Mktitle, kWorkedExample},
};

class PicturePainted : public ::testing::TestWithParam<PaintCase>
{
};

TEST_P(PicturePainted, PixelForPixelInsideTheFrameWithTheWindowLaidOutAroundIt)
{
    const PaintCase& c = GetParam();
    bmpw::Picture picture = c.draw();
    std::vector<uint8_t> file = c.encoding == Encoding::Rle4   ? WriteRle4Bmp(picture)
                                : c.encoding == Encoding::Rle8 ? bmpw::WriteRle8Bmp(picture)
                                                               : bmpw::WritePlainBmp(picture);
    if (c.encoding == Encoding::Mktitle) {
        ASSERT_TRUE(MadeByMktitle(&picture, &file));
    }
    file[14 + 12] = c.planes; // biPlanes

    DiscSpec disc;
    disc.root = TestDiscRoot();
    ASSERT_TRUE(LayOutDisc(disc));
    ASSERT_TRUE(WriteBytes(disc.root + "title.bmp", file.data(), file.size()));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));

    DialogGeometry g;
    ASSERT_TRUE(ReadGeometry(dialog, &g));
    ASSERT_EQ(g.desktop.right - g.desktop.left, 640);
    ASSERT_EQ(g.desktop.bottom - g.desktop.top, 480);
    ExpectPlacement(g, c.placement);

    // Inset: half a button height less 2. Frame in the window-frame colour one pixel outside
    // the picture; the dialog's background around it.
    const int inset = 28 / 2 - 2;
    const uint32_t frame = Rgb(GetSysColor(COLOR_WINDOWFRAME));
    const uint32_t background = Rgb(GetSysColor(COLOR_BTNFACE));
    ASSERT_NE(frame, background);
    const ClientImage want =
        ExpectedClient(g.client.right - g.client.left, g.client.bottom - g.client.top, background,
                       frame, &picture, inset);
    std::string report;
    EXPECT_EQ(WaitForClientImage(g, want, &report), 0) << report;

    QuitAndExpect302(launcher, dialog);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PicturePainted, ::testing::ValuesIn(kPaintCases),
                         [](const ::testing::TestParamInfo<PaintCase>& info) {
                             return std::string(info.param.name);
                         });

// --- High-DPI screens -------------------------------------------------------------------------

// On a screen of more than 144 dpi each picture pixel is a square block, 2 x 2 at 192 dpi,
// inside the one-pixel frame, and the window is laid out around the enlarged picture with the
// buttons as large as the system font makes them; at 144 dpi the picture stays 1:1, and so it
// does at 192 dpi when the window around it at 2 x 2 would not fit the screen.
TEST(PictureOnAHighDpiScreen, WholePixelBlocksWithTheWindowLaidOutAroundThem)
{
    const struct {
        DWORD dpi;
        int width, height, scale;
    } cases[] = {{144, 100, 80, 1}, {192, 100, 80, 2}, {192, 200, 150, 1}};
    DiscSpec disc;
    disc.root = TestDiscRoot();
    ASSERT_TRUE(LayOutDisc(disc));
    for (const auto& c : cases) {
        const bmpw::Picture picture = bmpw::MakeTestPicture(c.width, c.height, 7);
        const std::vector<uint8_t> file = bmpw::WriteRle8Bmp(picture);
        ASSERT_TRUE(WriteBytes(disc.root + "title.bmp", file.data(), file.size()));
        const UserRegistryValue dpi("Control Panel\\Desktop", "LogPixels", c.dpi);
        Launcher launcher;
        HWND dialog = nullptr;
        ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog)) << c.dpi;
        DialogGeometry g;
        ASSERT_TRUE(ReadGeometry(dialog, &g));

        const int bw = g.play.right - g.play.left, bh = g.play.bottom - g.play.top;
        EXPECT_GT(bh, 28) << c.dpi << " dpi: the system font grows with the dpi";
        const StartupLayout l =
            LayOutStartupWindow({0, 0, 640, 480}, {0, 0, 2, 2}, {0, 0, 0, 0}, {0, 0, bw, bh},
                                picture.width * c.scale, picture.height * c.scale);
        ExpectPlacement(g,
                        Placement{l.windowX, l.windowY, l.windowWidth, l.windowHeight, l.playLeft,
                                  l.quitLeft, l.buttonTop},
                        bw, bh);
        const ClientImage want =
            ExpectedClient(g.client.right - g.client.left, g.client.bottom - g.client.top,
                           Rgb(GetSysColor(COLOR_BTNFACE)), Rgb(GetSysColor(COLOR_WINDOWFRAME)),
                           &picture, l.image.left, c.scale);
        std::string report;
        EXPECT_EQ(WaitForClientImage(g, want, &report), 0) << c.dpi << " dpi:" << report;
        QuitAndExpect302(launcher, dialog);
    }
}

// --- Pictures refused ------------------------------------------------------------------------

struct RefusedCase {
    const char* name;
    std::vector<uint8_t> (*file)();
};

std::vector<uint8_t> GoodPlain()
{
    return bmpw::WritePlainBmp(bmpw::MakeTestPicture(64, 48));
}

std::vector<uint8_t> EmptyFile()
{
    return {};
}

std::vector<uint8_t> HeaderCut()
{
    std::vector<uint8_t> bytes = GoodPlain();
    bytes.resize(20); // file header and a few bytes of the info header
    return bytes;
}

std::vector<uint8_t> ColourTableCut()
{
    std::vector<uint8_t> bytes = GoodPlain();
    bytes.resize(14 + 40 + 100);
    return bytes;
}

std::vector<uint8_t> PlainRowsCut()
{
    std::vector<uint8_t> bytes = GoodPlain();
    bytes.resize(bytes.size() - 64 * 10); // ten rows short
    return bytes;
}

std::vector<uint8_t> TwentyFourBit()
{
    bmpw::BmpFields f;
    f.biWidth = 64;
    f.biHeight = 48;
    f.biBitCount = 24;
    std::vector<uint8_t> rows(size_t(64 * 3) * 48);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t(i * 31);
    return bmpw::BuildBmp(f, {}, rows);
}

std::vector<uint8_t> Garbage()
{
    std::vector<uint8_t> bytes(4096);
    uint32_t state = 12345;
    for (uint8_t& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = uint8_t(state >> 24);
    }
    bytes[0] = 'M'; // never a BMP signature
    bytes[1] = 'Z';
    return bytes;
}

const RefusedCase kRefusedCases[] = {
    {"EmptyFile", EmptyFile},           {"HeaderCut", HeaderCut},
    {"ColourTableCut", ColourTableCut}, {"PlainRowsCut", PlainRowsCut},
    {"TwentyFourBit", TwentyFourBit},   {"Garbage", Garbage},
};

class PictureRefused : public ::testing::TestWithParam<RefusedCase>
{
};

// Without a picture the window is laid out as for an empty strip three buttons wide: a 264 x
// 68 client area, so the window is 266 x 70 at (187, 205), Play at (30, 26) and Quit at
// (155, 26).
TEST_P(PictureRefused, WindowStaysUpWithoutPictureOrFrameAndQuitEndsIt)
{
    const std::vector<uint8_t> file = GetParam().file();
    DiscSpec disc;
    disc.root = TestDiscRoot();
    ASSERT_TRUE(LayOutDisc(disc));
    ASSERT_TRUE(WriteBytes(disc.root + "title.bmp", file.data(), file.size()));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));
    EXPECT_TRUE(ListBoxes(launcher.pi.dwProcessId).empty()); // a refused picture is not reported

    DialogGeometry g;
    ASSERT_TRUE(ReadGeometry(dialog, &g));
    ExpectPlacement(g, Placement{187, 205, 266, 70, 30, 155, 26});

    const uint32_t background = Rgb(GetSysColor(COLOR_BTNFACE));
    const ClientImage want = ExpectedClient(
        g.client.right - g.client.left, g.client.bottom - g.client.top, background, 0, nullptr, 0);
    std::string report;
    EXPECT_EQ(WaitForClientImage(g, want, &report), 0) << report;
    EXPECT_TRUE(IsRunning(launcher));

    QuitAndExpect302(launcher, dialog);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureRefused, ::testing::ValuesIn(kRefusedCases),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace e2e
