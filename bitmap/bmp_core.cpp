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

void Put16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

// The info header fields the loader uses, whatever the header's variant.
struct BmpInfoFields {
    uint32_t headerSize;
    int64_t width;
    int64_t height; // negative: top row first
    uint16_t bitCount;
    uint32_t compression;
    bool hasColorsUsed; // headers of 12 and 16 bytes have no biClrUsed
    uint32_t colorsUsed;
    uint32_t entrySize; // 3 after an OS/2 core header, else 4
};

// The info header sizes in use: OS/2 core (12), OS/2 2.x (16 and 64, the latter's first 40
// bytes laid out as BITMAPINFOHEADER), BITMAPINFOHEADER (40), its versions with colour
// masks (52, 56) and the V4 and V5 headers (108, 124).
bool KnownHeaderSize(uint32_t size)
{
    static const uint32_t kKnown[] = {12, 16, 40, 52, 56, 64, 108, 124};
    for (uint32_t known : kKnown)
        if (size == known)
            return true;
    return false;
}

// Reads the info header's fields from any known variant that lies wholly inside what was
// read. The core header has 16-bit unsigned sizes and no compression field; the 16-byte
// one ends after biBitCount.
BmpRefusal ReadInfoFields(const uint8_t* contents, uint32_t length, BmpInfoFields* fields)
{
    if (length < 4)
        return BmpRefusal::TruncatedHeader;
    fields->headerSize = Get32(contents);
    if (!KnownHeaderSize(fields->headerSize))
        return BmpRefusal::HeaderSize;
    if (length < fields->headerSize)
        return BmpRefusal::TruncatedHeader;
    if (fields->headerSize == kBmpCoreHeaderSize) {
        fields->width = Get16(contents + 4);
        fields->height = Get16(contents + 6);
        fields->bitCount = Get16(contents + 10);
        fields->compression = kBmpRgb;
        fields->hasColorsUsed = false;
        fields->colorsUsed = 0;
        fields->entrySize = 3;
        return BmpRefusal::None;
    }
    fields->width = int32_t(Get32(contents + 4));
    fields->height = int32_t(Get32(contents + 8));
    fields->bitCount = Get16(contents + 14);
    fields->hasColorsUsed = fields->headerSize >= kBmpInfoHeaderSize;
    fields->compression = fields->hasColorsUsed ? Get32(contents + 16) : kBmpRgb;
    fields->colorsUsed = fields->hasColorsUsed ? Get32(contents + 32) : 0;
    fields->entrySize = 4;
    return BmpRefusal::None;
}

// Rows of width pixels rounded up to whole 32-bit words: file rows at any depth, packed
// rows at 8 bits.
uint64_t RowBytes(int64_t width, uint32_t bitCount)
{
    return (uint64_t(width) * bitCount + 31) / 32 * 4;
}

// Depth, compression and size that the packed block can hold. RLE pictures are bottom-up
// only; the sizes are compared as 64-bit values, so no height, INT32_MIN included, overflows.
BmpRefusal FieldsSupported(const BmpInfoFields& f)
{
    if (f.bitCount != 1 && f.bitCount != 4 && f.bitCount != 8)
        return BmpRefusal::BitDepth;
    bool rleFits = (f.compression == kBmpRle8 && f.bitCount == 8) ||
                   (f.compression == kBmpRle4 && f.bitCount == 4);
    if (f.compression == kBmpRle8 || f.compression == kBmpRle4) {
        if (!rleFits)
            return BmpRefusal::RleDepth;
        if (f.height < 0)
            return BmpRefusal::RleTopDown;
    } else if (f.compression != kBmpRgb) {
        return BmpRefusal::Compression;
    }
    int64_t rows = f.height < 0 ? -f.height : f.height;
    if (f.width <= 0 || rows == 0)
        return BmpRefusal::EmptySize;
    if (f.width > kBmpMaxSide || rows > kBmpMaxSide ||
        RowBytes(f.width, 8) * uint64_t(rows) > kBmpMaxArea)
        return BmpRefusal::TooLarge;
    return BmpRefusal::None;
}

// Colour table entries the file declares. Headers with biClrUsed: that count, 0 meaning
// 2^bits. Headers without: 2^bits, or fewer whole entries when the pixels (bfOffBits)
// start inside such a table, as writers of short OS/2 tables leave it. 0 when none.
uint64_t DeclaredColors(const BmpInfoFields& f, uint32_t offBits)
{
    uint64_t full = uint64_t(1) << f.bitCount;
    if (f.hasColorsUsed)
        return f.colorsUsed == 0 ? full : f.colorsUsed;
    uint64_t at = uint64_t(offBits) - kBmpFileHeaderSize;
    if (offBits >= kBmpFileHeaderSize && at >= f.headerSize &&
        at < f.headerSize + f.entrySize * full)
        return uint32_t(at - f.headerSize) / f.entrySize; // under 1 KiB: 32-bit division
    return full;
}

