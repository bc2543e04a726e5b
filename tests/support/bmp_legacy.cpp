// Frozen copy of the 8-bit, 40-byte-header loader; see bmp_legacy.h. Do not change it: it is
// the reference that later loaders are compared with.
#include "tests/support/bmp_legacy.h"

#include <cstring>

namespace bmplegacy
{
namespace
{

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr int32_t kMaxSide = 16384;
constexpr uint32_t kMaxArea = 64u << 20;
constexpr uint32_t kPackedColors = 256;

struct Layout {
    int32_t width, height, stride;
    uint32_t area, compression, tableOffset, entrySize, colorCount, pixelOffset, pixelLength;
};

uint16_t Get16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Put32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

int32_t RoundUp(int32_t value, int32_t multiple)
{
    int32_t r = value % multiple;
    return r == 0 ? value : value + multiple - r;
}

bool ReadLayout(const uint8_t* fileHeader, const uint8_t* contents, uint32_t infoLength,
                Layout* layout)
{
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return false;
    if (infoLength < 4 || Get32(contents) != kInfoHeaderSize || infoLength < kInfoHeaderSize)
        return false;
    int32_t width = int32_t(Get32(contents + 4));
    int32_t height = int32_t(Get32(contents + 8));
    uint16_t bitCount = Get16(contents + 14);
    uint32_t compression = Get32(contents + 16);
    uint32_t colorsUsed = Get32(contents + 32);
    if (bitCount != 8 || (compression != kRgb && compression != kRle8))
        return false;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
        return false;
    uint64_t area = uint64_t(RoundUp(width, 4)) * uint64_t(height);
    if (area > kMaxArea)
        return false;

    uint64_t declared = colorsUsed == 0 ? 256 : colorsUsed;
    uint64_t tableEnd = uint64_t(kInfoHeaderSize) + 4 * declared;
    if (tableEnd > infoLength)
        return false;
    uint64_t needed = compression == kRgb ? area : 1;
    uint32_t pixelOffset = uint32_t(tableEnd);
    uint32_t offBits = Get32(fileHeader + 10);
    if (offBits >= kFileHeaderSize) {
        uint64_t at = uint64_t(offBits) - kFileHeaderSize;
        if (at >= tableEnd && at + needed <= infoLength)
            pixelOffset = uint32_t(at);
    }
    layout->width = width;
    layout->height = height;
    layout->stride = RoundUp(width, 4);
    layout->area = uint32_t(area);
    layout->compression = compression;
    layout->tableOffset = kInfoHeaderSize;
    layout->entrySize = 4;
    layout->colorCount = declared > 256 ? 256 : uint32_t(declared);
    layout->pixelOffset = pixelOffset;
    layout->pixelLength = infoLength - pixelOffset;
    return compression != kRgb || layout->area <= layout->pixelLength;
}

void DecodeRle8(uint8_t* destination, const uint8_t* source, uint32_t sourceLength, int32_t stride,
                int32_t rows)
{
    const int64_t total = int64_t(stride) * rows;
    const uint8_t* in = source;
    const uint8_t* end = source + sourceLength;
    int64_t position = 0;
    while (position < total && end - in >= 2) {
        uint32_t count = in[0];
        uint32_t code = in[1];
        in += 2;
        if (count != 0) {
            int64_t room = total - position;
            std::memset(destination + position, int(code), size_t(count < room ? count : room));
            position += count;
        } else if (code == 0) {
            int64_t r = position % stride;
            if (r != 0) {
                std::memset(destination + position, 0, size_t(stride - r));
                position += stride - r;
            }
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (end - in < 2)
                break;
            position += int64_t(in[1]) * stride + in[0];
            in += 2;
        } else {
            int64_t room = total - position;
            int64_t available = end - in;
            int64_t copy = code;
            if (copy > room)
                copy = room;
            if (copy > available)
                copy = available;
            std::memmove(destination + position, in, size_t(copy));
            if (available < code)
                break;
            position += code;
            in += code;
            if ((code & 1) && in < end)
                ++in;
        }
    }
}

} // namespace

bool Decode(const uint8_t* file, size_t size, Decoded* out)
{
    if (size < kFileHeaderSize)
        return false;
    const uint8_t* contents = file + kFileHeaderSize;
    uint32_t length = uint32_t(size - kFileHeaderSize);
    Layout layout;
    if (!ReadLayout(file, contents, length, &layout))
        return false;

    std::memset(out->colors, 0, sizeof out->colors);
    const uint8_t* entry = contents + layout.tableOffset;
    for (uint32_t i = 0; i < layout.colorCount; ++i, entry += layout.entrySize) {
        out->colors[i][0] = entry[2];
        out->colors[i][1] = entry[1];
        out->colors[i][2] = entry[0];
    }

    out->packed.assign(kInfoHeaderSize + 2 * kPackedColors + layout.area, 0);
    uint8_t* packed = out->packed.data();
    std::memcpy(packed, contents, kInfoHeaderSize);
    uint32_t colorsUsed = Get32(packed + 32);
    if (colorsUsed != 0 && colorsUsed != kPackedColors)
        Put32(packed + 32, 0);
    uint8_t* table = packed + kInfoHeaderSize;
    for (uint32_t i = 0; i < kPackedColors; ++i) {
        table[2 * i] = uint8_t(i);
        table[2 * i + 1] = uint8_t(i >> 8);
    }
    uint8_t* rows = table + 2 * kPackedColors;
    const uint8_t* source = contents + layout.pixelOffset;
    if (layout.compression == kRle8) {
        Put32(packed + 16, kRgb);
        Put32(packed + 20, layout.area);
        DecodeRle8(rows, source, layout.pixelLength, layout.stride, layout.height);
    } else {
        std::memcpy(rows, source, layout.area);
    }
    return true;
}

} // namespace bmplegacy
