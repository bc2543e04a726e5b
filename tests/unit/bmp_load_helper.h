// Loads a whole BMP file held in memory through the core, the way the launcher does: the
// first 14 bytes apart, the rest as one buffer of exactly its length.
#pragma once
#include "bitmap/bmp_core.h"

#include <cstdint>
#include <vector>

struct CoreLoad {
    bool ok = false;
    BmpLayout layout{};
    std::vector<uint8_t> packed;
    BmpColor colors[kBmpPackedColors]{};

    const uint8_t* rows() const
    {
        return packed.data() + kBmpInfoHeaderSize + 2 * kBmpPackedColors;
    }
    uint32_t Field32(uint32_t offset) const
    {
        const uint8_t* p = packed.data() + offset;
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
};

inline CoreLoad LoadThroughCore(const std::vector<uint8_t>& file)
{
    CoreLoad result;
    if (file.size() < kBmpFileHeaderSize)
        return result;
    // A buffer of exactly the bytes after the file header, so that any read past them is
    // caught by the address sanitizer.
    std::vector<uint8_t> contents(file.begin() + kBmpFileHeaderSize, file.end());
    const uint8_t* data = contents.empty() ? nullptr : contents.data();
    uint8_t dummy = 0;
    if (!ReadBmpLayout(file.data(), data ? data : &dummy, uint32_t(contents.size()),
                       &result.layout))
        return result;
    result.packed.assign(PackedDibSize(result.layout), 0);
    ReadBmpColors(result.layout, data, result.colors);
    UnpackBmp(result.layout, data, result.packed.data());
    result.ok = true;
    return result;
}
