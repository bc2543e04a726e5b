// mktitle's core: its command line, fitting, the background, and the files it writes, read
// back through the launcher's own reader.
#include "mktitle/title_core.h"
#include "tests/unit/bmp_load_helper.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <sstream>

namespace
{

TEST(MktitleArguments, OptionsAnywhereAndEveryBadValueRefused)
{
    TitleOptions o, defaults, help;
    std::string problem;
    ASSERT_TRUE(ParseTitleArguments(
        {L"/COLORS", L"16", L"in.png", L"-fit", L"640X400", L"out.bmp", L"/background", L"#1a2B3c"},
        &o, &problem));
    EXPECT_EQ(o.input + L">" + o.output, L"in.png>out.bmp");
    EXPECT_EQ(o.colours, 16u);
    EXPECT_EQ(std::make_pair(o.fitWidth, o.fitHeight), std::make_pair(640, 400));
    EXPECT_EQ(o.background.red << 8 | o.background.blue, 0x1a3c);
    ASSERT_TRUE(ParseTitleArguments({L"a.jpg", L"b.bmp"}, &defaults, &problem));
    EXPECT_EQ(defaults.colours, 236u);
    ASSERT_TRUE(ParseTitleArguments({L"/?"}, &help, &problem));
    EXPECT_TRUE(help.help);

    for (const wchar_t* line :
         {L"a", L"a b c", L"a b /colors 1", L"a b /colors 257", L"a b /colors 2x", L"a b /colors",
          L"a b /fit 640", L"a b /fit 0x10", L"a b /fit 16385x10", L"a b /background C0C0C",
          L"a b /background G0C0C0", L"a b /dither"}) {
        std::wistringstream words(line);
        const std::vector<std::wstring> args{std::istream_iterator<std::wstring, wchar_t>(words),
                                             {}};
        TitleOptions refused;
        problem.clear();
        EXPECT_FALSE(ParseTitleArguments(args, &refused, &problem)) << line;
        EXPECT_FALSE(problem.empty());
    }
}

TEST(MktitleFit, ScalesDownKeepingProportionsNeverUp)
{
    const struct {
        int32_t w, h, boxW, boxH;
        bool scaled;
        int32_t wantW, wantH;
    } cases[] = {
        {1200, 800, 640, 400, true, 600, 400}, // height limits
        {1200, 600, 640, 400, true, 640, 320}, // width limits
        {300, 200, 640, 400, false, 300, 200}, // never up
        {640, 400, 640, 400, false, 640, 400},
        {1000, 3, 100, 100, true, 100, 1},     // rounded, at least one row
        {999, 1000, 500, 500, true, 500, 500}, // 499.5 rounds up
    };
    for (const auto& c : cases) {
        int32_t w = 0, h = 0;
        EXPECT_EQ(FitTitleSize(c.w, c.h, c.boxW, c.boxH, &w, &h), c.scaled) << c.w << "x" << c.h;
        EXPECT_EQ(w, c.wantW) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.wantH) << c.w << "x" << c.h;
    }
}

TEST(MktitleBackground, TransparentPixelsShowItAndOpaqueOnesStay)
{
    uint8_t bgra[] = {10, 20, 30, 0, 10, 20, 30, 255, 0, 0, 255, 128};
    PutOverBackground(bgra, 3, TitleRgb{0xC0, 0xC0, 0xC0});
    const std::vector<TitleRgb> rgb = RgbPixels(bgra, 3);
    EXPECT_EQ(rgb[0].red, 0xC0);
    EXPECT_EQ(rgb[1].red << 8 | rgb[1].blue, 30 << 8 | 10);
    EXPECT_EQ(rgb[2].red << 8 | rgb[2].green, 224 << 8 | 96); // half red over the grey
    EXPECT_EQ(bgra[11], 255);
}

// A photo-like picture: smooth gradients with noise, thousands of colours.
std::vector<TitleRgb> Photo(int32_t w, int32_t h)
{
    std::vector<TitleRgb> pixels;
    uint32_t state = 7;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            state = state * 1103515245u + 12345u;
            const int noise = int(state >> 26) - 32;
            auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
            pixels.push_back(TitleRgb{clamp(x * 255 / w + noise), clamp(y * 255 / h - noise),
                                      clamp((x + y) * 128 / (w + h) + 64 + noise)});
        }
    return pixels;
}

// Flat art: a few rectangles of four colours.
std::vector<TitleRgb> Flat(int32_t w, int32_t h)
{
    const TitleRgb colours[] = {{192, 192, 192}, {200, 30, 30}, {30, 60, 220}, {0, 0, 0}};
    std::vector<TitleRgb> pixels;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            pixels.push_back(colours[(x / 17 + y / 11) % 4]);
    return pixels;
}

// The written file, read by the launcher's reader, shows every pixel in its picture colour;
// the table holds each colour once and only colours that pixels use.
void ExpectReadBack(const TitlePicture& p, const TitleFile& file)
{
    const CoreLoad load = LoadThroughCore(file.bytes);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.layout.compression, file.rle8 ? kBmpRle8 : kBmpRgb);
    EXPECT_EQ(load.layout.colorCount, p.palette.size());
    std::set<uint32_t> colours, used;
    for (const TitleRgb& c : p.palette)
        colours.insert(uint32_t(c.red) << 16 | c.green << 8 | c.blue);
    EXPECT_EQ(colours.size(), p.palette.size());
    int wrong = 0;
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        const size_t x = i % size_t(p.width), y = size_t(p.height) - 1 - i / size_t(p.width);
        const BmpColor& shown = load.colors[load.rows()[y * size_t(load.layout.stride) + x]];
        const TitleRgb& want = p.palette[p.pixels[i]];
        wrong += shown.red != want.red || shown.green != want.green || shown.blue != want.blue;
        used.insert(p.pixels[i]);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(used.size(), p.palette.size());
}

TEST(MktitleFile, FlatArtExactInRle8AndPhotosReducedToNColours)
{
    // Widths around the 4-byte row padding, where an end of line pads a row or does nothing.
    for (int32_t w : {1, 3, 4, 5, 61, 64, 200}) {
        SCOPED_TRACE(w);
        const TitlePicture flat = ReduceColours(Flat(w, 23), w, 23, 236);
        EXPECT_EQ(flat.palette.size(), w > 17 ? 4u : 3u);
        const TitleFile file = WriteTitleBmp(flat);
        EXPECT_TRUE(file.rle8 || w < 61);
        ExpectReadBack(flat, file);
    }
    for (uint32_t n : {236u, 256u, 16u, 2u}) {
        SCOPED_TRACE(n);
        const TitlePicture photo = ReduceColours(Photo(161, 97), 161, 97, n);
        EXPECT_LE(photo.palette.size(), n);
        EXPECT_GE(photo.palette.size(), n / 2); // the palette is put to use
        const TitleFile file = WriteTitleBmp(photo);
        EXPECT_TRUE(!file.rle8 || n < 236);
        ExpectReadBack(photo, file);
    }
}

} // namespace
