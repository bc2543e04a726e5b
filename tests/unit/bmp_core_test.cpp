// Header reading, refusals and the packed block built from generated files.
#include "demo/bmp_writer.h"
#include "tests/unit/bmp_load_helper.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{

using Bytes = std::vector<uint8_t>;

std::vector<bmpw::RgbQuad> GreyTable(size_t n)
{
    std::vector<bmpw::RgbQuad> t(n);
    for (size_t i = 0; i < n; ++i)
        t[i] = bmpw::RgbQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    return t;
}

// A small plain 8-bit file: width x height, full 256-entry table, rows of value y + 1 with
// padding bytes 0xAB.
Bytes PlainFile(int32_t width, int32_t height, bmpw::BmpFields f = {})
{
    f.biWidth = width;
    f.biHeight = height;
    int32_t stride = RoundUp(width, 4);
    Bytes rows(size_t(stride) * size_t(height), 0xAB);
    for (int32_t y = 0; y < height; ++y)
        std::fill_n(rows.begin() + long(y) * stride, width, uint8_t(y + 1));
    return bmpw::BuildBmp(f, GreyTable(256), rows);
}

void Set32(Bytes& file, size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        file[offset + size_t(i)] = uint8_t(v >> (8 * i));
}

// The header is the file's, but for the plane count and the image size: painting needs one
// plane (nothing shows for 0) and a size that is the block's rows.
TEST(BmpPlain, RowsOfWidth10AreCopiedWithTheirPadding)
{
    bmpw::BmpFields f;
    f.biPlanes = 0;
    f.biSizeImage = 1234;
    Bytes file = PlainFile(10, 3, f);
    CoreLoad load = LoadThroughCore(file);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.layout.stride, 12);
    EXPECT_EQ(load.packed.size(), 40u + 512u + 36u);
    EXPECT_TRUE(std::equal(load.packed.begin(), load.packed.begin() + 12, file.begin() + 14));
    EXPECT_TRUE(std::equal(load.packed.begin() + 24, load.packed.begin() + 40, file.begin() + 38));
    EXPECT_EQ(load.Field32(12), 1u | 8u << 16);
    EXPECT_EQ(load.Field32(16), bmpw::kBiRgb);
    EXPECT_EQ(load.Field32(20), 36u);
    EXPECT_TRUE(std::equal(load.rows(), load.rows() + 36, file.end() - 36));
    EXPECT_EQ(load.rows()[10], 0xAB);
    EXPECT_EQ(load.rows()[24], 3);
}

TEST(BmpPacked, IndexTableIsTheIdentity)
{
    CoreLoad load = LoadThroughCore(PlainFile(4, 1));
    ASSERT_TRUE(load.ok);
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t entry = load.packed[40 + 2 * i] | load.packed[41 + 2 * i] << 8;
        ASSERT_EQ(entry, i);
    }
}

TEST(BmpRle8, HeaderBecomesPlainWithTheAreaAsImageSize)
{
    bmpw::Picture p = bmpw::MakeTestPicture(10, 5);
    Bytes file = bmpw::WriteRle8Bmp(p);
    CoreLoad load = LoadThroughCore(file);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.Field32(16), bmpw::kBiRgb);
    EXPECT_EQ(load.Field32(20), 60u);
    // Every other header byte is the file's.
    EXPECT_TRUE(std::equal(load.packed.begin(), load.packed.begin() + 16, file.begin() + 14));
    EXPECT_TRUE(std::equal(load.packed.begin() + 24, load.packed.begin() + 40, file.begin() + 38));
    EXPECT_TRUE(std::equal(load.rows(), load.rows() + 60, bmpw::PlainRows(p).begin()));
}

TEST(BmpRle8, PlainAndEncodedFilesOfOnePictureGiveTheSameRows)
{
    bmpw::Picture p = bmpw::MakeTestPicture(127, 31, 9);
    CoreLoad plain = LoadThroughCore(bmpw::WritePlainBmp(p));
    CoreLoad rle = LoadThroughCore(bmpw::WriteRle8Bmp(p));
    ASSERT_TRUE(plain.ok && rle.ok);
    EXPECT_TRUE(
        std::equal(plain.packed.begin() + 552, plain.packed.end(), rle.packed.begin() + 552));
}

