// LoadDib against real files: the packed block, the palette and what is refused.
#include "bitmap/dib.h"
#include "demo/bmp_writer.h"
#include "tests/win32/dib_test_support.h"

#include <functional>

namespace
{

using Bytes = std::vector<uint8_t>;

const uint8_t* Rows(const DibImage* image)
{
    return reinterpret_cast<const uint8_t*>(image->PackedDib) + 40 + 512;
}

PALETTEENTRY Entry(HPALETTE palette, UINT index)
{
    PALETTEENTRY e{1, 1, 1, 1};
    EXPECT_EQ(GetPaletteEntries(palette, index, 1, &e), 1u);
    return e;
}

// Loads the bytes from a file and checks that the file was closed again.
DibImage* LoadBytes(const Bytes& file, const char* name = "corvane_load.bmp")
{
    std::string path = WriteTempFile(name, file);
    DibImage* image = LoadDib(path.c_str());
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "file left open by LoadDib";
    return image;
}

std::vector<bmpw::RgbQuad> Table(size_t n)
{
    std::vector<bmpw::RgbQuad> t(n);
    for (size_t i = 0; i < n; ++i)
        t[i] = bmpw::RgbQuad{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0x77};
    return t;
}

TEST(LoadDib, PlainWidth10KeepsPaddingHeaderAndColours)
{
    std::vector<bmpw::RgbQuad> table = Table(256);
    table[7] = bmpw::RgbQuad{0x10, 0x20, 0x30, 0x40};
    Bytes rows(36, 0xAB);
    for (int y = 0; y < 3; ++y)
        std::fill_n(rows.begin() + y * 12, 10, uint8_t(7 + y));
    bmpw::BmpFields f;
    f.biWidth = 10;
    f.biHeight = 3;
    f.biSizeImage = 999;
    DibImage* image = LoadBytes(bmpw::BuildBmp(f, table, rows));
    ASSERT_NE(image, nullptr);
    const BITMAPINFOHEADER* h = image->PackedDib;
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biWidth, 10);
    EXPECT_EQ(h->biHeight, 3);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biCompression, DWORD(BI_RGB));
    EXPECT_EQ(h->biSizeImage, 36u); // the rows', whatever the file said
    EXPECT_EQ(Bytes(Rows(image), Rows(image) + 36), rows);
    const WORD* indices = reinterpret_cast<const WORD*>(h + 1);
    for (WORD i = 0; i < 256; ++i)
        ASSERT_EQ(indices[i], i);

    EXPECT_EQ(GetPaletteEntries(image->Palette, 0, 0, nullptr), 256u);
    PALETTEENTRY e = Entry(image->Palette, 7);
    EXPECT_EQ(e.peRed, 0x30);
    EXPECT_EQ(e.peGreen, 0x20);
    EXPECT_EQ(e.peBlue, 0x10);
    EXPECT_EQ(e.peFlags, 0);
    EXPECT_EQ(FreeDib(image), 1);
}

TEST(LoadDib, Rle8IsExpandedIntoPlainRows)
{
    bmpw::Picture p = bmpw::MakeTestPicture(10, 7, 2);
    DibImage* image = LoadBytes(bmpw::WriteRle8Bmp(p));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->PackedDib->biCompression, DWORD(BI_RGB));
    EXPECT_EQ(image->PackedDib->biSizeImage, 84u);
    EXPECT_EQ(Bytes(Rows(image), Rows(image) + 84), bmpw::PlainRows(p));
    FreeDib(image);
}

TEST(LoadDib, ShortColourTableLeavesTheRestBlack)
{
    bmpw::Picture p = bmpw::MakeTestPicture(16, 4, 3);
    p.palette = Table(252);
    for (uint8_t& v : p.pixels)
        v = uint8_t(v % 252);
    DibImage* image = LoadBytes(bmpw::WritePlainBmp(p));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(Bytes(Rows(image), Rows(image) + 64), bmpw::PlainRows(p));
    PALETTEENTRY e = Entry(image->Palette, 251);
    EXPECT_EQ(e.peRed, uint8_t(251 * 3));
    EXPECT_EQ(e.peGreen, 4);
    for (UINT i = 252; i < 256; ++i) {
        e = Entry(image->Palette, i);
        EXPECT_EQ(e.peRed | e.peGreen | e.peBlue | e.peFlags, 0) << i;
    }
    FreeDib(image);
}

struct LoadRefusal {
    const char* rule;
    std::function<Bytes()> make;
};

class LoadDibRefuses : public ::testing::TestWithParam<LoadRefusal>
{
};

TEST_P(LoadDibRefuses, GivesNullAndClosesTheFile)
{
    EXPECT_EQ(LoadBytes(GetParam().make()), nullptr) << GetParam().rule;
}

Bytes Good()
{
    return bmpw::WritePlainBmp(bmpw::MakeTestPicture(10, 4));
}

Bytes Cut(size_t length)
{
    Bytes f = Good();
    f.resize(length);
    return f;
}

