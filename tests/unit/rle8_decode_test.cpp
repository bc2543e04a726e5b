// BI_RLE8 expansion: the linear position model, and streams that are cut or corrupted.
#include "bitmap/bmp_core.h"
#include "demo/bmp_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

struct Expanded {
    Bytes pixels;
    int32_t position;
};

// Decodes into a zero-filled heap block of exactly stride * rows bytes, from a heap copy of
// exactly the stream, so the sanitizer sees any access outside either.
Expanded Expand(const Bytes& stream, int32_t stride, int32_t rows)
{
    std::unique_ptr<uint8_t[]> in(new uint8_t[stream.size()]);
    std::copy(stream.begin(), stream.end(), in.get());
    Expanded e{Bytes(size_t(stride) * size_t(rows), 0), 0};
    e.position = DecodeRle8(e.pixels.data(), in.get(), uint32_t(stream.size()), stride, rows);
    return e;
}

Bytes Filled(size_t size, std::initializer_list<std::pair<size_t, Bytes>> spans)
{
    Bytes out(size, 0);
    for (const auto& span : spans)
        std::copy(span.second.begin(), span.second.end(), out.begin() + long(span.first));
    return out;
}

Bytes Repeat(size_t n, uint8_t v)
{
    return Bytes(n, v);
}

struct Rle8Case {
    const char* rule;
    Bytes stream;
    int32_t stride, rows;
    Bytes expected;
    int32_t position;
};

class Rle8Model : public ::testing::TestWithParam<Rle8Case>
{
};

TEST_P(Rle8Model, ExpandsAsTheLinearModelSays)
{
    const Rle8Case& c = GetParam();
    Expanded e = Expand(c.stream, c.stride, c.rows);
    EXPECT_EQ(e.pixels, c.expected) << c.rule;
    EXPECT_EQ(e.position, c.position) << c.rule;
}

// Pieces of streams, written out so that every case reads as its bytes.
const uint8_t kPad = 5; // a pad byte that would read as "run of 5" if it were not skipped

INSTANTIATE_TEST_SUITE_P(
    Rules, Rle8Model,
    ::testing::Values(
        Rle8Case{"end of line after 10 pixels of a 12-byte row zero-fills to the next row",
                 {10, 1, 0, 0, 3, 2, 0, 1},
                 12,
                 2,
                 Filled(24, {{0, Repeat(10, 1)}, {12, Repeat(3, 2)}}),
                 15},
        Rle8Case{"end of line at a row start (width 8) does nothing and skips no row",
                 {8, 1, 0, 0, 8, 2, 0, 1},
                 8,
                 3,
                 Filled(24, {{0, Repeat(8, 1)}, {8, Repeat(8, 2)}}),
                 16},
        Rle8Case{"end of line as the first code does nothing",
                 {0, 0, 2, 5, 0, 1},
                 4,
                 2,
                 Filled(8, {{0, {5, 5}}}),
                 2},
        Rle8Case{"delta 3,1 with stride 12 moves to 15 and writes nothing",
                 {0, 2, 3, 1, 1, 9, 0, 1},
                 12,
                 2,
                 Filled(24, {{15, {9}}}),
                 16},
        Rle8Case{"odd absolute run skips one pad byte",
                 {0, 3, 7, 8, 9, kPad, 1, 4, 0, 1},
                 8,
                 1,
                 Filled(8, {{0, {7, 8, 9, 4}}}),
                 4},
        Rle8Case{"even absolute run has no pad byte",
                 {0, 4, 7, 8, 9, 6, 1, 4, 0, 1},
                 8,
                 1,
                 Filled(8, {{0, {7, 8, 9, 6, 4}}}),
                 5},
        Rle8Case{"end of bitmap after the first row leaves later rows 0",
                 {12, 1, 0, 1, 12, 2},
                 12,
                 3,
                 Filled(36, {{0, Repeat(12, 1)}}),
                 12},
        Rle8Case{"runs that fill the area end it, with an end of bitmap",
                 {8, 3, 0, 1},
                 4,
                 2,
                 Repeat(8, 3),
                 8},
        Rle8Case{"runs that fill the area end it, without an end of bitmap",
                 {8, 3, 4, 7, 4, 7},
                 4,
                 2,
                 Repeat(8, 3),
                 8},
        Rle8Case{"a delta to the end of the area ends the expansion without writing",
                 {0, 2, 0, 2, 4, 7},
                 4,
                 2,
                 Repeat(8, 0),
                 8},
        Rle8Case{"a delta beyond the area ends the expansion without writing",
                 {2, 1, 0, 2, 3, 9, 4, 7},
                 4,
                 2,
                 Filled(8, {{0, {1, 1}}}),
                 2 + 9 * 4 + 3},
        Rle8Case{"a run of 5 starting 2 before a row end carries into the next row",
                 {0, 2, 10, 0, 5, 4, 0, 1},
                 12,
                 2,
                 Filled(24, {{10, Repeat(5, 4)}}),
                 15},
        Rle8Case{"an absolute run carries into the next row",
                 {3, 1, 0, 3, 7, 8, 9, kPad, 0, 1},
                 4,
                 2,
                 Filled(8, {{0, {1, 1, 1, 7, 8, 9}}}),
                 6},
        Rle8Case{"a delta carries across the row end",
                 {0, 2, 6, 0, 1, 9, 0, 1},
                 4,
                 3,
                 Filled(12, {{6, {9}}}),
                 7},
        Rle8Case{"end of line after a delta into the next row ends that row",
                 {0, 2, 5, 0, 0, 0, 1, 9, 0, 1},
                 4,
                 3,
                 Filled(12, {{8, {9}}}),
                 9},
        // Bounds the linear model leaves open: clipped at the area, stopped at the input.
        Rle8Case{"a run past the area is clipped at its end",
                 {6, 1, 5, 2, 0, 1},
                 4,
                 2,
                 Filled(8, {{0, Repeat(6, 1)}, {6, {2, 2}}}),
                 11},
        Rle8Case{"an absolute run past the area is clipped at its end",
                 {6, 1, 0, 5, 7, 8, 9, 10, 11, kPad},
                 4,
                 2,
                 Filled(8, {{0, Repeat(6, 1)}, {6, {7, 8}}}),
                 11},
        Rle8Case{"a stream without end of bitmap stops at the end of its bytes",
                 {3, 1, 0, 0, 2, 2},
                 4,
                 3,
                 Filled(12, {{0, {1, 1, 1}}, {4, {2, 2}}}),
                 6},
        Rle8Case{"a count without its value byte is not a run",
                 {2, 1, 3},
                 4,
                 1,
                 Filled(4, {{0, {1, 1}}}),
                 2},
        Rle8Case{"an escape without its code byte ends the stream",
                 {2, 1, 0},
                 4,
                 1,
                 Filled(4, {{0, {1, 1}}}),
                 2},
        Rle8Case{"a delta without both offsets ends the stream",
                 {2, 1, 0, 2, 1},
                 4,
                 1,
                 Filled(4, {{0, {1, 1}}}),
                 2},
        Rle8Case{"an absolute run cut short copies what is there and stops",
                 {0, 5, 7, 8},
                 8,
                 1,
                 Filled(8, {{0, {7, 8}}}),
                 0},
        Rle8Case{"an odd absolute run at the very end needs no pad byte",
                 {0, 3, 7, 8, 9},
                 4,
                 1,
                 Filled(4, {{0, {7, 8, 9}}}),
                 3},
        Rle8Case{"an empty stream writes nothing", {}, 4, 1, Repeat(4, 0), 0}));

