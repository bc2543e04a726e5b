// Runs the fuzz target over its seeds and over every file named on the command line (or
// found in directories named there), without libFuzzer: for builds that have no fuzzer,
// such as the Windows one, and for replaying a crash by hand.
#include "tests/fuzz/bmp_fuzz_seeds.h"

#include <cstdio>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{

bool RunFile(const std::filesystem::path& path)
{
    FILE* f = std::fopen(path.string().c_str(), "rb");
    if (!f)
        return false;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    size_t runs = 0;
    for (const auto& seed : BmpFuzzSeeds()) {
        LLVMFuzzerTestOneInput(seed.second.data(), seed.second.size());
        ++runs;
    }
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path arg = argv[i];
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec))
                if (entry.is_regular_file() && RunFile(entry.path()))
                    ++runs;
        } else if (!RunFile(arg)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("%zu inputs ran\n", runs);
    return 0;
}
