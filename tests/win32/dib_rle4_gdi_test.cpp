// The launcher's own RLE4 expansion against the platform's: for streams whose runs stay
// inside their rows and that end each row with one end of line, painting the expanded rows
// gives the same pixels as handing the BI_RLE4 data to GDI directly.
#include "tests/win32/dib_test_support.h"

#include <random>

namespace
{

// Rows of runs with two alternating values, absolute runs of odd and even pixel counts and
// deltas inside the row, one end of line each; an early end of bitmap now and then.
RleStream RandomStream(uint32_t seed)
{
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return uint32_t(random() % n); };
    RleStream e{int32_t(1 + below(40)), int32_t(1 + below(12)), {}, RandomPalette(seed, 16)};
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

RleStream FromPicture(int32_t width, int32_t height, uint32_t seed)
{
    bmpw::Picture p = bmpw::MakeTestPicture(width, height, seed);
    for (uint8_t& v : p.pixels)
        v &= 15;
    return RleStream{width, height, bmpw::EncodeRle4(p), RandomPalette(seed, 16)};
}

TEST(Rle4AgainstPlatform, EncodedPicturesPaintAlike)
{
    for (int32_t width : {1, 2, 3, 5, 8, 10, 31, 127, 300})
        ExpectPaintsAsPlatform(FromPicture(width, 9, uint32_t(width)), 4,
                               "width " + std::to_string(width));
}

TEST(Rle4AgainstPlatform, ShortRowsDeltasAndEarlyEndPaintAlike)
{
    for (uint32_t seed = 1; seed <= 60; ++seed)
        ExpectPaintsAsPlatform(RandomStream(seed), 4, "seed " + std::to_string(seed));
}

} // namespace
