// Writes the fuzz target's seed inputs into the directory named on the command line.
#include "tests/fuzz/bmp_fuzz_seeds.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s directory\n", argv[0]);
        return 2;
    }
    for (const auto& seed : BmpFuzzSeeds()) {
        std::string path = std::string(argv[1]) + "/" + seed.first + ".bmp";
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(seed.second.data(), 1, seed.second.size(), f) != seed.second.size())
            return 1;
        std::fclose(f);
    }
    return 0;
}
