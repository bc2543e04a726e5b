// Pictures for the decoding benchmarks, made in code so that every decoder (the picture
// core, the platform's GDI, other programs) is handed the same bytes: three kinds of
// 8-bit picture at two sizes, as BI_RLE8 streams or plain rows, with their expected rows.
#pragma once
#include "demo/bmp_writer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace benchpic
{

enum class Kind {
    LongRuns,  // encoded runs of 1-255 pixels and absolute runs of 3-255, alternating
    ShortRuns, // encoded runs of 1-4 pixels and absolute runs of 3-8, alternating
    Plain,     // plain 8-bit rows, no compression
};

struct Size {
    int32_t width, height;
};

// The sizes measured: a usual title picture and a very large one.
constexpr Size kSizes[] = {{640, 480}, {4000, 4000}};
constexpr Kind kKinds[] = {Kind::LongRuns, Kind::ShortRuns, Kind::Plain};

struct BenchPicture {
    Kind kind;
    int32_t width, height;
    int32_t stride;                     // width rounded up to a multiple of 4
    std::vector<uint8_t> rows;          // expected 8-bit rows, bottom row first, stride bytes each
    std::vector<uint8_t> stream;        // the BI_RLE8 stream (empty for plain rows)
    std::vector<uint8_t> file;          // the whole BMP file
    std::vector<bmpw::RgbQuad> palette; // 256 distinct colours
};

// "long", "short" or "plain".
const char* KindName(Kind kind);

// "long-640x480" and the like: the picture's name in every report and file name.
std::string PictureName(Kind kind, Size size);

// The picture of a kind and size; the same bytes on every run and every platform.
BenchPicture MakeBenchPicture(Kind kind, Size size);

// A straightforward BI_RLE8 expander that writes every pixel in its own store, bounded as
// the picture core's: position over rows * stride bytes, writes clipped to the area,
// reading stopped at the end of the stream. The yardstick for short runs.
int32_t ByteLoopRle8(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                     int32_t stride, int32_t rows);

} // namespace benchpic