// Writes the bits-per-pixel values of one file row as one byte per pixel, first pixel in
// the high bits of each byte.
void ExpandRow(const uint8_t* source, uint32_t bitCount, int32_t width, uint8_t* destination)
{
    const uint32_t mask = (1u << bitCount) - 1;
    for (int32_t x = 0; x < width; ++x) {
        uint32_t bit = uint32_t(x) * bitCount;
        destination[x] = uint8_t(source[bit / 8] >> (8 - bitCount - bit % 8) & mask);
    }
}

// The packed block's 40-byte header, made from the file's fields: 8 bits, one plane, BI_RGB,
// positive height, the area as biSizeImage, its pixel densities where it has them. An 8-bit
// bottom-up file with a 40-byte header keeps its other fields (biClrImportant, biClrUsed), as
// loaded since the first version. Planes and size are stated whatever the file says: the
// system paints nothing for 0 planes, and the block holds exactly the area's rows. A
// biClrUsed other than 0 and 256 becomes 0.
void WritePackedHeader(const BmpLayout& layout, const uint8_t* contents, uint8_t* header)
{
    memset(header, 0, kBmpInfoHeaderSize);
    bool ownHeader = layout.headerSize == kBmpInfoHeaderSize && layout.bitCount == 8 &&
                     !layout.topDown && layout.compression != kBmpRle4;
    if (ownHeader)
        memcpy(header, contents, kBmpInfoHeaderSize);
    else if (layout.headerSize >= kBmpInfoHeaderSize)
        memcpy(header + 24, contents + 24, 8); // horizontal and vertical density
    Put32(header, kBmpInfoHeaderSize);
    Put32(header + 4, uint32_t(layout.width));
    Put32(header + 8, uint32_t(layout.height));
    Put16(header + 12, 1);
    Put16(header + 14, 8);
    Put32(header + 16, kBmpRgb);
    Put32(header + 20, layout.area);
    // The block's index table always has 256 entries, and the palette too (black beyond
    // the file's colours). A count that says otherwise would leave values beyond it to the
    // system's judgement, or have it read rows as table entries: it becomes 0, all 256.
    uint32_t colorsUsed = Get32(header + 32);
    if (colorsUsed != 0 && colorsUsed != kBmpPackedColors)
        Put32(header + 32, 0);
}

// Plain rows into bottom-up 8-bit rows: 8-bit bottom-up rows in one block copy, padding
// included; top-down 8-bit rows row by row; 1- and 4-bit rows expanded, padding left 0.
void UnpackPlainRows(const BmpLayout& layout, const uint8_t* source, uint8_t* rows)
{
    if (layout.bitCount == 8 && !layout.topDown) {
        memcpy(rows, source, layout.area);
        return;
    }
    for (int32_t y = 0; y < layout.height; ++y) {
        int32_t fileRow = layout.topDown ? layout.height - 1 - y : y;
        const uint8_t* in = source + size_t(fileRow) * layout.fileStride;
        uint8_t* out = rows + size_t(y) * size_t(layout.stride);
        if (layout.bitCount == 8)
            memcpy(out, in, size_t(layout.stride));
        else
            ExpandRow(in, layout.bitCount, layout.width, out);
    }
}

// Writes n bytes, 0..255, of an 8-bit run or absolute run: from a 16-byte pattern of the run's
// value, or from the stream's bytes (a separate block). Runs in dithered art are mostly a
// few pixels long, and a library call (or a string instruction) per run costs more than the
// run itself, most of all on i686 under Wine; so the bytes go in fixed-size moves of up to
// 16 bytes, the last one overlapping the one before, never past the n bytes.
// 16 bytes as two 8-byte moves: a build for size turns one 16-byte move into a string
// instruction on i686.
inline void Move16(uint8_t* to, const uint8_t* from)
{
    uint64_t low, high;
    memcpy(&low, from, 8);
    memcpy(&high, from + 8, 8);
    memcpy(to, &low, 8);
    memcpy(to + 8, &high, 8);
}