Bytes Changed(size_t offset, uint8_t value)
{
    Bytes f = Good();
    f[offset] = value;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadDibRefuses,
    ::testing::Values(LoadRefusal{"empty file", [] { return Bytes(); }},
                      LoadRefusal{"file header only", [] { return Cut(14); }},
                      // The shortest sizes read: 12 or 13 bytes after the file header.
                      LoadRefusal{"26 bytes", [] { return Cut(26); }},
                      LoadRefusal{"27 bytes", [] { return Cut(27); }},
                      LoadRefusal{"header cut inside", [] { return Cut(53); }},
                      LoadRefusal{"not B then M", [] { return Changed(0, 'X'); }},
                      LoadRefusal{"24 bits per pixel", [] { return Changed(28, 24); }},
                      LoadRefusal{"header size 41", [] { return Changed(14, 41); }},
                      LoadRefusal{"BI_RLE4 on 8-bit pixels", [] { return Changed(30, 2); }},
                      LoadRefusal{"top-down RLE8",
                                  [] {
                                      Bytes f = bmpw::WriteRle8Bmp(bmpw::MakeTestPicture(10, 4));
                                      f[22] = 0xFC;
                                      f[23] = f[24] = f[25] = 0xFF;
                                      return f;
                                  }},
                      LoadRefusal{"plain rows cut short", [] { return Cut(Good().size() - 1); }}));

TEST(LoadDib, MissingFileGivesNull)
{
    std::string path = TempFilePath("corvane_missing.bmp");
    DeleteFileA(path.c_str());
    EXPECT_EQ(LoadDib(path.c_str()), nullptr);
    EXPECT_EQ(LoadDib(nullptr), nullptr);
}

// OpenFile takes paths of at most 127 characters, and the loader's own copy holds 259: a
// longer name is a picture that cannot be loaded, never an overrun.
TEST(LoadDib, OverlongPathsGiveNull)
{
    std::string dir = TempFilePath("");
    std::string name128 = dir + std::string(128 - dir.size() - 4, 'p') + ".bmp";
    ASSERT_EQ(name128.size(), 128u);
    WriteTempFile(name128.substr(dir.size()), Good());
    EXPECT_EQ(LoadDib(name128.c_str()), nullptr);
    DeleteFileA(name128.c_str());
    EXPECT_EQ(LoadDib(std::string(300, 'q').c_str()), nullptr);
}

// A stream cut before its end of bitmap loads: the rows it reached, zero after them.
TEST(LoadDib, CutRle8StreamLoadsWhatItHolds)
{
    bmpw::Picture p = bmpw::MakeTestPicture(8, 4, 6);
    Bytes file = bmpw::WriteRle8Bmp(p);
    file.resize(file.size() - 20);
    DibImage* image = LoadBytes(file);
    ASSERT_NE(image, nullptr);
    Bytes full = bmpw::PlainRows(p);
    for (size_t i = 0; i < full.size(); ++i)
        ASSERT_TRUE(Rows(image)[i] == full[i] || Rows(image)[i] == 0) << i;
    EXPECT_EQ(Bytes(Rows(image), Rows(image) + 8), Bytes(full.begin(), full.begin() + 8));
    FreeDib(image);
}

// The smallest pictures have a 12-byte core header and are shorter than a 40-byte header
// alone: a 2 x 1 one-bit picture with two 3-byte colours is a 36-byte file.
TEST(LoadDib, TinyCoreHeaderFileLoadsAndPaints)
{
    bmpw::BmpFields f;
    f.biSize = 12;
    f.biWidth = 2;
    f.biHeight = 1;
    f.biBitCount = 1;
    std::vector<bmpw::RgbQuad> table = {{0x10, 0x20, 0x30, 0}, {0x40, 0x50, 0x60, 0}};
    Bytes file = bmpw::BuildBmpVariant(f, table, {0x40, 0, 0, 0}); // pixels 0, 1
    ASSERT_EQ(file.size(), 36u);
    DibImage* image = LoadBytes(file);
    ASSERT_NE(image, nullptr);
    const BITMAPINFOHEADER* h = image->PackedDib;
    EXPECT_EQ(h->biSize, 40u);
    EXPECT_EQ(h->biBitCount, 8);
    EXPECT_EQ(h->biPlanes, 1);
    EXPECT_EQ(h->biSizeImage, 4u);
    EXPECT_EQ(Bytes(Rows(image), Rows(image) + 4), (Bytes{0, 1, 0, 0}));
    Canvas canvas(2, 1);
    EXPECT_EQ(DrawDib(canvas.dc, 0, 0, image, 0, 0, 2, 1), 1);
    EXPECT_EQ(canvas.At(0, 0), Rgb(0x30, 0x20, 0x10));
    EXPECT_EQ(canvas.At(1, 0), Rgb(0x60, 0x50, 0x40));
    EXPECT_EQ(FreeDib(image), 1);
}

TEST(LoadDibSteps, NullInputsGiveNull)
{
    BmpLayout layout{};
    uint8_t byte = 0;
    EXPECT_EQ(CreateDibPalette(nullptr, &layout), nullptr);
    EXPECT_EQ(UnpackDib(nullptr, &layout), nullptr);
    EXPECT_EQ(CreateDibPalette(&byte, nullptr), nullptr);
    EXPECT_EQ(UnpackDib(&byte, nullptr), nullptr);
}

} // namespace
