// Decoding and loading a 640 x 480 title picture, plain and RLE8, through the picture core.
#include "bitmap/bmp_core.h"
#include "tests/support/bmp_writer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

const bmpw::Picture& TitlePicture()
{
    static const bmpw::Picture picture = bmpw::MakeTestPicture(kWidth, kHeight, 11);
    return picture;
}

// The RLE8 stream alone into a zero-filled area, as the loader expands it.
void DecodeRle8Stream(benchmark::State& state)
{
    std::vector<uint8_t> stream = bmpw::EncodeRle8(TitlePicture());
    std::vector<uint8_t> area(size_t(kWidth) * kHeight);
    for (auto _ : state) {
        std::fill(area.begin(), area.end(), 0);
        benchmark::DoNotOptimize(
            DecodeRle8(area.data(), stream.data(), uint32_t(stream.size()), kWidth, kHeight));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(area.size()));
}
BENCHMARK(DecodeRle8Stream);

// A whole file held in memory: checks, colours and the packed block, with the block's
// allocation and zero fill, which the loader does for every picture.
void LoadFile(benchmark::State& state, bool rle)
{
    std::vector<uint8_t> file =
        rle ? bmpw::WriteRle8Bmp(TitlePicture()) : bmpw::WritePlainBmp(TitlePicture());
    const uint8_t* contents = file.data() + kBmpFileHeaderSize;
    uint32_t length = uint32_t(file.size() - kBmpFileHeaderSize);
    BmpColor colors[kBmpPackedColors];
    for (auto _ : state) {
        BmpLayout layout;
        if (!ReadBmpLayout(file.data(), contents, length, &layout)) {
            state.SkipWithError("picture refused");
            break;
        }
        ReadBmpColors(layout, contents, colors);
        std::vector<uint8_t> packed(PackedDibSize(layout), 0);
        UnpackBmp(layout, contents, packed.data());
        benchmark::DoNotOptimize(packed.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}
BENCHMARK_CAPTURE(LoadFile, plain, false);
BENCHMARK_CAPTURE(LoadFile, rle8, true);

} // namespace

BENCHMARK_MAIN();
