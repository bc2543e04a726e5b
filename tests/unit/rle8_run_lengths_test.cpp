// BI_RLE8 runs, absolute runs and end-of-line fills of every length the stream can hold, at
// every alignment, clipped or not by the area's end: exactly their bytes are written.
#include "bitmap/bmp_core.h"
#include "demo/bmp_writer.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kLead = 0x11;   // the pixels before the run under test
constexpr uint8_t kBefore = 0xAA; // what the area held before the expansion

// Expands a heap copy of exactly the stream into a heap area of exactly stride * rows bytes
// that holds fill, so the sanitizer sees any access outside either.
Bytes Expand(const Bytes& stream, size_t stride, size_t rows, uint8_t fill)
{
    const size_t total = stride * rows;
    std::unique_ptr<uint8_t[]> in(new uint8_t[stream.size()]);
    std::copy(stream.begin(), stream.end(), in.get());
    std::unique_ptr<uint8_t[]> area(new uint8_t[total]);
    std::fill(area.get(), area.get() + total, fill);
    DecodeRle8(area.get(), in.get(), uint32_t(stream.size()), int32_t(stride), int32_t(rows));
    return Bytes(area.get(), area.get() + total);
}

// A stream that starts the run under test offset pixels into the area.
Bytes LeadTo(size_t offset)
{
    Bytes stream;
    if (offset > 0)
        bmpw::AppendRun(stream, uint8_t(offset), kLead);
    return stream;
}

struct RunKind {
    const char* name;
    bool absolute;
};

class Rle8RunLengths : public ::testing::TestWithParam<RunKind>
{
};

// A run of n pixels at offset into an area with room pixels left writes its first
// min(n, room) pixels and leaves every pixel after them as it was.
TEST_P(Rle8RunLengths, WriteExactlyTheirPixels)
{
    const bool absolute = GetParam().absolute;
    for (size_t n = absolute ? 3 : 1; n <= 255; ++n) {
        Bytes pixels(n);
        for (size_t i = 0; i < n; ++i)
            pixels[i] = absolute ? uint8_t(0x40 + i % 61) : 0x77;
        for (size_t offset = 0; offset < 16; ++offset) {
            Bytes stream = LeadTo(offset);
            if (absolute)
                bmpw::AppendAbsolute(stream, pixels);
            else
                bmpw::AppendRun(stream, uint8_t(n), 0x77);
            bmpw::AppendEndOfBitmap(stream);
            for (size_t room : {size_t(1), n - 1, n, n + 1, n + 17}) {
                if (room == 0)
                    continue;
                size_t total = offset + room;
                Bytes expected(total, 0);
                std::fill(expected.begin(), expected.begin() + long(offset), kLead);
                std::copy(pixels.begin(), pixels.begin() + long(std::min(n, room)),
                          expected.begin() + long(offset));
                ASSERT_EQ(Expand(stream, total, 1, 0), expected)
                    << "length " << n << " at " << offset << " with room " << room;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Rle8RunLengths,
                         ::testing::Values(RunKind{"encoded", false}, RunKind{"absolute", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// An end of line at any column of a row writes zeros to the row's end, whatever the area
// held there, and the next code starts the following row.
TEST(Rle8EndOfLine, ZeroesTheRestOfTheRowFromAnyColumn)
{
    for (size_t stride : {size_t(4), size_t(20), size_t(300)}) {
        for (size_t column = 1; column < stride; ++column) {
            Bytes stream;
            for (size_t left = column; left > 0; left -= std::min<size_t>(left, 255))
                bmpw::AppendRun(stream, uint8_t(std::min<size_t>(left, 255)), kLead);
            bmpw::AppendEndOfLine(stream);
            bmpw::AppendRun(stream, 1, 0x22);
            bmpw::AppendEndOfBitmap(stream);

            Bytes expected(2 * stride, kBefore);
            std::fill(expected.begin(), expected.begin() + long(column), kLead);
            std::fill(expected.begin() + long(column), expected.begin() + long(stride), 0);
            expected[stride] = 0x22;
            ASSERT_EQ(Expand(stream, stride, 2, kBefore), expected)
                << "stride " << stride << " column " << column;
        }
    }
}

} // namespace
