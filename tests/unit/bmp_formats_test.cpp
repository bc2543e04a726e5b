// Header variants, depths and row orders: every accepted combination loads to the picture's
// own values and colours in bottom-up 8-bit rows behind a normal 40-byte header; the rest is
// refused. RLE4 follows the linear model of RLE8.
#include "demo/bmp_writer.h"
#include "tests/unit/bmp_load_helper.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace
{

using Bytes = std::vector<uint8_t>;

// A picture of values below 2^bits with a full table of distinct colours.
bmpw::Picture DepthPicture(int32_t width, int32_t height, uint16_t bits, uint32_t seed)
{
    bmpw::Picture p = bmpw::MakeTestPicture(width, height, seed);
    for (uint8_t& v : p.pixels)
        v = uint8_t(v % (1u << bits));
    p.palette.resize(size_t(1) << bits);
    return p;
}

// A file of the picture with the given header size, depth, compression and row order.
Bytes FileOf(const bmpw::Picture& p, uint32_t headerSize, uint16_t bits, uint32_t compression,
             bool topDown = false)
{
    bmpw::BmpFields f;
    f.biSize = headerSize;
    f.biWidth = p.width;
    f.biHeight = topDown ? -p.height : p.height;
    f.biBitCount = bits;
    f.biCompression = compression;
    Bytes pixels = compression == bmpw::kBiRle8   ? bmpw::EncodeRle8(p)
                   : compression == bmpw::kBiRle4 ? bmpw::EncodeRle4(p)
                                                  : bmpw::PackedRows(p, bits, topDown);
    return bmpw::BuildBmpVariant(f, p.palette, pixels);
}

// The loaded rows and colours against the picture; the padding of expanded rows is 0.
void ExpectPicture(const CoreLoad& load, const bmpw::Picture& p, const std::string& what)
{
    ASSERT_TRUE(load.ok) << what;
    ASSERT_EQ(load.layout.width, p.width) << what;
    ASSERT_EQ(load.layout.height, p.height) << what;
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* row = load.rows() + size_t(p.height - 1 - y) * size_t(load.layout.stride);
        for (int32_t x = 0; x < p.width; ++x)
            ASSERT_EQ(row[x], p.pixels[size_t(y) * size_t(p.width) + size_t(x)])
                << what << " pixel " << x << "," << y;
    }
    for (size_t i = 0; i < 256; ++i) {
        bmpw::RgbQuad want = i < p.palette.size() ? p.palette[i] : bmpw::RgbQuad{0, 0, 0, 0};
        ASSERT_EQ(load.colors[i].red, want.red) << what << " colour " << i;
        ASSERT_EQ(load.colors[i].green, want.green) << what << " colour " << i;
        ASSERT_EQ(load.colors[i].blue, want.blue) << what << " colour " << i;
    }
}

// Painting gets one kind of header whatever the file had.
void ExpectNormalHeader(const CoreLoad& load, const std::string& what)
{
    EXPECT_EQ(load.Field32(0), 40u) << what;
    EXPECT_EQ(load.Field32(4), uint32_t(load.layout.width)) << what;
    EXPECT_EQ(load.Field32(8), uint32_t(load.layout.height)) << what;
    EXPECT_EQ(load.Field32(12), 1u | 8u << 16) << what; // one plane, 8 bits
    EXPECT_EQ(load.Field32(16), bmpw::kBiRgb) << what;
    EXPECT_EQ(load.Field32(20), load.layout.area) << what;
    EXPECT_EQ(load.Field32(32), 0u) << what;
    EXPECT_EQ(load.packed.size(), 40u + 512u + load.layout.area) << what;
}

TEST(BmpFormats, EveryHeaderDepthAndCompressionLoadsThePicture)
{
    for (uint32_t header : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        for (uint16_t bits : {1, 4, 8}) {
            for (int32_t width : {1, 7, 8, 9, 31, 33}) {
                bmpw::Picture p = DepthPicture(width, 5, bits, uint32_t(width * bits));
                std::string what = std::to_string(header) + "-byte header, " +
                                   std::to_string(bits) + " bits, width " + std::to_string(width);
                CoreLoad plain = LoadThroughCore(FileOf(p, header, bits, bmpw::kBiRgb));
                ExpectPicture(plain, p, what + ", plain");
                if (header != 40 || bits != 8)
                    ExpectNormalHeader(plain, what + ", plain");
                if (header != 12) {
                    CoreLoad down = LoadThroughCore(FileOf(p, header, bits, bmpw::kBiRgb, true));
                    ExpectPicture(down, p, what + ", top-down");
                    ExpectNormalHeader(down, what + ", top-down");
                }
                if (header >= 40 && bits >= 4) {
                    uint32_t rle = bits == 8 ? bmpw::kBiRle8 : bmpw::kBiRle4;
                    CoreLoad packed = LoadThroughCore(FileOf(p, header, bits, rle));
                    ExpectPicture(packed, p, what + ", RLE");
                    ExpectNormalHeader(packed, what + ", RLE");
                }
            }
        }
    }
}

