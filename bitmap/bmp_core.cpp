// Reading, checking and expanding BMP files; see bmp_core.h.
#include "bitmap/bmp_core.h"

#include <string.h>

namespace
{

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

// The info header fields the loader uses, whatever the header's variant.
struct BmpInfoFields {
    uint32_t headerSize;
    int32_t width;
    int32_t height;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t colorsUsed;
};

// Reads the info header's fields. Only the 40-byte BITMAPINFOHEADER is taken for now; other
// variants are refused here, where their readers belong.
bool ReadInfoFields(const uint8_t* contents, uint32_t length, BmpInfoFields* fields)
{
    if (length < 4)
        return false;
    fields->headerSize = Get32(contents);
    if (fields->headerSize != kBmpInfoHeaderSize || length < kBmpInfoHeaderSize)
        return false;
    fields->width = int32_t(Get32(contents + 4));
    fields->height = int32_t(Get32(contents + 8));
    fields->bitCount = Get16(contents + 14);
    fields->compression = Get32(contents + 16);
    fields->colorsUsed = Get32(contents + 32);
    return true;
}

// Size, depth and compression that the packed block can hold.
bool FieldsSupported(const BmpInfoFields& f)
{
    if (f.bitCount != 8)
        return false;
    if (f.compression != kBmpRgb && f.compression != kBmpRle8)
        return false;
    if (f.width <= 0 || f.height <= 0 || f.width > kBmpMaxSide || f.height > kBmpMaxSide)
        return false;
    uint64_t area = uint64_t(RoundUp(f.width, 4)) * uint64_t(f.height);
    return area <= kBmpMaxArea;
}

} // namespace

int32_t RoundUp(int32_t value, int32_t multiple)
{
    int32_t r = value % multiple;
    return r == 0 ? value : value + multiple - r;
}

bool ReadBmpLayout(const uint8_t* fileHeader, const uint8_t* contents, uint32_t infoLength,
                   BmpLayout* layout)
{
    if (!fileHeader || !contents || !layout)
        return false;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return false;
    BmpInfoFields f;
    if (!ReadInfoFields(contents, infoLength, &f) || !FieldsSupported(f))
        return false;

    // The table as the file declares it (0: a full one) must lie inside what was read;
    // entries past 256 are not used.
    const uint32_t entrySize = 4;
    uint64_t declared = f.colorsUsed == 0 ? 256 : f.colorsUsed;
    uint64_t tableEnd = uint64_t(f.headerSize) + entrySize * declared;
    if (tableEnd > infoLength)
        return false;

    // Pixels start where bfOffBits says when that lies at or after the table and the
    // pixels from there lie inside the file (all plain rows, or at least one byte of an
    // RLE8 stream); otherwise right after the table.
    uint64_t area = uint64_t(RoundUp(f.width, 4)) * uint64_t(f.height);
    uint64_t needed = f.compression == kBmpRgb ? area : 1;
    uint32_t pixelOffset = uint32_t(tableEnd);
    uint32_t offBits = Get32(fileHeader + 10);
    if (offBits >= kBmpFileHeaderSize) {
        uint64_t at = uint64_t(offBits) - kBmpFileHeaderSize;
        if (at >= tableEnd && at + needed <= infoLength)
            pixelOffset = uint32_t(at);
    }

    layout->headerSize = f.headerSize;
    layout->width = f.width;
    layout->height = f.height;
    layout->stride = RoundUp(f.width, 4);
    layout->area = uint32_t(area);
    layout->compression = f.compression;
    layout->tableOffset = f.headerSize;
    layout->entrySize = entrySize;
    layout->colorCount = declared > 256 ? 256 : uint32_t(declared);
    layout->pixelOffset = pixelOffset;
    layout->pixelLength = infoLength - pixelOffset;
    // Plain rows must all be there.
    return f.compression != kBmpRgb || layout->area <= layout->pixelLength;
}

void ReadBmpColors(const BmpLayout& layout, const uint8_t* contents,
                   BmpColor colors[kBmpPackedColors])
{
    memset(colors, 0, sizeof(BmpColor) * kBmpPackedColors);
    const uint8_t* entry = contents + layout.tableOffset;
    for (uint32_t i = 0; i < layout.colorCount; ++i, entry += layout.entrySize)
        colors[i] = BmpColor{entry[2], entry[1], entry[0]};
}

uint32_t PackedDibSize(const BmpLayout& layout)
{
    return kBmpInfoHeaderSize + 2 * kBmpPackedColors + layout.area;
}

void UnpackBmp(const BmpLayout& layout, const uint8_t* contents, uint8_t* packed)
{
    memcpy(packed, contents, kBmpInfoHeaderSize);
    // The block's index table always has 256 entries, and the palette too (black beyond
    // the file's colours). A count that says otherwise would leave values beyond it to the
    // system's judgement, or have it read rows as table entries: it becomes 0, all 256.
    uint32_t colorsUsed = Get32(packed + 32);
    if (colorsUsed != 0 && colorsUsed != kBmpPackedColors)
        Put32(packed + 32, 0);
    uint8_t* table = packed + kBmpInfoHeaderSize;
    for (uint32_t i = 0; i < kBmpPackedColors; ++i) {
        table[2 * i] = uint8_t(i);
        table[2 * i + 1] = uint8_t(i >> 8);
    }
    uint8_t* rows = table + 2 * kBmpPackedColors;
    const uint8_t* source = contents + layout.pixelOffset;
    if (layout.compression == kBmpRle8) {
        Put32(packed + 16, kBmpRgb);
        Put32(packed + 20, layout.area);
        DecodeRle8(rows, source, layout.pixelLength, layout.stride, layout.height);
    } else {
        memcpy(rows, source, layout.area);
    }
}

int32_t DecodeRle8(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                   int32_t stride, int32_t rows)
{
    if (stride <= 0 || rows <= 0 || int64_t(stride) * rows > INT32_MAX)
        return 0;
    const int64_t total = int64_t(stride) * rows;
    const uint8_t* in = source;
    const uint8_t* end = source + sourceLength;
    int64_t position = 0;

    while (position < total && end - in >= 2) {
        uint32_t count = in[0];
        uint32_t code = in[1];
        in += 2;
        if (count != 0) { // encoded run of count bytes of value code
            int64_t room = total - position;
            memset(destination + position, int(code), size_t(count < room ? count : room));
            position += count;
        } else if (code == 0) { // end of line: to the start of the next row
            int64_t r = position % stride;
            if (r != 0) {
                memset(destination + position, 0, size_t(stride - r));
                position += stride - r;
            }
        } else if (code == 1) { // end of bitmap
            break;
        } else if (code == 2) { // delta: dx, dy
            if (end - in < 2)
                break;
            position += int64_t(in[1]) * stride + in[0];
            in += 2;
        } else { // absolute run of code bytes, padded to an even length
            int64_t room = total - position;
            int64_t available = end - in;
            int64_t copy = code;
            if (copy > room)
                copy = room;
            if (copy > available)
                copy = available;
            memmove(destination + position, in, size_t(copy));
            if (available < code)
                break;
            position += code;
            in += code;
            if ((code & 1) && in < end)
                ++in;
        }
    }
    return position > INT32_MAX ? INT32_MAX : int32_t(position);
}
