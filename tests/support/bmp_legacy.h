// The picture loader's decoding as it stood when it took only 8-bit files with a 40-byte
// header, bottom-up rows, BI_RGB or BI_RLE8, kept unchanged so that tests can prove every
// file it accepted still loads to the same packed block and palette.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmplegacy
{

struct Decoded {
    std::vector<uint8_t> packed; // header, 256-entry index table, rows
    uint8_t colors[256][3];      // red, green, blue of palette entries 0..255
};

// Decodes a whole file held in memory; false when that loader refused it.
bool Decode(const uint8_t* file, size_t size, Decoded* out);

// The one change made since to what that loader gave: the packed header says one plane and
// the rows' size as biSizeImage, where it kept the file's values.
inline void StatePlanesAndSize(Decoded* decoded)
{
    const size_t area = decoded->packed.size() - 40 - 2 * 256;
    decoded->packed[12] = 1;
    decoded->packed[13] = 0;
    for (int i = 0; i < 4; ++i)
        decoded->packed[20 + i] = uint8_t(area >> (8 * i));
}

} // namespace bmplegacy
