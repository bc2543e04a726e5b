#include "tests/fuzz/bmp_fuzz_seeds.h"

#include "demo/bmp_writer.h"

std::vector<std::pair<std::string, std::vector<uint8_t>>> BmpFuzzSeeds()
{
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
    for (int32_t width : {1, 3, 8, 10, 33}) {
        bmpw::Picture p = bmpw::MakeTestPicture(width, 5, uint32_t(width));
        std::string w = std::to_string(width);
        seeds.emplace_back("plain" + w, bmpw::WritePlainBmp(p));
        seeds.emplace_back("rle8_" + w, bmpw::WriteRle8Bmp(p));
        p.palette.resize(16);
        for (uint8_t& v : p.pixels)
            v &= 15;
        seeds.emplace_back("plain16_" + w, bmpw::WritePlainBmp(p));
        seeds.emplace_back("rle8_16_" + w, bmpw::WriteRle8Bmp(p));
    }

    // Pixels behind a gap after the table.
    bmpw::Picture p = bmpw::MakeTestPicture(12, 4, 7);
    bmpw::BmpFields gap;
    gap.biWidth = 12;
    gap.biHeight = 4;
    gap.bfOffBits = 14 + 40 + 1024 + 64;
    seeds.emplace_back("gap", bmpw::BuildBmp(gap, p.palette, bmpw::PlainRows(p)));

    // A stream with every kind of code: runs, both absolute runs, delta, end of line at and
    // away from a row start, an early end of bitmap.
    std::vector<uint8_t> s;
    bmpw::AppendRun(s, 5, 1);
    bmpw::AppendAbsolute(s, {2, 3, 4});
    bmpw::AppendEndOfLine(s);
    bmpw::AppendEndOfLine(s);
    bmpw::AppendAbsolute(s, {5, 6, 7, 8});
    bmpw::AppendDelta(s, 3, 1);
    bmpw::AppendRun(s, 20, 9);
    bmpw::AppendEndOfBitmap(s);
    bmpw::BmpFields codes;
    codes.biWidth = 10;
    codes.biHeight = 6;
    codes.biCompression = bmpw::kBiRle8;
    codes.biClrUsed = 10;
    seeds.emplace_back("codes", bmpw::BuildBmp(codes, std::vector<bmpw::RgbQuad>(10), s));

    // One of each header size, depth, row order and RLE4, with a short OS/2 core table.
    for (uint32_t header : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        for (uint16_t bits : {1, 4, 8}) {
            bmpw::Picture q = bmpw::MakeTestPicture(13, 4, header + bits);
            for (uint8_t& v : q.pixels)
                v = uint8_t(v % (1u << bits));
            q.palette.resize(size_t(1) << bits);
            bmpw::BmpFields f;
            f.biSize = header;
            f.biWidth = q.width;
            f.biHeight = header == 12 ? q.height : -q.height;
            f.biBitCount = bits;
            std::string name = "h" + std::to_string(header) + "_" + std::to_string(bits);
            seeds.emplace_back(name, bmpw::BuildBmpVariant(
                                         f, q.palette, bmpw::PackedRows(q, bits, f.biHeight < 0)));
            if (bits == 4 && header >= 40) {
                f.biHeight = q.height;
                f.biCompression = bmpw::kBiRle4;
                seeds.emplace_back(name + "_rle4",
                                   bmpw::BuildBmpVariant(f, q.palette, bmpw::EncodeRle4(q)));
            }
        }
    }
    bmpw::Picture core = bmpw::MakeTestPicture(9, 3, 5);
    core.palette.resize(252);
    for (uint8_t& v : core.pixels)
        v = uint8_t(v % 252);
    bmpw::BmpFields shortCore;
    shortCore.biSize = 12;
    shortCore.biWidth = 9;
    shortCore.biHeight = 3;
    seeds.emplace_back("core_short_table",
                       bmpw::BuildBmpVariant(shortCore, core.palette, bmpw::PlainRows(core)));
    return seeds;
}