TEST(BmpFormats, TopDownEightBitRowsKeepTheirPadding)
{
    bmpw::Picture p = DepthPicture(10, 3, 8, 2);
    Bytes rows = bmpw::PackedRows(p, 8, true);
    for (size_t y = 0; y < 3; ++y)
        rows[y * 12 + 10] = uint8_t(0xA0 + y);
    bmpw::BmpFields f;
    f.biWidth = 10;
    f.biHeight = -3;
    CoreLoad load = LoadThroughCore(bmpw::BuildBmp(f, p.palette, rows));
    ExpectPicture(load, p, "top-down");
    EXPECT_EQ(load.rows()[10], 0xA2); // the file's last row is the block's first
    EXPECT_EQ(load.rows()[34], 0xA0);
}

// Which table entries a file's colours come from.
struct TableCase {
    const char* rule;
    uint32_t headerSize;
    uint16_t bits;
    uint32_t colorsUsed;  // biClrUsed (headers of 40 bytes and more)
    size_t entries;       // entries written
    uint32_t offBitsBack; // bfOffBits this many bytes before the end of the written table
    uint32_t expectedColors;
};

class BmpTables : public ::testing::TestWithParam<TableCase>
{
};

TEST_P(BmpTables, ColoursComeFromTheEntriesTheFileHas)
{
    const TableCase& c = GetParam();
    bmpw::Picture p = DepthPicture(8, 2, c.bits, 3);
    p.palette.resize(c.entries);
    for (size_t i = 0; i < c.entries; ++i)
        p.palette[i] = bmpw::RgbQuad{uint8_t(i + 1), uint8_t(2 * i + 1), uint8_t(3 * i + 1), 9};
    bmpw::BmpFields f;
    f.biSize = c.headerSize;
    f.biWidth = 8;
    f.biHeight = 2;
    f.biBitCount = c.bits;
    f.biClrUsed = c.colorsUsed;
    uint32_t entrySize = c.headerSize == 12 ? 3 : 4;
    uint32_t tableEnd = 14 + c.headerSize + entrySize * uint32_t(c.entries);
    f.bfOffBits = tableEnd - c.offBitsBack;
    Bytes rows = bmpw::PackedRows(p, c.bits);
    Bytes file = bmpw::BuildBmpVariant(f, p.palette, {});
    file.resize(f.bfOffBits);
    file.insert(file.end(), rows.begin(), rows.end());
    CoreLoad load = LoadThroughCore(file);
    ASSERT_TRUE(load.ok) << c.rule;
    EXPECT_EQ(load.layout.colorCount, c.expectedColors) << c.rule;
    EXPECT_EQ(load.layout.pixelOffset, f.bfOffBits - 14) << c.rule;
    for (uint32_t i = 0; i < 256; ++i) {
        uint8_t red = i < c.expectedColors ? uint8_t(3 * i + 1) : 0;
        ASSERT_EQ(load.colors[i].red, red) << c.rule << " colour " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, BmpTables,
    ::testing::Values(
        TableCase{"core header, full 256-entry table", 12, 8, 0, 256, 0, 256},
        TableCase{"core header, pixels after 252 entries: a short table", 12, 8, 0, 256, 4 * 3,
                  252},
        TableCase{"core header, pixels inside an entry: whole entries only", 12, 8, 0, 256,
                  4 * 3 + 1, 251},
        TableCase{"16-byte header, pixels after 200 of 4-byte entries", 16, 8, 0, 256, 56 * 4, 200},
        TableCase{"core header, 1 bit: two entries", 12, 1, 0, 2, 0, 2},
        TableCase{"1 bit, one colour declared", 40, 1, 1, 1, 0, 1},
        TableCase{"1 bit, five colours declared: the first two are used", 40, 1, 5, 5, 0, 2},
        TableCase{"4 bits, biClrUsed 0: sixteen", 40, 4, 0, 16, 0, 16},
        TableCase{"4 bits, twelve colours", 108, 4, 12, 12, 0, 12},
        TableCase{"8 bits, 300 colours: the first 256 are used", 124, 8, 300, 300, 0, 256}));

// Values beyond the file's table show black, at every depth.
TEST(BmpFormats, ValuesBeyondTheTableAreBlack)
{
    bmpw::Picture p = DepthPicture(4, 1, 4, 1);
    p.pixels = {0, 1, 2, 15};
    p.palette.assign(2, bmpw::RgbQuad{50, 60, 70, 0});
    bmpw::BmpFields f;
    f.biWidth = 4;
    f.biHeight = 1;
    f.biBitCount = 4;
    f.biClrUsed = 2;
    CoreLoad load = LoadThroughCore(bmpw::BuildBmp(f, p.palette, bmpw::PackedRows(p, 4)));
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.rows()[3], 15);
    EXPECT_EQ(load.colors[15].red | load.colors[15].green | load.colors[15].blue, 0);
    EXPECT_EQ(load.colors[1].red, 70);
}

