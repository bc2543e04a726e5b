// libFuzzer target over the picture core: any bytes as a BMP file, through the header
// checks and, when accepted, the palette and the expansion into an exactly sized block,
// compared with the frozen 8-bit loader wherever that one accepted the file.
#include "bitmap/bmp_core.h"
#include "tests/support/bmp_legacy.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

// Accepted pictures above this area are checked but not expanded: the expansion is the
// same code at every size, and filling 64 MiB per input would starve the search.
static const uint32_t kFuzzMaxArea = 4u << 20;

static void Check(bool condition)
{
    if (!condition)
        abort();
}

// The frozen 8-bit loader must agree on every file it accepted: same packed block (but for
// the plane count and image size, which the header now states), same colours.
static void CheckSameAsBefore(const uint8_t* data, size_t size, bool accepted,
                              const uint8_t* packed, uint32_t packedSize, const BmpColor* colors)
{
    bmplegacy::Decoded before;
    if (!bmplegacy::Decode(data, size, &before))
        return;
    bmplegacy::StatePlanesAndSize(&before);
    Check(accepted);
    Check(before.packed.size() == packedSize &&
          memcmp(before.packed.data(), packed, packedSize) == 0);
    for (uint32_t i = 0; i < kBmpPackedColors; ++i)
        Check(before.colors[i][0] == colors[i].red && before.colors[i][1] == colors[i].green &&
              before.colors[i][2] == colors[i].blue);
}

// Painting always gets a normal 40-byte header for one plane of 8-bit bottom-up BI_RGB rows of
// the block's size and a full index table; rows expanded from 1 or 4 bits hold only values of that
// depth.
static void CheckPacked(const BmpLayout& layout, const uint8_t* packed)
{
    Check(memcmp(packed, "\x28\0\0\0", 4) == 0);
    Check(memcmp(packed + 8, &layout.height, 4) == 0 &&
          memcmp(packed + 12, "\x01\0\x08\0", 4) == 0);
    Check(memcmp(packed + 16, "\0\0\0\0", 4) == 0 && memcmp(packed + 20, &layout.area, 4) == 0);
    Check(packed[32] == 0 && (packed[33] == 0 || packed[33] == 1) && packed[34] == 0);
    if (layout.bitCount < 8) {
        const uint8_t* rows = packed + kBmpInfoHeaderSize + 2 * kBmpPackedColors;
        for (uint32_t i = 0; i < layout.area; ++i)
            Check(rows[i] < (1u << layout.bitCount));
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kBmpFileHeaderSize || size - kBmpFileHeaderSize > uint32_t(kBmpMaxFileSize))
        return 0;
    // The contents in a block of exactly their size, as the loader's buffer holds them.
    uint32_t length = uint32_t(size - kBmpFileHeaderSize);
    uint8_t* contents = static_cast<uint8_t*>(malloc(length ? length : 1));
    memcpy(contents, data + kBmpFileHeaderSize, length);

    BmpLayout layout;
    bool accepted = ReadBmpLayout(data, contents, length, &layout);
    if (!accepted) {
        CheckSameAsBefore(data, size, false, nullptr, 0, nullptr);
    } else {
        Check(layout.width > 0 && layout.height > 0 && layout.stride == RoundUp(layout.width, 4));
        Check(layout.area == uint32_t(layout.stride) * uint32_t(layout.height));
        Check(layout.area <= kBmpMaxArea);
        Check(layout.bitCount == 1 || layout.bitCount == 4 || layout.bitCount == 8);
        Check(layout.colorCount >= 1 && layout.colorCount <= (1u << layout.bitCount));
        Check(layout.tableOffset + layout.entrySize * layout.colorCount <= length);
        Check(layout.pixelOffset + layout.pixelLength == length);
        if (layout.compression == kBmpRgb)
            Check(uint64_t(layout.fileStride) * layout.height <= layout.pixelLength);
        else
            Check(!layout.topDown);
        BmpColor colors[kBmpPackedColors];
        ReadBmpColors(layout, contents, colors);
        if (layout.area <= kFuzzMaxArea) {
            uint32_t packedSize = PackedDibSize(layout);
            uint8_t* packed = static_cast<uint8_t*>(calloc(packedSize, 1));
            UnpackBmp(layout, contents, packed);
            CheckPacked(layout, packed);
            CheckSameAsBefore(data, size, true, packed, packedSize, colors);
            free(packed);
        }
    }
    free(contents);
    return 0;
}