TEST(BmpColors, TableEntriesBecomeRedGreenBlue)
{
    std::vector<bmpw::RgbQuad> table(256, bmpw::RgbQuad{0, 0, 0, 0});
    table[7] = bmpw::RgbQuad{0x10, 0x20, 0x30, 0x40};
    bmpw::BmpFields f;
    f.biWidth = 4;
    f.biHeight = 1;
    CoreLoad load = LoadThroughCore(bmpw::BuildBmp(f, table, Bytes(4, 7)));
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.colors[7].red, 0x30);
    EXPECT_EQ(load.colors[7].green, 0x20);
    EXPECT_EQ(load.colors[7].blue, 0x10);
}

// Where the pixels start, for short and full tables and every bfOffBits.
struct OffsetCase {
    const char* rule;
    uint32_t colorsUsed; // biClrUsed written
    size_t tableEntries; // entries written
    uint32_t gap;        // unused bytes written between table and pixels
    uint32_t offBits;    // bfOffBits as written
    uint32_t expectedOffset;
};

class BmpPixelOffset : public ::testing::TestWithParam<OffsetCase>
{
};

TEST_P(BmpPixelOffset, PixelsAreFoundWhereTheFileSays)
{
    const OffsetCase& c = GetParam();
    uint32_t tableEnd = 14 + 40 + 4 * uint32_t(c.tableEntries);
    bmpw::BmpFields f;
    f.biWidth = 4;
    f.biHeight = 2;
    f.biClrUsed = c.colorsUsed;
    f.bfOffBits = c.gap ? tableEnd + c.gap : 0;
    Bytes file = bmpw::BuildBmp(f, GreyTable(c.tableEntries), {1, 2, 3, 4, 5, 6, 7, 8});
    Set32(file, 10, c.offBits);
    CoreLoad load = LoadThroughCore(file);
    ASSERT_TRUE(load.ok) << c.rule;
    EXPECT_EQ(load.layout.pixelOffset, c.expectedOffset) << c.rule;
    uint32_t n = c.colorsUsed == 0 ? 256 : c.colorsUsed;
    EXPECT_EQ(load.layout.colorCount, n > 256 ? 256u : n) << c.rule;
    if (c.expectedOffset == tableEnd - 14 + c.gap) {
        EXPECT_EQ(load.rows()[0], 1) << c.rule;
        EXPECT_EQ(load.rows()[7], 8) << c.rule;
    }
    for (uint32_t i = load.layout.colorCount; i < 256; ++i)
        ASSERT_EQ(load.colors[i].red | load.colors[i].green | load.colors[i].blue, 0) << c.rule;
    for (uint32_t i = 0; i < load.layout.colorCount; ++i)
        ASSERT_EQ(load.colors[i].red, uint8_t(i)) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BmpPixelOffset,
    ::testing::Values(
        OffsetCase{"full table, pixels right after it", 0, 256, 0, 1078, 1064},
        OffsetCase{"full table, bfOffBits 0: right after the table", 0, 256, 0, 0, 1064},
        OffsetCase{"252-entry table, bfOffBits right after it", 252, 252, 0, 1062, 1048},
        OffsetCase{"252-entry table, bfOffBits 0: right after it", 252, 252, 0, 0, 1048},
        OffsetCase{"unused bytes between table and pixels", 256, 256, 100, 1178, 1164},
        OffsetCase{"bfOffBits inside the table: right after the table", 16, 16, 0, 60, 104},
        OffsetCase{"bfOffBits past the file: right after the table", 16, 16, 0, 5000, 104},
        OffsetCase{"plain rows from bfOffBits would pass the file's end: right after the table", 0,
                   256, 0, 1078 + 4, 1064},
        OffsetCase{"bfOffBits below the file header: right after the table", 16, 16, 0, 3, 104},
        OffsetCase{"256 entries declared as 256", 256, 256, 0, 1078, 1064},
        OffsetCase{"300 entries: the first 256 are used", 300, 300, 0, 1254, 1240},
        OffsetCase{"one colour", 1, 1, 0, 58, 44}));

// What the loader refuses, each made by changing one thing of a good file.
struct RefusalCase {
    const char* rule;
    std::function<void(Bytes&)> spoil;
};

