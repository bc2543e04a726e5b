// The launcher's own RLE4 expansion against the platform's: for streams whose runs stay
// inside their rows and that end each row with one end of line, painting the expanded rows
// gives the same pixels as handing the BI_RLE4 data to GDI directly.
#include "bitmap/dib.h"
#include "tests/support/bmp_writer.h"
#include "tests/win32/dib_test_support.h"

#include <memory>
#include <random>

namespace
{

using Bytes = std::vector<uint8_t>;

struct Encoded {
    int32_t width, height;
    Bytes stream;
    std::vector<bmpw::RgbQuad> palette; // 16 colours
};

std::vector<bmpw::RgbQuad> Palette(uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<bmpw::RgbQuad> p(16);
    for (auto& q : p)
        q = bmpw::RgbQuad{uint8_t(random()), uint8_t(random()), uint8_t(random()), 0};
    return p;
}

// Rows of runs with two alternating values, absolute runs of odd and even pixel counts and
// deltas inside the row, one end of line each; an early end of bitmap now and then.
Encoded RandomStream(uint32_t seed)
{
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return uint32_t(random() % n); };
    Encoded e{int32_t(1 + below(40)), int32_t(1 + below(12)), {}, Palette(seed)};
    int32_t lastRow = below(5) == 0 ? int32_t(below(uint32_t(e.height))) : e.height - 1;
    for (int32_t row = 0; row <= lastRow; ++row) {
        int32_t x = 0;
        int32_t stop = below(3) == 0 ? 1 + int32_t(below(uint32_t(e.width))) : e.width;
        while (x < stop) {
            int32_t left = stop - x;
            uint32_t kind = x == 0 ? below(2) : below(3);
            if (kind == 1 && left >= 3) {
                uint32_t pixels = 3 + below(uint32_t(std::min(left, 255) - 2));
                e.stream.push_back(0);
                e.stream.push_back(uint8_t(pixels));
                uint32_t bytes = (pixels + 1) / 2;
                for (uint32_t i = 0; i < bytes; ++i)
                    e.stream.push_back(uint8_t(random()));
                if (bytes % 2)
                    e.stream.push_back(0);
                x += int32_t(pixels);
            } else if (kind == 2 && left >= 2) {
                uint8_t dx = uint8_t(1 + below(uint32_t(left - 1)));
                bmpw::AppendDelta(e.stream, dx, 0);
                x += dx;
            } else {
                uint8_t count = uint8_t(1 + below(uint32_t(std::min(left, 255))));
                bmpw::AppendRun(e.stream, count, uint8_t(random()));
                x += count;
            }
        }
        if (row < lastRow)
            bmpw::AppendEndOfLine(e.stream);
    }
    bmpw::AppendEndOfBitmap(e.stream);
    return e;
}

Encoded FromPicture(int32_t width, int32_t height, uint32_t seed)
{
    bmpw::Picture p = bmpw::MakeTestPicture(width, height, seed);
    for (uint8_t& v : p.pixels)
        v &= 15;
    return Encoded{width, height, bmpw::EncodeRle4(p), Palette(seed)};
}

// Paints the stream through LoadDib and DrawDib, and through GDI's own BI_RLE4 decoder onto
// a canvas filled with colour 0 (GDI leaves skipped pixels untouched; the launcher's
// expansion leaves them 0). Compares every pixel.
void ExpectSamePixels(const Encoded& e, const std::string& what)
{
    bmpw::BmpFields fields;
    fields.biWidth = e.width;
    fields.biHeight = e.height;
    fields.biBitCount = 4;
    fields.biCompression = bmpw::kBiRle4;
    std::string path =
        WriteTempFile("corvane_rle4_gdi.bmp", bmpw::BuildBmp(fields, e.palette, e.stream));
    DibImage* image = LoadDib(path.c_str());
    DeleteFileA(path.c_str());
    ASSERT_NE(image, nullptr) << what;
    Canvas ours(e.width, e.height, 0xFFFFFFFF);
    EXPECT_EQ(DrawDib(ours.dc, 0, 0, image, 0, 0, e.width, e.height), e.height) << what;
    FreeDib(image);

    // Exactly the stream's bytes, with biSizeImage saying so.
    std::unique_ptr<uint8_t[]> stream(new uint8_t[e.stream.size()]);
    std::copy(e.stream.begin(), e.stream.end(), stream.get());
    std::vector<uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD));
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), e.width, e.height, 1,  4, BI_RLE4,
                                       DWORD(e.stream.size()),   0,       0,        16, 0};
    for (int i = 0; i < 16; ++i)
        info->bmiColors[i] = RGBQUAD{e.palette[i].blue, e.palette[i].green, e.palette[i].red, 0};
    const bmpw::RgbQuad& zero = e.palette[0];
    Canvas platform(e.width, e.height, Rgb(zero.red, zero.green, zero.blue));
    EXPECT_EQ(StretchDIBits(platform.dc, 0, 0, e.width, e.height, 0, 0, e.width, e.height,
                            stream.get(), info, DIB_RGB_COLORS, SRCCOPY),
              e.height)
        << what;

    for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < e.width; ++x)
            ASSERT_EQ(ours.At(x, y), platform.At(x, y)) << what << " pixel " << x << "," << y;
}

TEST(Rle4AgainstPlatform, EncodedPicturesPaintAlike)
{
    for (int32_t width : {1, 2, 3, 5, 8, 10, 31, 127, 300})
        ExpectSamePixels(FromPicture(width, 9, uint32_t(width)), "width " + std::to_string(width));
}

TEST(Rle4AgainstPlatform, ShortRowsDeltasAndEarlyEndPaintAlike)
{
    for (uint32_t seed = 1; seed <= 60; ++seed)
        ExpectSamePixels(RandomStream(seed), "seed " + std::to_string(seed));
}

} // namespace
