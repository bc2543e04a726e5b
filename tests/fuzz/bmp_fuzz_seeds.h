// Seed inputs for the picture fuzz target, made by the test encoder: plain and RLE8 files
// of several widths, short and full tables, gaps before the pixels, hand-made streams, and
// one file of each info header size and depth (top-down where the header allows, RLE4).
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

std::vector<std::pair<std::string, std::vector<uint8_t>>> BmpFuzzSeeds();
