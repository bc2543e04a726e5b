// BMP writer and RLE encoders: builds picture files in memory, well-formed or deliberately
// broken. The demo's title picture is made with it, and so are the tests' and benchmarks'
// pictures, so that no binary picture has to live in the repository.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmpw
{

struct RgbQuad {
    uint8_t blue, green, red, reserved;
};

// An 8-bit picture: rows top-down, width bytes each (no padding), and its colours.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
    std::vector<RgbQuad> palette;
    uint8_t& at(int32_t x, int32_t y)
    {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// Header fields as they go into the file. Zero in bfSize, bfOffBits and biSizeImage means
// "fill in the value a careful writer would"; every other field is written as it stands.
struct BmpFields {
    uint8_t magic[2] = {'B', 'M'};
    uint32_t bfSize = 0;
    uint32_t bfOffBits = 0;
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 8;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 2835;
    int32_t biYPelsPerMeter = 2835;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;

// File header, info header (biSize bytes: 40 written, the rest zero), colour table, pixel
// data. With bfOffBits given beyond the table, the gap is zero-filled.
std::vector<uint8_t> BuildBmp(const BmpFields& fields, const std::vector<RgbQuad>& table,
                              const std::vector<uint8_t>& pixelData);

// Like BuildBmp, for every info header size: 12 writes an OS/2 core header (16-bit width,
// height, planes, bit count) and 3-byte colour entries (blue, green, red); 16 writes the
// first 16 bytes of the header; other sizes are written as BuildBmp writes them.
std::vector<uint8_t> BuildBmpVariant(const BmpFields& fields, const std::vector<RgbQuad>& table,
                                     const std::vector<uint8_t>& pixelData);

// Plain rows of 1, 4 or 8 bits per pixel (first pixel in the high bits), each padded with
// zeros to a multiple of 4 bytes; bottom row first, or top row first when topDown.
std::vector<uint8_t> PackedRows(const Picture& picture, uint16_t bitCount, bool topDown = false);

// A BI_RLE4 stream for a picture of values below 16: runs of one value, absolute runs of
// three or more pixels, an end of line after every row but the last, and an end of bitmap.
std::vector<uint8_t> EncodeRle4(const Picture& picture);

// Plain 8-bit rows, bottom row first, each padded with zeros to a multiple of 4 bytes.
std::vector<uint8_t> PlainRows(const Picture& picture);

// A BI_RLE8 stream for the picture: each row as encoded runs and absolute runs, an end of
// line after every row but the last, and an end of bitmap at the end.
std::vector<uint8_t> EncodeRle8(const Picture& picture);

// Pieces of a BI_RLE8 stream, for building streams by hand.
void AppendRun(std::vector<uint8_t>& out, uint8_t count, uint8_t value);
void AppendAbsolute(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes); // 3..255
void AppendEndOfLine(std::vector<uint8_t>& out);
void AppendEndOfBitmap(std::vector<uint8_t>& out);
void AppendDelta(std::vector<uint8_t>& out, uint8_t dx, uint8_t dy);

// Whole files: the picture's palette as a full or biClrUsed-long table, pixels right after.
std::vector<uint8_t> WritePlainBmp(const Picture& picture);
std::vector<uint8_t> WriteRle8Bmp(const Picture& picture);

// A gradient-and-shapes test picture with a 256-colour palette; deterministic.
Picture MakeTestPicture(int32_t width, int32_t height, uint32_t seed = 1);

} // namespace bmpw
