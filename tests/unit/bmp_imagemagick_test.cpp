// Pictures that ImageMagick wrote at test time (tests/support/make_imagemagick_pictures.sh,
// run by the ctest "imagemagick_pictures") load to exactly the pixels of ImageMagick's own
// decode. Skipped when CORVANE_IMAGEMAGICK_DIR does not name their directory.
#include "tests/unit/bmp_load_helper.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace
{

namespace fs = std::filesystem;

// The header size each ImageMagick output format writes.
uint32_t HeaderSizeOf(const std::string& format)
{
    return format == "BMP2" ? 12 : format == "BMP3" ? 40 : 124;
}

TEST(ImageMagickPictures, LoadToTheToolsOwnDecode)
{
    const char* dir = std::getenv("CORVANE_IMAGEMAGICK_DIR");
    if (!dir)
        GTEST_SKIP() << "CORVANE_IMAGEMAGICK_DIR not set";
    std::set<uint32_t> depths, compressions;
    int files = 0;
    for (const char* format : {"BMP2", "BMP3", "BMP"}) {
        for (const char* colors : {"2", "16", "256"}) {
            for (const char* compress : {"None", "RLE"}) {
                std::string name = std::string(format) + "_" + colors + "_" + compress;
                SCOPED_TRACE(name);
                CoreLoad load = LoadThroughCore(ReadAll(fs::path(dir) / (name + ".bmp")));
                Ppm ref;
                ASSERT_TRUE(ParsePpm(ReadAll(fs::path(dir) / (name + ".ppm")), &ref));
                ASSERT_TRUE(load.ok);
                const BmpLayout& l = load.layout;
                EXPECT_EQ(l.headerSize, HeaderSizeOf(format));
                depths.insert(l.bitCount);
                compressions.insert(l.compression);
                ASSERT_EQ(ref.width, l.width);
                ASSERT_EQ(ref.height, l.height);
                int mismatches = 0;
                for (int y = 0; y < l.height; ++y) {
                    const uint8_t* row = load.rows() + size_t(l.height - 1 - y) * size_t(l.stride);
                    for (int x = 0; x < l.width; ++x) {
                        const BmpColor& c = load.colors[row[x]];
                        const uint8_t* want =
                            &ref.rgb[(size_t(y) * size_t(l.width) + size_t(x)) * 3];
                        if ((c.red != want[0] || c.green != want[1] || c.blue != want[2]) &&
                            mismatches++ < 5)
                            ADD_FAILURE() << "pixel " << x << "," << y;
                    }
                }
                EXPECT_EQ(mismatches, 0);
                ++files;
            }
        }
    }
    EXPECT_EQ(files, 18);
    // The outputs cover every depth and both ways of storing 8-bit pixels.
    EXPECT_EQ(depths, (std::set<uint32_t>{1, 4, 8}));
    EXPECT_EQ(compressions, (std::set<uint32_t>{kBmpRgb, kBmpRle8}));
}

} // namespace
