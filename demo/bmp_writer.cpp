#include "demo/bmp_writer.h"

#include <algorithm>

namespace bmpw
{
namespace
{

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The 14-byte file header and the info header's size field.
void PutFileHeader(std::vector<uint8_t>& out, const BmpFields& f, uint32_t offBits, uint32_t total)
{
    out.push_back(f.magic[0]);
    out.push_back(f.magic[1]);
    Put32(out, f.bfSize ? f.bfSize : total);
    Put32(out, 0);
    Put32(out, offBits);
    Put32(out, f.biSize);
}

// The colour table with 3- or 4-byte entries, any gap up to offBits, then the pixel data.
void PutTableAndPixels(std::vector<uint8_t>& out, const std::vector<RgbQuad>& table,
                       uint32_t entrySize, uint32_t offBits, const std::vector<uint8_t>& pixels)
{
    for (const RgbQuad& q : table) {
        out.push_back(q.blue);
        out.push_back(q.green);
        out.push_back(q.red);
        if (entrySize == 4)
            out.push_back(q.reserved);
    }
    if (offBits > out.size())
        out.resize(offBits, 0);
    out.insert(out.end(), pixels.begin(), pixels.end());
}

uint32_t Stride(int32_t width)
{
    return (uint32_t(width) + 3u) & ~3u;
}

} // namespace

std::vector<uint8_t> BuildBmp(const BmpFields& f, const std::vector<RgbQuad>& table,
                              const std::vector<uint8_t>& pixelData)
{
    uint32_t headerBytes = std::max<uint32_t>(f.biSize, 40);
    uint32_t tableEnd = 14 + headerBytes + uint32_t(table.size()) * 4;
    uint32_t offBits = f.bfOffBits ? f.bfOffBits : tableEnd;
    uint32_t total = std::max(offBits, tableEnd) + uint32_t(pixelData.size());

    std::vector<uint8_t> out;
    PutFileHeader(out, f, offBits, total);
    Put32(out, uint32_t(f.biWidth));
    Put32(out, uint32_t(f.biHeight));
    Put16(out, f.biPlanes);
    Put16(out, f.biBitCount);
    Put32(out, f.biCompression);
    Put32(out, f.biSizeImage ? f.biSizeImage : uint32_t(pixelData.size()));
    Put32(out, uint32_t(f.biXPelsPerMeter));
    Put32(out, uint32_t(f.biYPelsPerMeter));
    Put32(out, f.biClrUsed);
    Put32(out, f.biClrImportant);
    out.resize(14 + headerBytes, 0);
    PutTableAndPixels(out, table, 4, offBits, pixelData);
    return out;
}

std::vector<uint8_t> BuildBmpVariant(const BmpFields& f, const std::vector<RgbQuad>& table,
                                     const std::vector<uint8_t>& pixelData)
{
    if (f.biSize != 12 && f.biSize != 16)
        return BuildBmp(f, table, pixelData);
    uint32_t entrySize = f.biSize == 12 ? 3 : 4;
    uint32_t tableEnd = 14 + f.biSize + uint32_t(table.size()) * entrySize;
    uint32_t offBits = f.bfOffBits ? f.bfOffBits : tableEnd;
    uint32_t total = std::max(offBits, tableEnd) + uint32_t(pixelData.size());

    std::vector<uint8_t> out;
    PutFileHeader(out, f, offBits, total);
    if (f.biSize == 12) {
        Put16(out, uint32_t(f.biWidth));
        Put16(out, uint32_t(f.biHeight));
    } else {
        Put32(out, uint32_t(f.biWidth));
        Put32(out, uint32_t(f.biHeight));
    }
    Put16(out, f.biPlanes);
    Put16(out, f.biBitCount);
    PutTableAndPixels(out, table, entrySize, offBits, pixelData);
    return out;
}

std::vector<uint8_t> PackedRows(const Picture& p, uint16_t bitCount, bool topDown)
{
    uint32_t stride = (uint32_t(p.width) * bitCount + 31) / 32 * 4;
    std::vector<uint8_t> out(size_t(stride) * size_t(p.height), 0);
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* src = &p.pixels[size_t(topDown ? y : p.height - 1 - y) * size_t(p.width)];
        uint8_t* row = &out[size_t(y) * stride];
        for (int32_t x = 0; x < p.width; ++x) {
            uint32_t bit = uint32_t(x) * bitCount;
            row[bit / 8] |= uint8_t(src[x] << (8 - bitCount - bit % 8));
        }
    }
    return out;
}