class BmpRefusal : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(BmpRefusal, BadFileIsRefused)
{
    Bytes file = PlainFile(10, 4);
    ASSERT_TRUE(LoadThroughCore(file).ok);
    GetParam().spoil(file);
    EXPECT_FALSE(LoadThroughCore(file).ok) << GetParam().rule;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BmpRefusal,
    ::testing::Values(RefusalCase{"not B then M", [](Bytes& f) { f[0] = 'M'; }},
                      RefusalCase{"second magic byte", [](Bytes& f) { f[1] = 'A'; }},
                      RefusalCase{"only the file header", [](Bytes& f) { f.resize(14); }},
                      RefusalCase{"info header cut short", [](Bytes& f) { f.resize(14 + 39); }},
                      RefusalCase{"header size 41", [](Bytes& f) { Set32(f, 14, 41); }},
                      RefusalCase{"header size 0", [](Bytes& f) { Set32(f, 14, 0); }},
                      RefusalCase{"2 bits per pixel", [](Bytes& f) { f[28] = 2; }},
                      RefusalCase{"24 bits per pixel", [](Bytes& f) { f[28] = 24; }},
                      RefusalCase{"width 0", [](Bytes& f) { Set32(f, 18, 0); }},
                      RefusalCase{"negative width", [](Bytes& f) { Set32(f, 18, uint32_t(-10)); }},
                      RefusalCase{"height 0", [](Bytes& f) { Set32(f, 22, 0); }},
                      RefusalCase{"BI_RLE4 on 8-bit pixels", [](Bytes& f) { Set32(f, 30, 2); }},
                      RefusalCase{"BI_BITFIELDS", [](Bytes& f) { Set32(f, 30, 3); }},
                      RefusalCase{"BI_JPEG", [](Bytes& f) { Set32(f, 30, 4); }},
                      RefusalCase{"width beyond 16384", [](Bytes& f) { Set32(f, 18, 16385); }},
                      RefusalCase{"height beyond 16384", [](Bytes& f) { Set32(f, 22, 16385); }},
                      RefusalCase{"area beyond 64 MiB",
                                  [](Bytes& f) {
                                      Set32(f, 18, 16384);
                                      Set32(f, 22, 4097);
                                  }},
                      RefusalCase{"width and height that overflow 32 bits",
                                  [](Bytes& f) {
                                      Set32(f, 18, 0x7FFFFFFF);
                                      Set32(f, 22, 0x7FFFFFFF);
                                  }},
                      RefusalCase{"last plain row one byte short", [](Bytes& f) { f.pop_back(); }},
                      RefusalCase{"no pixels at all", [](Bytes& f) { f.resize(14 + 40 + 1024); }},
                      RefusalCase{"colour table cut short",
                                  [](Bytes& f) { f.resize(14 + 40 + 1000); }},
                      RefusalCase{"table declared longer than the file",
                                  [](Bytes& f) { Set32(f, 46, 305402420); }}));

TEST(BmpRefusal, AreaAtTheLimitIsAccepted)
{
    BmpLayout layout;
    uint8_t header[14] = {'B', 'M'};
    Bytes contents(40 + 1024 + 64, 0);
    contents[0] = 40;
    Set32(contents, 4, 16384);
    Set32(contents, 8, 4096);
    contents[12] = 1;
    contents[14] = 8;
    Set32(contents, 16, bmpw::kBiRle8);
    ASSERT_TRUE(ReadBmpLayout(header, contents.data(), uint32_t(contents.size()), &layout));
    EXPECT_EQ(layout.area, kBmpMaxArea);
}

// The packed block's table always has 256 entries, and its header says so: painting never
// depends on how the system treats values beyond a shorter table.
TEST(BmpPacked, ColourCountOfThePackedHeaderCoversTheFullTable)
{
    for (uint32_t used : {0u, 1u, 252u, 256u, 300u}) {
        bmpw::BmpFields f;
        f.biWidth = 4;
        f.biHeight = 1;
        f.biClrUsed = used;
        CoreLoad load =
            LoadThroughCore(bmpw::BuildBmp(f, GreyTable(used ? used : 256), Bytes(4, 0)));
        ASSERT_TRUE(load.ok) << used;
        EXPECT_EQ(load.Field32(32), used == 256 ? 256u : 0u) << used;
    }
}

// Every cut of a good file, plain or encoded, is refused or loads without any read or write
// outside its buffers.
TEST(BmpMalformed, EveryCutOfAGoodFileIsSafe)
{
    bmpw::Picture p = bmpw::MakeTestPicture(21, 6, 4);
    for (const Bytes& file : {bmpw::WritePlainBmp(p), bmpw::WriteRle8Bmp(p)}) {
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            CoreLoad load = LoadThroughCore(Bytes(file.begin(), file.begin() + long(cut)));
            if (load.ok) {
                ASSERT_EQ(load.packed.size(), 40u + 512u + 24u * 6u);
            }
        }
    }
}

} // namespace
