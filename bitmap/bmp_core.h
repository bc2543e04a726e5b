// Title pictures without the platform: reading and checking a BMP file's headers, colour
// table and pixel data against what was actually read, and expanding its rows into the
// packed layout (40-byte header, 16-bit index table, 8-bit rows) that painting uses.
//
// Accepted: info headers of 12 (OS/2 core), 16 and 64 (OS/2 2.x), 40, 52, 56, 108 and 124
// bytes; 1, 4 and 8 bits per pixel, BI_RGB rows bottom-up or top-down, BI_RLE8 (8 bits) and
// BI_RLE4 (4 bits), bottom-up. Whatever the file, the packed block holds a 40-byte header
// that says 8 bits, BI_RGB and positive height, and bottom-up 8-bit rows.
#pragma once
#include <stdint.h>

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpInfoHeaderSize = 40;
constexpr uint32_t kBmpCoreHeaderSize = 12; // the smallest info header
constexpr uint32_t kBmpRgb = 0;
constexpr uint32_t kBmpRle8 = 1;
constexpr uint32_t kBmpRle4 = 2;

// Limits for a title picture. No launcher fills a screen wider or taller than 16384
// pixels, and 64 MiB of 8-bit pixels (8192 x 8192) is far beyond any display, while the
// file buffer and the packed block together still fit a 32-bit process with room to spare.
constexpr int32_t kBmpMaxSide = 16384;
constexpr uint32_t kBmpMaxArea = 64u << 20;
// Files above this size are refused before anything is allocated: a stream that draws
// the largest allowed area needs well under twice the area's bytes.
constexpr int32_t kBmpMaxFileSize = 128 << 20;

// Colours in the packed block: always 8 bits per pixel, a 256-entry index table.
constexpr uint32_t kBmpPackedColors = 256;

// What the loader found in a file it accepted. Offsets count from the start of the info
// header, that is file offset 14, where the file's contents after its file header begin.
struct BmpLayout {
    uint32_t headerSize;  // biSize as read
    int32_t width;        // biWidth, 1..kBmpMaxSide
    int32_t height;       // row count, 1..kBmpMaxSide
    bool topDown;         // the file stores its top row first (negative biHeight)
    uint32_t bitCount;    // bits per pixel in the file: 1, 4 or 8
    int32_t stride;       // width rounded up to a multiple of 4: packed 8-bit row bytes
    uint32_t area;        // stride * height
    uint32_t fileStride;  // bytes per plain row in the file, a multiple of 4
    uint32_t compression; // kBmpRgb, kBmpRle8 (8 bits) or kBmpRle4 (4 bits)
    uint32_t tableOffset; // first colour table entry
    uint32_t entrySize;   // bytes per colour table entry: blue, green, red (, reserved)
    uint32_t colorCount;  // entries taken from the table, 1..2^bitCount
    uint32_t pixelOffset; // first byte of the rows or of the RLE stream
    uint32_t pixelLength; // bytes from pixelOffset to the end of what was read
};

struct BmpColor {
    uint8_t red, green, blue;
};

// Why a file cannot be shown, as the checks below find it, first failed check first.
enum class BmpRefusal {
    None,            // the picture can be shown
    NotBmp,          // the file does not begin with "BM"
    TruncatedHeader, // the info header is not all there
    HeaderSize,      // an info header size no BMP variant uses
    BitDepth,        // bits per pixel other than 1, 4 and 8
    RleDepth,        // BI_RLE8 without 8 bits, or BI_RLE4 without 4 bits per pixel
    RleTopDown,      // a run-length stream with a negative height
    Compression,     // a compression other than BI_RGB, BI_RLE8 and BI_RLE4
    EmptySize,       // width 0 or less, or no rows
    TooLarge,        // wider or taller than kBmpMaxSide, or more than kBmpMaxArea bytes
    ColorTable,      // no colours, or the colour table runs past the end of the file
    PixelData,       // the plain rows run past the end of the file
};

// Value rounded up to a multiple of multiple (for value >= 0 and multiple > 0).
int32_t RoundUp(int32_t value, int32_t multiple);

// Checks a BMP file: fileHeader holds its first 14 bytes, contents the infoLength bytes
// that were read after them. Fills layout and returns true when the picture can be shown.
// The colour table holds biClrUsed entries (0: 2^bits), of which the first 2^bits are used;
// headers without biClrUsed (12 and 16 bytes) hold 2^bits, or the whole entries before
// bfOffBits when that points inside them. Pixels start at bfOffBits when it lies at or after
// the table and the pixels from there fit in the file, else right after the table.
bool ReadBmpLayout(const uint8_t* fileHeader, const uint8_t* contents, uint32_t infoLength,
                   BmpLayout* layout);

// The same checks, saying which one refused the file (BmpRefusal::None when it is accepted).
BmpRefusal ReadBmpLayoutWithReason(const uint8_t* fileHeader, const uint8_t* contents,
                                   uint32_t infoLength, BmpLayout* layout);

// The file's colours for palette entries 0..255; entries beyond the file's table are black.
void ReadBmpColors(const BmpLayout& layout, const uint8_t* contents,
                   BmpColor colors[kBmpPackedColors]);

// Bytes of the packed block for an accepted picture: header, index table and rows.
uint32_t PackedDibSize(const BmpLayout& layout);

// Fills a zero-filled packed block of PackedDibSize bytes: the header, the identity index
// table and the rows, copied or expanded from contents into bottom-up 8-bit rows. The header
// always says 40 bytes, the width, the row count as biHeight, one plane, 8 bits, BI_RGB and
// the area as biSizeImage; an 8-bit bottom-up file with a 40-byte header keeps its other
// fields, any other file gets its pixel densities (where it has them) and zeros. A biClrUsed
// other than 0 and 256 becomes 0, since the block's table is full.
void UnpackBmp(const BmpLayout& layout, const uint8_t* contents, uint8_t* packed);

// Expands a BI_RLE8 stream of sourceLength bytes into rows * stride bytes of destination,
// which must start zero-filled. One position counts output bytes as a single sequence, so
// runs, absolute runs and deltas carry on across row ends; an end of line at the start of
// a row does nothing. Writes are clipped to the area and reading stops at the end of the
// stream. Returns the final position count.
int32_t DecodeRle8(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                   int32_t stride, int32_t rows);

// Expands a BI_RLE4 stream into 8-bit rows the same way: one position over the output's
// rows * stride bytes, one byte per pixel. A run of count c writes c pixels alternating the
// value byte's high and low nibble; an absolute run of e pixels takes them from (e + 1) / 2
// bytes, high nibble first, padded to an even byte count; deltas count pixels.
int32_t DecodeRle4(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                   int32_t stride, int32_t rows);

// Expands an accepted picture's BI_RLE8 or BI_RLE4 stream as UnpackBmp does, into rows
// (layout.area zero-filled bytes), and gives the first row, as y with 0 the top row, that the
// stream writes as an empty row with a bare end of line (at the stream's start, or right after
// another end of line or a delta straight down): other programs leave that row blank, while
// the expansion, whose end of line at the start of a row does nothing, fills it with the rows
// that follow. -1 when there is none, or for a picture without a run-length stream.
int32_t ExpandRleFindingBareRow(const BmpLayout& layout, const uint8_t* contents, uint8_t* rows);