// The RLE8 or RLE4 codes of a picture, bottom row first: runs of three or more equal
// pixels as runs, other stretches of three or more as absolute runs, shorter ones as runs
// of one; an end of line between rows. RLE4 holds two pixels to a byte, high nibble first.
static std::vector<uint8_t> EncodeRle(const Picture& p, bool rle4)
{
    auto pair = [rle4](uint8_t high, uint8_t low) {
        return rle4 ? uint8_t(high << 4 | low) : high;
    };
    std::vector<uint8_t> out;
    for (int32_t y = p.height - 1; y >= 0; --y) {
        const uint8_t* row = &p.pixels[size_t(y) * size_t(p.width)];
        int32_t x = 0;
        while (x < p.width) {
            int32_t run = 1;
            while (x + run < p.width && run < 255 && row[x + run] == row[x])
                ++run;
            if (run >= 3 || p.width - x < 3) {
                AppendRun(out, uint8_t(run), pair(row[x], row[x]));
                x += run;
                continue;
            }
            // Literal pixels until the next run of three or more, at most 255 of them.
            int32_t end = x;
            while (end < p.width && end - x < 255) {
                if (end + 2 < p.width && row[end] == row[end + 1] && row[end] == row[end + 2])
                    break;
                ++end;
            }
            if (end - x < 3) {
                for (; x < end; ++x)
                    AppendRun(out, 1, pair(row[x], 0));
                continue;
            }
            std::vector<uint8_t> literal;
            for (int32_t i = x; i < end; i += rle4 ? 2 : 1)
                literal.push_back(pair(row[i], rle4 && i + 1 < end ? row[i + 1] : 0));
            // Absolute run: its pixel count, then the bytes, padded to an even count.
            out.push_back(0);
            out.push_back(uint8_t(end - x));
            out.insert(out.end(), literal.begin(), literal.end());
            if (literal.size() % 2)
                out.push_back(0);
            x = end;
        }
        if (y > 0)
            AppendEndOfLine(out);
    }
    AppendEndOfBitmap(out);
    return out;
}

std::vector<uint8_t> EncodeRle4(const Picture& p)
{
    return EncodeRle(p, true);
}

std::vector<uint8_t> PlainRows(const Picture& p)
{
    uint32_t stride = Stride(p.width);
    std::vector<uint8_t> out(size_t(stride) * size_t(p.height), 0);
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* src = &p.pixels[size_t(p.height - 1 - y) * size_t(p.width)];
        std::copy(src, src + p.width, &out[size_t(y) * stride]);
    }
    return out;
}

void AppendRun(std::vector<uint8_t>& out, uint8_t count, uint8_t value)
{
    out.push_back(count);
    out.push_back(value);
}

void AppendAbsolute(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes)
{
    out.push_back(0);
    out.push_back(uint8_t(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
    if (bytes.size() % 2)
        out.push_back(0);
}

void AppendEndOfLine(std::vector<uint8_t>& out)
{
    out.push_back(0);
    out.push_back(0);
}

void AppendEndOfBitmap(std::vector<uint8_t>& out)
{
    out.push_back(0);
    out.push_back(1);
}

void AppendDelta(std::vector<uint8_t>& out, uint8_t dx, uint8_t dy)
{
    out.push_back(0);
    out.push_back(2);
    out.push_back(dx);
    out.push_back(dy);
}

std::vector<uint8_t> EncodeRle8(const Picture& p)
{
    return EncodeRle(p, false);
}

std::vector<uint8_t> WritePlainBmp(const Picture& p)
{
    BmpFields f;
    f.biWidth = p.width;
    f.biHeight = p.height;
    f.biClrUsed = p.palette.size() == 256 ? 0 : uint32_t(p.palette.size());
    return BuildBmp(f, p.palette, PlainRows(p));
}

std::vector<uint8_t> WriteRle8Bmp(const Picture& p)
{
    BmpFields f;
    f.biWidth = p.width;
    f.biHeight = p.height;
    f.biCompression = kBiRle8;
    f.biClrUsed = p.palette.size() == 256 ? 0 : uint32_t(p.palette.size());
    return BuildBmp(f, p.palette, EncodeRle8(p));
}

Picture MakeTestPicture(int32_t width, int32_t height, uint32_t seed)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.pixels.assign(size_t(width) * size_t(height), 0);
    p.palette.resize(256);
    for (int i = 0; i < 256; ++i)
        p.palette[i] = RgbQuad{uint8_t(255 - i), uint8_t((i * 7 + seed) & 0xFF), uint8_t(i), 0};
    uint32_t state = seed * 2654435761u + 1;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint8_t v = uint8_t((x / 8 + y / 4) & 0x3F);
            if ((x / 16 + y / 16) % 5 == 0) {
                state = state * 1103515245u + 12345u;
                v = uint8_t(64 + (state >> 24) % 192); // noisy tiles: absolute runs
            }
            p.at(x, y) = v;
        }
    }
    return p;
}

} // namespace bmpw