TEST(RoundUp, RoundsToTheNextMultiple)
{
    EXPECT_EQ(RoundUp(0, 4), 0);
    EXPECT_EQ(RoundUp(5, 4), 8);
    EXPECT_EQ(RoundUp(8, 4), 8);
    EXPECT_EQ(RoundUp(10, 4), 12);
    EXPECT_EQ(RoundUp(16383, 4), 16384);
}

TEST(Rle8Decode, RefusesAreasThatCannotBeCounted)
{
    uint8_t stream[] = {1, 1};
    uint8_t out[1] = {0};
    EXPECT_EQ(DecodeRle8(out, stream, 2, 0, 1), 0);
    EXPECT_EQ(DecodeRle8(out, stream, 2, 4, -1), 0);
    EXPECT_EQ(DecodeRle8(out, stream, 2, 65536, 65536), 0);
    EXPECT_EQ(out[0], 0);
}

// The test encoder's streams of whole pictures come back as the picture's plain rows.
TEST(Rle8Decode, EncodedPicturesComeBackExactly)
{
    for (int32_t width : {1, 3, 8, 10, 127, 300}) {
        bmpw::Picture p = bmpw::MakeTestPicture(width, 17, uint32_t(width));
        Expanded e = Expand(bmpw::EncodeRle8(p), RoundUp(width, 4), 17);
        EXPECT_EQ(e.pixels, bmpw::PlainRows(p)) << "width " << width;
    }
}

// Every cut of a good stream keeps, byte for byte, either the full picture's value or the
// zero of a pixel that was never reached.
TEST(Rle8Malformed, CutStreamsWriteOnlyAPrefixOfThePicture)
{
    bmpw::Picture p = bmpw::MakeTestPicture(37, 9, 3);
    Bytes stream = bmpw::EncodeRle8(p);
    Bytes full = bmpw::PlainRows(p);
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        Expanded e = Expand(Bytes(stream.begin(), stream.begin() + long(cut)), 40, 9);
        for (size_t i = 0; i < full.size(); ++i)
            ASSERT_TRUE(e.pixels[i] == full[i] || e.pixels[i] == 0) << "cut " << cut << " at " << i;
    }
}

// Corrupting any byte of a good stream into each kind of code never reaches outside the
// area or the stream (the sanitizer watches), and the position stays within one code's
// reach of the area's end.
TEST(Rle8Malformed, CorruptedStreamsStayInBounds)
{
    bmpw::Picture p = bmpw::MakeTestPicture(13, 7, 5);
    Bytes stream = bmpw::EncodeRle8(p);
    const int32_t stride = 16, rows = 7;
    for (size_t at = 0; at < stream.size(); ++at) {
        for (uint8_t value : {0, 1, 2, 3, 4, 0x7F, 0xFE, 0xFF}) {
            Bytes bad = stream;
            bad[at] = value;
            Expanded e = Expand(bad, stride, rows);
            ASSERT_LE(e.position, stride * rows + 255 * stride + 255) << at << " " << int(value);
        }
    }
    // Streams of nothing but deltas, long runs or long absolute runs into a one-row area.
    for (uint8_t code : {2, 255}) {
        Bytes flood(1000, code);
        flood[0] = 0;
        Expand(flood, 4, 1);
    }
}

} // namespace
