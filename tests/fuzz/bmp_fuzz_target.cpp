// libFuzzer target over the picture core: any bytes as a BMP file, through the header
// checks and, when accepted, the palette and the expansion into an exactly sized block.
#include "bitmap/bmp_core.h"

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kBmpFileHeaderSize || size - kBmpFileHeaderSize > uint32_t(kBmpMaxFileSize))
        return 0;
    // The contents in a block of exactly their size, as the loader's buffer holds them.
    uint32_t length = uint32_t(size - kBmpFileHeaderSize);
    uint8_t* contents = static_cast<uint8_t*>(malloc(length ? length : 1));
    memcpy(contents, data + kBmpFileHeaderSize, length);

    BmpLayout layout;
    if (ReadBmpLayout(data, contents, length, &layout)) {
        Check(layout.width > 0 && layout.height > 0 && layout.stride % 4 == 0);
        Check(layout.area == uint32_t(layout.stride) * uint32_t(layout.height));
        Check(layout.area <= kBmpMaxArea);
        Check(layout.colorCount >= 1 && layout.colorCount <= 256);
        Check(layout.tableOffset + layout.entrySize * layout.colorCount <= length);
        Check(layout.pixelOffset + layout.pixelLength == length);
        if (layout.compression == kBmpRgb)
            Check(layout.area <= layout.pixelLength);
        BmpColor colors[kBmpPackedColors];
        ReadBmpColors(layout, contents, colors);
        if (layout.area <= kFuzzMaxArea) {
            uint32_t packedSize = PackedDibSize(layout);
            uint8_t* packed = static_cast<uint8_t*>(calloc(packedSize, 1));
            UnpackBmp(layout, contents, packed);
            // Painting always gets plain rows and a full index table.
            Check(memcmp(packed + 16, "\0\0\0\0", 4) == 0);
            Check(packed[32] == 0 && (packed[33] == 0 || packed[33] == 1) && packed[34] == 0);
            free(packed);
        }
    }
    free(contents);
    return 0;
}
