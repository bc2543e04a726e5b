// The launcher's own RLE8 and RLE4 expansion against the platform's: for streams whose runs
// stay inside their rows and that end each row with one end of line, painting the expanded
// rows gives the same pixels as handing the BI_RLE8 or BI_RLE4 data to GDI directly.
#include "bitmap/dib.h"
#include "demo/bmp_writer.h"
#include "tests/win32/dib_test_support.h"

#include <memory>
#include <random>

namespace
{

// An RLE8 or RLE4 stream with the picture's size and palette.
struct RleStream {
    int32_t width, height;
    std::vector<uint8_t> stream;
    std::vector<bmpw::RgbQuad> palette; // 256 colours for RLE8, 16 for RLE4
};

std::vector<bmpw::RgbQuad> RandomPalette(uint32_t seed, size_t colours)
{
    std::mt19937 random(seed);
    std::vector<bmpw::RgbQuad> p(colours);
    for (auto& q : p)
        q = bmpw::RgbQuad{uint8_t(random()), uint8_t(random()), uint8_t(random()), 0};
    return p;
}

// Paints the stream (RLE4 when bitCount is 4, else RLE8) through LoadDib and DrawDib, and
// through GDI's own decoder onto a canvas filled with colour 0 (GDI leaves pixels that the
// stream skips untouched; the launcher's expansion leaves them 0). Compares every pixel.
void ExpectPaintsAsPlatform(const RleStream& e, uint16_t bitCount, const std::string& what)
{
    const bool rle4 = bitCount == 4;
    const DWORD colours = rle4 ? 16 : 256;
    bmpw::BmpFields fields;
    fields.biWidth = e.width;
    fields.biHeight = e.height;
    fields.biBitCount = bitCount;
    fields.biCompression = rle4 ? bmpw::kBiRle4 : bmpw::kBiRle8;
    std::string path =
        WriteTempFile("corvane_rle_gdi.bmp", bmpw::BuildBmp(fields, e.palette, e.stream));
    DibImage* image = LoadDib(path.c_str());
    DeleteFileA(path.c_str());
    ASSERT_NE(image, nullptr) << what;
    Canvas ours(e.width, e.height, 0xFFFFFFFF);
    EXPECT_EQ(DrawDib(ours.dc, 0, 0, image, 0, 0, e.width, e.height), e.height) << what;
    FreeDib(image);

    // Exactly the stream's bytes, with biSizeImage saying so.
    std::unique_ptr<uint8_t[]> stream(new uint8_t[e.stream.size()]);
    std::copy(e.stream.begin(), e.stream.end(), stream.get());
    std::vector<uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                                       e.width,
                                       e.height,
                                       1,
                                       bitCount,
                                       DWORD(rle4 ? BI_RLE4 : BI_RLE8),
                                       DWORD(e.stream.size()),
                                       0,
                                       0,
                                       colours,
                                       0};
    for (DWORD i = 0; i < colours; ++i)
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

// A random stream of the kind both decoders agree on: every row starts with a run or an
// absolute run (of odd and even pixel counts), may stop short of its end, skip ahead inside
// itself with a delta, and ends with one end of line; the last row, or an earlier one, ends
// with the end of bitmap. RLE4 (bitCount 4) holds two pixels to a byte.
RleStream RandomStream(uint32_t seed, uint16_t bitCount)
{
    const bool rle4 = bitCount == 4;
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return uint32_t(random() % n); };
    RleStream e{
        int32_t(1 + below(40)), int32_t(1 + below(12)), {}, RandomPalette(seed, rle4 ? 16 : 256)};
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
                uint32_t bytes = rle4 ? (pixels + 1) / 2 : pixels;
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

// A test picture encoded by the test-data encoder (values cut to 4 bits for RLE4).
RleStream FromPicture(int32_t width, int32_t height, uint32_t seed, uint16_t bitCount)
{
    bmpw::Picture p = bmpw::MakeTestPicture(width, height, seed);
    if (bitCount == 4) {
        for (uint8_t& v : p.pixels)
            v &= 15;
        return RleStream{width, height, bmpw::EncodeRle4(p), RandomPalette(seed, 16)};
    }
    return RleStream{width, height, bmpw::EncodeRle8(p), RandomPalette(seed, 256)};
}

TEST(Rle8AgainstPlatform, EncodedPicturesPaintAlike)
{
    for (int32_t width : {1, 2, 5, 8, 10, 31, 127, 300})
        ExpectPaintsAsPlatform(FromPicture(width, 9, uint32_t(width), 8), 8,
                               "width " + std::to_string(width));
}

TEST(Rle8AgainstPlatform, ShortRowsDeltasAndEarlyEndPaintAlike)
{
    for (uint32_t seed = 1; seed <= 60; ++seed)
        ExpectPaintsAsPlatform(RandomStream(seed, 8), 8, "seed " + std::to_string(seed));
}

TEST(Rle4AgainstPlatform, EncodedPicturesPaintAlike)
{
    for (int32_t width : {1, 2, 3, 5, 8, 10, 31, 127, 300})
        ExpectPaintsAsPlatform(FromPicture(width, 9, uint32_t(width), 4), 4,
                               "width " + std::to_string(width));
}

TEST(Rle4AgainstPlatform, ShortRowsDeltasAndEarlyEndPaintAlike)
{
    for (uint32_t seed = 1; seed <= 60; ++seed)
        ExpectPaintsAsPlatform(RandomStream(seed, 4), 4, "seed " + std::to_string(seed));
}

} // namespace
