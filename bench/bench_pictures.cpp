// Making the benchmark pictures; see bench_pictures.h.
#include "bench/bench_pictures.h"

namespace benchpic
{
namespace
{

// A small deterministic generator (xorshift32): the pictures must not depend on the
// platform's random number library.
struct Random {
    uint32_t state;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // A value from low to high, both included.
    int32_t Between(int32_t low, int32_t high)
    {
        return low + int32_t(Next() % uint32_t(high - low + 1));
    }
};

struct RunLengths {
    int32_t runLow, runHigh;           // encoded runs
    int32_t absoluteLow, absoluteHigh; // absolute runs
};

RunLengths LengthsOf(Kind kind)
{
    return kind == Kind::LongRuns ? RunLengths{1, 255, 3, 255} : RunLengths{1, 4, 3, 8};
}

// One row as alternating encoded and absolute runs, appended to the stream and to the
// expected rows. Runs stay inside the row; where fewer than three pixels are left, an
// encoded run ends it.
void EncodeRow(const RunLengths& lengths, int32_t width, Random& random,
               std::vector<uint8_t>& stream, std::vector<uint8_t>& rows)
{
    bool absolute = false;
    for (int32_t x = 0; x < width;) {
        int32_t left = width - x;
        if (absolute && left >= 3) {
            int32_t n = random.Between(lengths.absoluteLow, lengths.absoluteHigh);
            n = n < left ? n : left;
            std::vector<uint8_t> bytes(static_cast<size_t>(n));
            for (uint8_t& b : bytes)
                b = uint8_t(random.Next() >> 24);
            bmpw::AppendAbsolute(stream, bytes);
            rows.insert(rows.end(), bytes.begin(), bytes.end());
            x += n;
        } else {
            int32_t n = random.Between(lengths.runLow, lengths.runHigh);
            n = n < left ? n : left;
            uint8_t value = uint8_t(random.Next() >> 24);
            bmpw::AppendRun(stream, uint8_t(n), value);
            rows.insert(rows.end(), size_t(n), value);
            x += n;
        }
        absolute = !absolute;
    }
}

std::vector<bmpw::RgbQuad> DistinctPalette()
{
    std::vector<bmpw::RgbQuad> palette(256);
    for (uint32_t i = 0; i < 256; ++i)
        palette[i] = bmpw::RgbQuad{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i), 0};
    return palette;
}

} // namespace

const char* KindName(Kind kind)
{
    switch (kind) {
    case Kind::LongRuns:
        return "long";
    case Kind::ShortRuns:
        return "short";
    case Kind::Plain:
        return "plain";
    }
    return "?";
}

std::string PictureName(Kind kind, Size size)
{
    return std::string(KindName(kind)) + "-" + std::to_string(size.width) + "x" +
           std::to_string(size.height);
}

BenchPicture MakeBenchPicture(Kind kind, Size size)
{
    BenchPicture p;
    p.kind = kind;
    p.width = size.width;
    p.height = size.height;
    p.stride = (size.width + 3) / 4 * 4;
    p.palette = DistinctPalette();
    Random random{uint32_t(0x9E3779B9u ^ uint32_t(size.width) * 31u ^ uint32_t(kind))};
    p.rows.reserve(size_t(p.stride) * size_t(p.height));

    bmpw::BmpFields fields;
    fields.biWidth = size.width;
    fields.biHeight = size.height;
    if (kind == Kind::Plain) {
        for (size_t i = 0; i < size_t(p.stride) * size_t(p.height); ++i)
            p.rows.push_back(uint8_t(random.Next() >> 24));
        p.file = bmpw::BuildBmp(fields, p.palette, p.rows);
        return p;
    }
    RunLengths lengths = LengthsOf(kind);
    for (int32_t y = 0; y < size.height; ++y) {
        EncodeRow(lengths, size.width, random, p.stream, p.rows);
        p.rows.insert(p.rows.end(), size_t(p.stride - size.width), 0);
        if (y + 1 < size.height)
            bmpw::AppendEndOfLine(p.stream);
    }
    bmpw::AppendEndOfBitmap(p.stream);
    fields.biCompression = bmpw::kBiRle8;
    p.file = bmpw::BuildBmp(fields, p.palette, p.stream);
    return p;
}

} // namespace benchpic