// What stays refused, each made by changing one thing of a good file or header.
struct FormatRefusal {
    const char* rule;
    uint32_t headerSize;
    uint16_t bits;
    uint32_t compression;
    int32_t height;
    std::function<void(Bytes&)> spoil;
};

class BmpFormatRefusal : public ::testing::TestWithParam<FormatRefusal>
{
};

void Set32(Bytes& file, size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        file[offset + size_t(i)] = uint8_t(v >> (8 * i));
}

TEST_P(BmpFormatRefusal, IsRefused)
{
    const FormatRefusal& c = GetParam();
    bmpw::Picture p = DepthPicture(8, 4, c.bits <= 8 ? c.bits : 8, 5);
    bmpw::BmpFields f;
    f.biSize = c.headerSize;
    f.biWidth = 8;
    f.biHeight = c.height;
    f.biBitCount = c.bits;
    f.biCompression = c.compression;
    Bytes file = bmpw::BuildBmpVariant(f, p.palette, Bytes(8 * 4 * 4, 1));
    if (c.spoil)
        c.spoil(file);
    EXPECT_FALSE(LoadThroughCore(file).ok) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BmpFormatRefusal,
    ::testing::Values(
        FormatRefusal{"2 bits per pixel", 40, 2, 0, 4, nullptr},
        FormatRefusal{"16 bits per pixel", 40, 16, 0, 4, nullptr},
        FormatRefusal{"24 bits per pixel", 40, 24, 0, 4, nullptr},
        FormatRefusal{"32 bits per pixel", 40, 32, 0, 4, nullptr},
        FormatRefusal{"24 bits, core header", 12, 24, 0, 4, nullptr},
        FormatRefusal{"bit fields", 56, 8, 3, 4, nullptr},
        FormatRefusal{"embedded JPEG", 124, 8, 4, 4, nullptr},
        FormatRefusal{"embedded PNG", 124, 8, 5, 4, nullptr},
        FormatRefusal{"OS/2 Huffman 1D", 64, 1, 3, 4, nullptr},
        FormatRefusal{"OS/2 RLE24", 64, 24, 4, 4, nullptr},
        FormatRefusal{"RLE4 on 8-bit pixels", 40, 8, 2, 4, nullptr},
        FormatRefusal{"RLE8 on 4-bit pixels", 40, 4, 1, 4, nullptr},
        FormatRefusal{"RLE8 on 1-bit pixels", 40, 1, 1, 4, nullptr},
        FormatRefusal{"top-down RLE8", 40, 8, 1, -4, nullptr},
        FormatRefusal{"top-down RLE4", 108, 4, 2, -4, nullptr},
        FormatRefusal{"height INT32_MIN", 40, 8, 0, INT32_MIN, nullptr},
        FormatRefusal{"top-down beyond 16384 rows", 40, 8, 0, -16385, nullptr},
        FormatRefusal{"unknown header size 20", 40, 8, 0, 4, [](Bytes& f) { Set32(f, 14, 20); }},
        FormatRefusal{"unknown header size 66", 40, 1, 0, 4, [](Bytes& f) { Set32(f, 14, 66); }},
        FormatRefusal{"124-byte header cut short", 124, 8, 0, 4,
                      [](Bytes& f) { f.resize(14 + 100); }},
        FormatRefusal{"core header cut short", 12, 8, 0, 4, [](Bytes& f) { f.resize(14 + 11); }},
        FormatRefusal{"core header width 0", 12, 8, 0, 4, [](Bytes& f) { f[18] = f[19] = 0; }},
        FormatRefusal{"core header height 0", 12, 8, 0, 4, [](Bytes& f) { f[20] = f[21] = 0; }},
        FormatRefusal{"core header, pixels where the table starts: no colours", 12, 8, 0, 4,
                      [](Bytes& f) { Set32(f, 10, 14 + 12); }},
        FormatRefusal{"1-bit rows one byte short", 40, 1, 0, 4,
                      [](Bytes& f) { f.resize(14 + 40 + 8 + 4 * 4 - 1); }}));

