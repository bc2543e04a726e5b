// The public BMP suite, read in place: every file is refused or loads without a memory
// error, and the palettized files with a reference decode to it.
#include "tests/unit/bmp_load_helper.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

const fs::path kSuite = CORVANE_BMPSUITE_DIR;

std::vector<fs::path> SuiteFiles()
{
    std::vector<fs::path> files;
    for (const char* dir : {"g", "q", "b", "x"}) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(kSuite / dir, ec))
            if (entry.path().extension() == ".bmp")
                files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The palettized files of g/ and q/ that have a reference: every header variant, depth,
// row order and compression the loader takes.
const std::set<std::string> kMustDecode = {
    "g/pal1.bmp",        "g/pal1bg.bmp",        "g/pal1wb.bmp",     "g/pal4.bmp",
    "g/pal4gs.bmp",      "g/pal4rle.bmp",       "g/pal8.bmp",       "g/pal8-0.bmp",
    "g/pal8gs.bmp",      "g/pal8nonsquare.bmp", "g/pal8os2.bmp",    "g/pal8rle.bmp",
    "g/pal8topdown.bmp", "g/pal8v4.bmp",        "g/pal8v5.bmp",     "g/pal8w124.bmp",
    "g/pal8w125.bmp",    "g/pal8w126.bmp",      "q/pal1p1.bmp",     "q/pal4rletrns.bmp",
    "q/pal8os2sp.bmp",   "q/pal8rletrns.bmp",   "q/pal8rlecut.bmp", "q/pal8offs.bmp"};

std::string SuiteName(const fs::path& path)
{
    return path.parent_path().filename().string() + "/" + path.filename().string();
}

class BmpSuite : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!fs::is_directory(kSuite))
            GTEST_SKIP() << "no BMP suite at " << kSuite;
    }
};

// Run under the address sanitizer in the native build: every file, good or bad, goes
// through the loader's checks and, when accepted, its expansion.
TEST_F(BmpSuite, EveryFileIsRefusedOrLoadsSafely)
{
    std::vector<fs::path> files = SuiteFiles();
    ASSERT_GT(files.size(), 80u);
    std::string accepted;
    for (const fs::path& path : files) {
        CoreLoad load = LoadThroughCore(ReadAll(path));
        if (load.ok)
            accepted += SuiteName(path) + " ";
        if (kMustDecode.count(SuiteName(path))) {
            EXPECT_TRUE(load.ok) << SuiteName(path);
        }
    }
    std::printf("accepted: %s\n", accepted.c_str());
}

// Pixel for pixel against the reference. Pixels an RLE stream never writes keep value 0,
// so they show colour 0 of the file: the references of pal8rletrns, pal8rlecut and
// pal4rletrns give those pixels that same colour, so every pixel is compared.
TEST_F(BmpSuite, PalettizedFilesDecodeToTheirReferences)
{
    for (const std::string& name : kMustDecode) {
        SCOPED_TRACE(name);
        CoreLoad load = LoadThroughCore(ReadAll(kSuite / name));
        ASSERT_TRUE(load.ok);
        std::string base = fs::path(name).stem().string();
        Ppm ref;
        ASSERT_TRUE(ParsePpm(ReadAll(kSuite / "ref" / (base + ".ppm")), &ref));
        ExpectPixelsMatch(load, ref);
    }
}

} // namespace
