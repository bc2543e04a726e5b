// Loads a whole BMP file held in memory through the core, the way the launcher does: the
// first 14 bytes apart, the rest as one buffer of exactly its length.
#pragma once
#include "bitmap/bmp_core.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
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

// A whole file read into memory; empty when it cannot be read.
inline std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.string().c_str(), "rb");
    if (!f)
        return bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    return bytes;
}

// A binary PPM (P6, maxval 255): width, height and RGB triples, top row first.
struct Ppm {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

inline bool ParsePpm(const std::vector<uint8_t>& file, Ppm* out)
{
    size_t at = 0;
    auto token = [&]() {
        std::string t;
        while (at < file.size()) {
            char c = char(file[at]);
            if (c == '#') {
                while (at < file.size() && file[at] != '\n')
                    ++at;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++at;
                if (!t.empty())
                    break;
            } else {
                t += c;
                ++at;
            }
        }
        return t;
    };
    if (token() != "P6")
        return false;
    out->width = std::stoi(token());
    out->height = std::stoi(token());
    if (token() != "255")
        return false;
    size_t size = size_t(out->width) * size_t(out->height) * 3;
    if (file.size() - at < size)
        return false;
    out->rgb.assign(file.begin() + long(at), file.begin() + long(at + size));
    return true;
}

// Every pixel of the load shows the reference's colour; the first five that differ are
// reported with their palette index.
inline void ExpectPixelsMatch(const CoreLoad& load, const Ppm& ref)
{
    const BmpLayout& l = load.layout;
    ASSERT_EQ(ref.width, l.width);
    ASSERT_EQ(ref.height, l.height);
    int mismatches = 0;
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* row = load.rows() + size_t(l.height - 1 - y) * size_t(l.stride);
        for (int x = 0; x < l.width; ++x) {
            const BmpColor& c = load.colors[row[x]];
            const uint8_t* want = &ref.rgb[(size_t(y) * size_t(l.width) + size_t(x)) * 3];
            if ((c.red != want[0] || c.green != want[1] || c.blue != want[2]) && mismatches++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " index " << int(row[x]);
        }
    }
    EXPECT_EQ(mismatches, 0);
}
