// Expanding and loading the benchmark pictures (three kinds, two sizes) through the picture
// core, beside a byte-loop expander and memset / memcpy of the same output size.
//   bmp_bench [Google Benchmark options]
//   bmp_bench --write-pictures=DIR   writes each picture as DIR/<name>.bmp, and its expected
//                                    rows top row first as DIR/<name>.rows, for other decoders
#include "bench/bench_pictures.h"
#include "bitmap/bmp_core.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

using benchpic::BenchPicture;

size_t Area(const BenchPicture& p)
{
    return size_t(p.stride) * size_t(p.height);
}

// The streams write every byte of the area, so repeated expansions into one block give the
// same rows without clearing it in between; the first is checked against the expected rows.
template <typename Decoder>
void Expand(benchmark::State& state, const BenchPicture* p, Decoder decode)
{
    std::vector<uint8_t> area(Area(*p), 0);
    decode(area.data(), p->stream.data(), uint32_t(p->stream.size()), p->stride, p->height);
    if (area != p->rows) {
        state.SkipWithError("rows differ from the expected picture");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(decode(area.data(), p->stream.data(), uint32_t(p->stream.size()),
                                        p->stride, p->height));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Area(*p)));
}

// The whole load from a file held in memory: checks, colours, the zero-filled packed block
// and its rows, and the block's release, as the loader does it for every picture.
void Load(benchmark::State& state, const BenchPicture* p)
{
    const uint8_t* contents = p->file.data() + kBmpFileHeaderSize;
    uint32_t length = uint32_t(p->file.size() - kBmpFileHeaderSize);
    BmpColor colors[kBmpPackedColors];
    for (auto _ : state) {
        BmpLayout layout;
        if (!ReadBmpLayout(p->file.data(), contents, length, &layout)) {
            state.SkipWithError("picture refused");
            break;
        }
        ReadBmpColors(layout, contents, colors);
        uint8_t* packed = static_cast<uint8_t*>(calloc(PackedDibSize(layout), 1));
        UnpackBmp(layout, contents, packed);
        benchmark::DoNotOptimize(packed);
        benchmark::ClobberMemory();
        free(packed);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Area(*p)));
}

// The rows alone into a packed block held from before (header, index table, rows copied or
// expanded): the load without its allocation. The streams write every byte.
void Unpack(benchmark::State& state, const BenchPicture* p)
{
    const uint8_t* contents = p->file.data() + kBmpFileHeaderSize;
    BmpLayout layout;
    if (!ReadBmpLayout(p->file.data(), contents, uint32_t(p->file.size() - kBmpFileHeaderSize),
                       &layout)) {
        state.SkipWithError("picture refused");
        return;
    }
    std::vector<uint8_t> packed(PackedDibSize(layout), 0);
    UnpackBmp(layout, contents, packed.data());
    if (!std::equal(p->rows.begin(), p->rows.end(), packed.end() - long(Area(*p)))) {
        state.SkipWithError("rows differ from the expected picture");
        return;
    }
    for (auto _ : state) {
        UnpackBmp(layout, contents, packed.data());
        benchmark::DoNotOptimize(packed.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Area(*p)));
}

// One memset of the output's size into a block already touched.
void Fill(benchmark::State& state, size_t size)
{
    std::vector<uint8_t> area(size, 1);
    int value = 0;
    for (auto _ : state) {
        memset(area.data(), ++value & 0xFF, size);
        benchmark::DoNotOptimize(area.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

// One memcpy of the output's size between two blocks already touched.
void Copy(benchmark::State& state, size_t size)
{
    std::vector<uint8_t> from(size, 1), to(size, 2);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

bool WriteFile(const std::string& path, const uint8_t* bytes, size_t size)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}

// The pictures for other decoders: the BMP file, and the expected pixels (width bytes per
// row, top row first, as decoders hand them out).
bool WritePictures(const std::string& dir)
{
    for (benchpic::Size size : benchpic::kSizes) {
        for (benchpic::Kind kind : benchpic::kKinds) {
            BenchPicture p = benchpic::MakeBenchPicture(kind, size);
            std::string base = dir + "/" + benchpic::PictureName(kind, size);
            std::vector<uint8_t> topDown;
            for (int32_t y = p.height - 1; y >= 0; --y) {
                const uint8_t* row = p.rows.data() + size_t(y) * size_t(p.stride);
                topDown.insert(topDown.end(), row, row + p.width);
            }
            if (!WriteFile(base + ".bmp", p.file.data(), p.file.size()) ||
                !WriteFile(base + ".rows", topDown.data(), topDown.size())) {
                fprintf(stderr, "cannot write %s\n", base.c_str());
                return false;
            }
        }
    }
    return true;
}

void RegisterAll(std::vector<std::unique_ptr<BenchPicture>>& pictures)
{
    for (benchpic::Size size : benchpic::kSizes) {
        std::string sizeName = std::to_string(size.width) + "x" + std::to_string(size.height);
        size_t area = size_t((size.width + 3) / 4 * 4) * size_t(size.height);
        benchmark::RegisterBenchmark(("memset/" + sizeName).c_str(), Fill, area);
        benchmark::RegisterBenchmark(("memcpy/" + sizeName).c_str(), Copy, area);
        for (benchpic::Kind kind : benchpic::kKinds) {
            pictures.push_back(
                std::make_unique<BenchPicture>(benchpic::MakeBenchPicture(kind, size)));
            const BenchPicture* p = pictures.back().get();
            std::string name = benchpic::PictureName(kind, size);
            if (kind != benchpic::Kind::Plain) {
                benchmark::RegisterBenchmark(("decode/" + name).c_str(),
                                             Expand<decltype(&DecodeRle8)>, p, &DecodeRle8);
                benchmark::RegisterBenchmark(("byteloop/" + name).c_str(),
                                             Expand<decltype(&DecodeRle8)>, p,
                                             &benchpic::ByteLoopRle8);
            }
            benchmark::RegisterBenchmark(("unpack/" + name).c_str(), Unpack, p);
            benchmark::RegisterBenchmark(("load/" + name).c_str(), Load, p);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* flag = "--write-pictures=";
    if (argc == 2 && strncmp(argv[1], flag, strlen(flag)) == 0)
        return WritePictures(argv[1] + strlen(flag)) ? 0 : 1;

    std::vector<std::unique_ptr<BenchPicture>> pictures;
    RegisterAll(pictures);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
