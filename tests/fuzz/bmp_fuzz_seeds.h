// Seed inputs for the picture fuzz target, made by the test encoder: plain and RLE8 files
// of several widths, short and full tables, gaps before the pixels, and hand-made streams.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

std::vector<std::pair<std::string, std::vector<uint8_t>>> BmpFuzzSeeds();
