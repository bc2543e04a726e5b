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
                ExpectPixelsMatch(load, ref);
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
