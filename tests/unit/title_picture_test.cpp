// The demo disc's title picture must be one the launcher shows as drawn: an RLE8 file that
// the picture checks accept and that expands to exactly the drawn pixels and colours.
#include "bitmap/bmp_core.h"
#include "demo/title_picture.h"
#include "tests/unit/bmp_load_helper.h"

#include <gtest/gtest.h>

TEST(DemoTitlePicture, RleFileExpandsToTheDrawnPictureWithItsColours)
{
    const bmpw::Picture drawn = demo::DrawTitlePicture();
    const std::vector<uint8_t> file = demo::TitlePictureFile();
    ASSERT_GT(file.size(), kBmpFileHeaderSize);
    // Runs of sky and hills keep the file far below the plain rows' size.
    EXPECT_LT(file.size(), size_t(drawn.width) * size_t(drawn.height) / 4);

    const uint8_t* contents = file.data() + kBmpFileHeaderSize;
    const uint32_t contentLength = uint32_t(file.size() - kBmpFileHeaderSize);
    BmpLayout layout;
    ASSERT_TRUE(ReadBmpLayout(file.data(), contents, contentLength, &layout));
    EXPECT_EQ(layout.compression, kBmpRle8);
    EXPECT_EQ(layout.width, demo::kTitleWidth);
    EXPECT_EQ(layout.height, demo::kTitleHeight);

    BmpColor colors[kBmpPackedColors];
    ReadBmpColors(layout, contents, colors);
    for (size_t i = 0; i < drawn.palette.size(); ++i) {
        EXPECT_EQ(colors[i].red, drawn.palette[i].red) << i;
        EXPECT_EQ(colors[i].green, drawn.palette[i].green) << i;
        EXPECT_EQ(colors[i].blue, drawn.palette[i].blue) << i;
    }

    std::vector<uint8_t> packed(PackedDibSize(layout), 0);
    UnpackBmp(layout, contents, packed.data());
    const uint8_t* rows = packed.data() + kBmpInfoHeaderSize + 2 * kBmpPackedColors;
    int mismatches = 0;
    for (int32_t y = 0; y < drawn.height; ++y) {
        const uint8_t* row = rows + size_t(drawn.height - 1 - y) * size_t(layout.stride);
        for (int32_t x = 0; x < drawn.width; ++x)
            mismatches += row[x] != drawn.pixels[size_t(y) * size_t(drawn.width) + size_t(x)];
    }
    EXPECT_EQ(mismatches, 0);
}

// The author's kit ships the picture in its disc template as a file; it must stay the one the
// code draws (mkdisc writes it: build/native/demo/mkdisc FOLDER).
TEST(DemoTitlePicture, TheKitTemplateHoldsThisPicture)
{
    EXPECT_TRUE(ReadAll(CORVANE_SOURCE_DIR "/kit/disc-template/title.bmp") ==
                demo::TitlePictureFile());
}