void MoveRun(uint8_t* to, const uint8_t* from, bool pattern, size_t n)
{
    if (n > 16) {
        for (size_t i = 0; i + 16 < n; i += 16)
            Move16(to + i, pattern ? from : from + i);
        Move16(to + n - 16, pattern ? from : from + n - 16);
    } else if (n >= 8) {
        uint64_t head, tail;
        memcpy(&head, from, 8);
        memcpy(&tail, from + n - 8, 8);
        memcpy(to, &head, 8);
        memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4) {
        uint32_t head, tail;
        memcpy(&head, from, 4);
        memcpy(&tail, from + n - 4, 4);
        memcpy(to, &head, 4);
        memcpy(to + n - 4, &tail, 4);
    } else if (n >= 2) {
        uint16_t head, tail;
        memcpy(&head, from, 2);
        memcpy(&tail, from + n - 2, 2);
        memcpy(to, &head, 2);
        memcpy(to + n - 2, &tail, 2);
    } else if (n == 1) {
        *to = *from;
    }
}

// Writes count pixels of a run at position, clipped to room: the value for 8-bit streams,
// alternately its high and low nibble for 4-bit ones.
void WriteRun(uint8_t* at, int64_t count, int64_t room, uint32_t value, bool nibbles)
{
    int64_t n = count < room ? count : room;
    uint8_t high = uint8_t(nibbles ? value >> 4 : value);
    uint8_t low = uint8_t(nibbles ? value & 15 : value);
    if (!nibbles) {
        const uint32_t word = high * 0x01010101u; // built in words: no string instruction
        const uint32_t pattern[4] = {word, word, word, word};
        MoveRun(at, reinterpret_cast<const uint8_t*>(pattern), true, size_t(n));
        return;
    }
    if (high == low) {
        memset(at, high, size_t(n));
        return;
    }
    for (int64_t i = 0; i < n; ++i)
        at[i] = (i & 1) ? low : high;
}

// Copies the pixels of an absolute run from the available stream bytes to position,
// clipped to room: bytes for 8-bit streams, nibbles high first for 4-bit ones.
void CopyAbsolute(uint8_t* at, const uint8_t* in, int64_t pixels, int64_t available, int64_t room,
                  bool nibbles)
{
    int64_t n = pixels;
    int64_t fromStream = nibbles ? available * 2 : available;
    if (n > fromStream)
        n = fromStream;
    if (n > room)
        n = room;
    if (!nibbles) {
        MoveRun(at, in, false, size_t(n));
        return;
    }
    for (int64_t i = 0; i < n; ++i)
        at[i] = uint8_t((i & 1) ? in[i / 2] & 15 : in[i / 2] >> 4);
}

// The linear RLE expansion shared by both depths; see DecodeRle8 and DecodeRle4. With
// kFindBareRow, *bareRow receives the first row (counted in output order) that an end of line
// passed over at the row's very start, or stays as it was when there is none; without it, as
// the launcher expands, nothing of that is compiled in.
template <bool kFindBareRow>
int32_t DecodeRle(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                  int32_t stride, int32_t rows, bool nibbles, int32_t* bareRow)
{
    if (stride <= 0 || rows <= 0 || int64_t(stride) * rows > INT32_MAX)
        return 0;
    const int64_t total = int64_t(stride) * rows;
    const uint8_t* in = source;
    const uint8_t* end = source + sourceLength;
    int64_t position = 0;
    bool rowStart = true; // at a row's start with nothing drawn or passed since it began

    while (position < total && end - in >= 2) {
        uint32_t count = in[0];
        uint32_t code = in[1];
        in += 2;
        if (count != 0) { // encoded run of count pixels of value code
            WriteRun(destination + position, count, total - position, code, nibbles);
            position += count;
            rowStart = false;
        } else if (code == 0) { // end of line: to the start of the next row
            // position < total <= INT32_MAX here, so 32-bit division serves (a 32-bit
            // CPU has no 64-bit one).
            if (kFindBareRow && bareRow && rowStart) {
                *bareRow = int32_t(position) / stride;
                bareRow = nullptr;
            }
            rowStart = true;
            int32_t r = int32_t(position) % stride;
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
            rowStart = rowStart && in[0] == 0; // straight down keeps a row's start
            in += 2;
        } else { // absolute run of code pixels, its bytes padded to an even count
            int64_t bytes = nibbles ? (code + 1) / 2 : code;
            int64_t available = end - in;
            CopyAbsolute(destination + position, in, code, available, total - position, nibbles);
            if (available < bytes)
                break;
            position += code;
            in += bytes;
            if ((bytes & 1) && in < end)
                ++in;
            rowStart = false;
        }
    }
    return position > INT32_MAX ? INT32_MAX : int32_t(position);
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
    return ReadBmpLayoutWithReason(fileHeader, contents, infoLength, layout) == BmpRefusal::None;
}

