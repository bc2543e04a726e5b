// Runs the fuzz target over its seeds and over every file named on the command line (or
// found in directories named there), without libFuzzer: for builds that have no fuzzer,
// such as the Windows one, and for replaying a crash by hand.
//   bmp_fuzz_replay [FILE|DIR]...    the seeds, then the files
//   bmp_fuzz_replay --bmpsuite DIR   the public BMP suite's files only; exit code 77 (a
//                                    skipped test) when the folder is missing
#include "tests/fuzz/bmp_fuzz_seeds.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{

const int kSkipped = 77;

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

// Every file below a directory, or the file itself; false when a file cannot be read.
bool RunPath(const std::filesystem::path& arg, size_t* runs)
{
    std::error_code ec;
    if (!std::filesystem::is_directory(arg, ec)) {
        if (!RunFile(arg))
            return false;
        ++*runs;
        return true;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec))
        if (entry.is_regular_file() && RunFile(entry.path()))
            ++*runs;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    size_t runs = 0;
    int first = 1;
    if (argc == 3 && std::strcmp(argv[1], "--bmpsuite") == 0) {
        std::error_code ec;
        if (!std::filesystem::is_directory(argv[2], ec)) {
            std::printf("no BMP suite at %s\n", argv[2]);
            return kSkipped;
        }
        first = 2;
    } else {
        for (const auto& seed : BmpFuzzSeeds()) {
            LLVMFuzzerTestOneInput(seed.second.data(), seed.second.size());
            ++runs;
        }
    }
    for (int i = first; i < argc; ++i) {
        if (!RunPath(argv[i], &runs)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
    }
    if (first == 2 && runs == 0) {
        std::fprintf(stderr, "the BMP suite at %s holds no files\n", argv[2]);
        return 1;
    }
    std::printf("%zu inputs ran\n", runs);
    return 0;
}
