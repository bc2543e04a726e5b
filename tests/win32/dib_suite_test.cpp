// The public BMP suite through the whole Windows path: file reader, LoadDib, the palette and
// DrawDib. Every file is refused or loads; the palettized files with a reference paint it.
#include "bitmap/dib.h"
#include "tests/win32/dib_test_support.h"

#include <cstdio>
#include <filesystem>

namespace
{

namespace fs = std::filesystem;

const fs::path kSuite = CORVANE_BMPSUITE_DIR;

// A binary PPM as the suite's references are written: "P6\n<w> <h>\n255\n" and RGB triples.
bool ReadPpm(const fs::path& path, int* width, int* height, std::vector<uint8_t>* rgb)
{
    FILE* f = std::fopen(path.string().c_str(), "rb");
    if (!f)
        return false;
    int maxValue = 0;
    bool ok = std::fscanf(f, "P6 %d %d %d", width, height, &maxValue) == 3 && maxValue == 255 &&
              std::fgetc(f) != EOF;
    if (ok) {
        rgb->resize(size_t(*width) * size_t(*height) * 3);
        ok = std::fread(rgb->data(), 1, rgb->size(), f) == rgb->size();
    }
    std::fclose(f);
    return ok;
}

TEST(DibSuite, EveryFileIsRefusedOrLoads)
{
    if (!fs::is_directory(kSuite))
        GTEST_SKIP() << "no BMP suite at " << kSuite;
    int files = 0;
    for (const char* dir : {"g", "q", "b", "x"}) {
        for (const auto& entry : fs::directory_iterator(kSuite / dir)) {
            DibImage* image = LoadDib(entry.path().string().c_str());
            FreeDib(image);
            ++files;
        }
    }
    EXPECT_GT(files, 80);
}

TEST(DibSuite, PalettizedFilesPaintTheirReferences)
{
    if (!fs::is_directory(kSuite))
        GTEST_SKIP() << "no BMP suite at " << kSuite;
    for (const char* name :
         {"g/pal1",      "g/pal1bg",      "g/pal1wb",      "g/pal4",    "g/pal4gs",
          "g/pal4rle",   "g/pal8",        "g/pal8-0",      "g/pal8gs",  "g/pal8nonsquare",
          "g/pal8os2",   "g/pal8rle",     "g/pal8topdown", "g/pal8v4",  "g/pal8v5",
          "g/pal8w124",  "g/pal8w125",    "g/pal8w126",    "q/pal1p1",  "q/pal4rletrns",
          "q/pal8os2sp", "q/pal8rletrns", "q/pal8rlecut",  "q/pal8offs"}) {
        SCOPED_TRACE(name);
        fs::path bmp = kSuite / (std::string(name) + ".bmp");
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(
            ReadPpm(kSuite / "ref" / (bmp.stem().string() + ".ppm"), &width, &height, &rgb));
        DibImage* image = LoadDib(bmp.string().c_str());
        ASSERT_NE(image, nullptr);
        Canvas canvas(width, height);
        EXPECT_EQ(DrawDib(canvas.dc, 0, 0, image, 0, 0, width, height), height);
        FreeDib(image);
        int mismatches = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* want = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
                if (canvas.At(x, y) != Rgb(want[0], want[1], want[2]) && mismatches++ < 3)
                    ADD_FAILURE() << "pixel " << x << "," << y;
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

} // namespace