BmpRefusal ReadBmpLayoutWithReason(const uint8_t* fileHeader, const uint8_t* contents,
                                   uint32_t infoLength, BmpLayout* layout)
{
    if (!fileHeader || !contents || !layout)
        return BmpRefusal::TruncatedHeader;
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return BmpRefusal::NotBmp;
    BmpInfoFields f;
    BmpRefusal refusal = ReadInfoFields(contents, infoLength, &f);
    if (refusal == BmpRefusal::None)
        refusal = FieldsSupported(f);
    if (refusal != BmpRefusal::None)
        return refusal;

    // The table as the file declares it must lie inside what was read; entries past
    // 2^bits are not used.
    uint32_t offBits = Get32(fileHeader + 10);
    uint64_t declared = DeclaredColors(f, offBits);
    uint64_t tableEnd = uint64_t(f.headerSize) + f.entrySize * declared;
    if (declared == 0 || tableEnd > infoLength)
        return BmpRefusal::ColorTable;

    // Pixels start where bfOffBits says when that lies at or after the table and the
    // pixels from there lie inside the file (all plain rows, or at least one byte of an
    // RLE stream); otherwise right after the table.
    uint32_t rows = uint32_t(f.height < 0 ? -f.height : f.height);
    uint64_t fileStride = RowBytes(f.width, f.bitCount);
    uint64_t plainBytes = fileStride * rows;
    uint64_t needed = f.compression == kBmpRgb ? plainBytes : 1;
    uint32_t pixelOffset = uint32_t(tableEnd);
    if (offBits >= kBmpFileHeaderSize) {
        uint64_t at = uint64_t(offBits) - kBmpFileHeaderSize;
        if (at >= tableEnd && at + needed <= infoLength)
            pixelOffset = uint32_t(at);
    }

    uint64_t full = uint64_t(1) << f.bitCount;
    layout->headerSize = f.headerSize;
    layout->width = int32_t(f.width);
    layout->height = int32_t(rows);
    layout->topDown = f.height < 0;
    layout->bitCount = f.bitCount;
    layout->stride = RoundUp(layout->width, 4);
    layout->area = uint32_t(RowBytes(f.width, 8) * rows);
    layout->fileStride = uint32_t(fileStride);
    layout->compression = f.compression;
    layout->tableOffset = f.headerSize;
    layout->entrySize = f.entrySize;
    layout->colorCount = uint32_t(declared > full ? full : declared);
    layout->pixelOffset = pixelOffset;
    layout->pixelLength = infoLength - pixelOffset;
    // Plain rows must all be there.
    if (f.compression == kBmpRgb && plainBytes > layout->pixelLength)
        return BmpRefusal::PixelData;
    return BmpRefusal::None;
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
    WritePackedHeader(layout, contents, packed);
    uint8_t* table = packed + kBmpInfoHeaderSize;
    for (uint32_t i = 0; i < kBmpPackedColors; ++i) {
        table[2 * i] = uint8_t(i);
        table[2 * i + 1] = uint8_t(i >> 8);
    }
    uint8_t* rows = table + 2 * kBmpPackedColors;
    const uint8_t* source = contents + layout.pixelOffset;
    if (layout.compression == kBmpRle8)
        DecodeRle8(rows, source, layout.pixelLength, layout.stride, layout.height);
    else if (layout.compression == kBmpRle4)
        DecodeRle4(rows, source, layout.pixelLength, layout.stride, layout.height);
    else
        UnpackPlainRows(layout, source, rows);
}

int32_t DecodeRle8(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                   int32_t stride, int32_t rows)
{
    return DecodeRle<false>(destination, source, sourceLength, stride, rows, false, nullptr);
}

int32_t DecodeRle4(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                   int32_t stride, int32_t rows)
{
    return DecodeRle<false>(destination, source, sourceLength, stride, rows, true, nullptr);
}

int32_t ExpandRleFindingBareRow(const BmpLayout& layout, const uint8_t* contents, uint8_t* rows)
{
    if (layout.compression != kBmpRle8 && layout.compression != kBmpRle4)
        return -1;
    int32_t bareRow = -1;
    DecodeRle<true>(rows, contents + layout.pixelOffset, layout.pixelLength, layout.stride,
                    layout.height, layout.compression == kBmpRle4, &bareRow);
    return bareRow < 0 ? -1 : layout.height - 1 - bareRow;
}
