// DrawDib and FreeDib: pixels painted into a DIB section and read back.
#include "bitmap/dib.h"
#include "demo/bmp_writer.h"
#include "tests/win32/dib_test_support.h"

namespace
{

constexpr uint32_t kUntouched = 0x00123456;

// A 6 x 100 picture whose pixel (x, y) has value 2y + x, through a palette of distinct
// colours; loaded from a real file.
struct Picture100 {
    bmpw::Picture picture;
    DibImage* image = nullptr;

    Picture100()
    {
        picture.width = 6;
        picture.height = 100;
        picture.pixels.resize(600);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 6; ++x)
                picture.at(x, y) = uint8_t(2 * y + x);
        picture.palette.resize(256);
        for (int i = 0; i < 256; ++i)
            picture.palette[i] = bmpw::RgbQuad{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3 + 1), 0};
        std::string path = WriteTempFile("corvane_draw.bmp", bmpw::WritePlainBmp(picture));
        image = LoadDib(path.c_str());
        DeleteFileA(path.c_str());
    }
    ~Picture100() { FreeDib(image); }

    uint32_t Colour(int x, int y)
    {
        const bmpw::RgbQuad& q = picture.palette[picture.at(x, y)];
        return Rgb(q.red, q.green, q.blue);
    }
};

TEST(DrawDib, PaintsThePictureUnscaledThroughItsPalette)
{
    Picture100 p;
    ASSERT_NE(p.image, nullptr);
    Canvas canvas(10, 110, kUntouched);
    EXPECT_EQ(DrawDib(canvas.dc, 2, 3, p.image, 0, 0, 6, 100), 100);
    for (int y = 0; y < 110; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool inside = x >= 2 && x < 8 && y >= 3 && y < 103;
            uint32_t expected = inside ? p.Colour(x - 2, y - 3) : kUntouched;
            ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y;
        }
    }
}

// Source y counts from the top: rows 10 to 29 of a 100-row picture, which the bottom-up
// block holds from row 70 on.
TEST(DrawDib, SourceRectangleCountsFromTheTopLeft)
{
    Picture100 p;
    ASSERT_NE(p.image, nullptr);
    Canvas canvas(6, 22, kUntouched);
    DrawDib(canvas.dc, 1, 1, p.image, 1, 10, 4, 20);
    for (int y = 0; y < 22; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool inside = x >= 1 && x < 5 && y >= 1 && y < 21;
            uint32_t expected = inside ? p.Colour(x, y + 9) : kUntouched;
            ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y;
        }
    }
}

TEST(DrawDib, LeavesThePreviouslySelectedPalette)
{
    Picture100 p;
    ASSERT_NE(p.image, nullptr);
    Canvas canvas(6, 100);
    HGDIOBJ stock = GetCurrentObject(canvas.dc, OBJ_PAL);
    DrawDib(canvas.dc, 0, 0, p.image, 0, 0, 6, 100);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PAL), stock);

    LOGPALETTE own{0x300, 1, {{1, 2, 3, 0}}};
    HPALETTE mine = CreatePalette(&own);
    SelectPalette(canvas.dc, mine, FALSE);
    DrawDib(canvas.dc, 0, 0, p.image, 0, 0, 6, 100);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PAL), mine);
    EXPECT_EQ(canvas.At(0, 0), p.Colour(0, 0));
    SelectPalette(canvas.dc, HPALETTE(stock), FALSE);
    DeleteObject(mine);
}

// Pixel values beyond a short colour table show black, whatever the file's biClrUsed says.
TEST(DrawDib, ValuesBeyondAShortTablePaintBlack)
{
    bmpw::Picture p;
    p.width = 4;
    p.height = 1;
    p.pixels = {0, 1, 2, 200};
    p.palette = {bmpw::RgbQuad{0xFF, 0xFF, 0xFF, 0}, bmpw::RgbQuad{0, 0, 0xFF, 0}};
    std::string path = WriteTempFile("corvane_short.bmp", bmpw::WritePlainBmp(p));
    DibImage* image = LoadDib(path.c_str());
    DeleteFileA(path.c_str());
    ASSERT_NE(image, nullptr);
    Canvas canvas(4, 1, kUntouched);
    DrawDib(canvas.dc, 0, 0, image, 0, 0, 4, 1);
    EXPECT_EQ(canvas.At(0, 0), Rgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(canvas.At(1, 0), Rgb(0xFF, 0, 0));
    EXPECT_EQ(canvas.At(2, 0), 0u);
    EXPECT_EQ(canvas.At(3, 0), 0u);
    FreeDib(image);
}

TEST(DrawDib, NothingToPaintGivesZeroAndTouchesNothing)
{
    Canvas canvas(4, 4, kUntouched);
    HGDIOBJ before = GetCurrentObject(canvas.dc, OBJ_PAL);
    EXPECT_EQ(DrawDib(canvas.dc, 0, 0, nullptr, 0, 0, 4, 4), 0);
    DibImage empty{nullptr, nullptr};
    EXPECT_EQ(DrawDib(canvas.dc, 0, 0, &empty, 0, 0, 4, 4), 0);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PAL), before);
    EXPECT_EQ(canvas.At(0, 0), kUntouched);
}

TEST(FreeDib, ReleasesALoadedPictureAndIgnoresNull)
{
    EXPECT_EQ(FreeDib(nullptr), 0);
    Picture100 p;
    ASSERT_NE(p.image, nullptr);
    HPALETTE palette = p.image->Palette;
    EXPECT_EQ(GetObjectType(palette), DWORD(OBJ_PAL));
    EXPECT_EQ(FreeDib(p.image), 1);
    EXPECT_EQ(GetObjectType(palette), 0u);
    p.image = nullptr;
}

} // namespace