// RLE4 codes, written out so that every case reads as its bytes.
struct Rle4Case {
    const char* rule;
    Bytes stream;
    int32_t stride, rows;
    Bytes expected;
    int32_t position;
};

class Rle4Model : public ::testing::TestWithParam<Rle4Case>
{
};

TEST_P(Rle4Model, ExpandsAsTheLinearModelSays)
{
    const Rle4Case& c = GetParam();
    std::unique_ptr<uint8_t[]> in(new uint8_t[c.stream.size()]);
    std::copy(c.stream.begin(), c.stream.end(), in.get());
    Bytes out(size_t(c.stride) * size_t(c.rows), 0);
    int32_t position =
        DecodeRle4(out.data(), in.get(), uint32_t(c.stream.size()), c.stride, c.rows);
    EXPECT_EQ(out, c.expected) << c.rule;
    EXPECT_EQ(position, c.position) << c.rule;
}

const uint8_t kPad = 5; // would read as a run of 5 if it were not skipped

INSTANTIATE_TEST_SUITE_P(
    Rules, Rle4Model,
    ::testing::Values(
        Rle4Case{"a run alternates high and low nibble, high first",
                 {5, 0x12, 0, 1},
                 8,
                 1,
                 {1, 2, 1, 2, 1, 0, 0, 0},
                 5},
        Rle4Case{"each run starts again with the high nibble",
                 {3, 0x12, 3, 0x34, 0, 1},
                 8,
                 1,
                 {1, 2, 1, 3, 4, 3, 0, 0},
                 6},
        Rle4Case{"absolute run of 3 pixels takes 2 bytes and no pad",
                 {0, 3, 0x12, 0x30, 2, 0x77},
                 8,
                 1,
                 {1, 2, 3, 7, 7, 0, 0, 0},
                 5},
        Rle4Case{"absolute run of 5 pixels takes 3 bytes and one pad",
                 {0, 5, 0x12, 0x34, 0x50, kPad, 1, 0x90},
                 8,
                 1,
                 {1, 2, 3, 4, 5, 9, 0, 0},
                 6},
        Rle4Case{"end of line zero-fills to the next row, none at a row start",
                 {0, 0, 3, 0x11, 0, 0, 2, 0x22, 0, 1},
                 4,
                 2,
                 {1, 1, 1, 0, 2, 2, 0, 0},
                 6},
        Rle4Case{"delta counts pixels and rows",
                 {0, 2, 1, 1, 1, 0x90, 0, 1},
                 4,
                 2,
                 {0, 0, 0, 0, 0, 9, 0, 0},
                 6},
        Rle4Case{"a run crossing a row end carries on into the next row",
                 {6, 0x12},
                 4,
                 2,
                 {1, 2, 1, 2, 1, 2, 0, 0},
                 6},
        Rle4Case{"a run past the area is clipped", {9, 0x33, 4, 0x44}, 4, 2, Bytes(8, 3), 9},
        Rle4Case{"an absolute run past the area is clipped",
                 {0, 6, 0x12, 0x34, 0x56, 0},
                 2,
                 2,
                 {1, 2, 3, 4},
                 6},
        Rle4Case{"an absolute run cut by the end of the stream stops there",
                 {0, 8, 0x12, 0x34},
                 8,
                 1,
                 {1, 2, 3, 4, 0, 0, 0, 0},
                 0},
        Rle4Case{"an early end of bitmap leaves the rest 0",
                 {2, 0x55, 0, 1, 4, 0x66},
                 4,
                 1,
                 {5, 5, 0, 0},
                 2}));

// Every cut of good files of each new kind is refused or loads without any read or write
// outside its buffers.
TEST(BmpFormatsMalformed, EveryCutOfANewFormatFileIsSafe)
{
    bmpw::Picture p4 = DepthPicture(13, 5, 4, 8);
    bmpw::Picture p1 = DepthPicture(13, 5, 1, 8);
    bmpw::Picture p8 = DepthPicture(13, 5, 8, 8);
    for (const Bytes& file :
         {FileOf(p4, 40, 4, bmpw::kBiRle4), FileOf(p1, 12, 1, bmpw::kBiRgb),
          FileOf(p8, 12, 8, bmpw::kBiRgb), FileOf(p4, 124, 4, bmpw::kBiRgb, true),
          FileOf(p8, 16, 8, bmpw::kBiRgb, true), FileOf(p8, 64, 8, bmpw::kBiRle8)}) {
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            CoreLoad load = LoadThroughCore(Bytes(file.begin(), file.begin() + long(cut)));
            if (load.ok) {
                ASSERT_EQ(load.packed.size(), 40u + 512u + 16u * 5u);
            }
        }
    }
}

} // namespace
