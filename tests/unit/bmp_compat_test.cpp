// Every file the 8-bit, 40-byte-header loader accepted gives the same packed block (but for
// the plane count and image size the header now states) and palette today: the suite, a generated
// corpus, and mutations and cuts of its files.
#include "tests/support/bmp_legacy.h"
#include "demo/bmp_writer.h"
#include "tests/unit/bmp_load_helper.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Compares one input; counts the inputs the old loader accepted.
void ExpectSameAsBefore(const Bytes& file, const std::string& name, int* accepted)
{
    bmplegacy::Decoded before;
    if (!bmplegacy::Decode(file.data(), file.size(), &before))
        return;
    bmplegacy::StatePlanesAndSize(&before);
    ++*accepted;
    CoreLoad now = LoadThroughCore(file);
    ASSERT_TRUE(now.ok) << name;
    ASSERT_EQ(now.packed, before.packed) << name;
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(now.colors[i].red, before.colors[i][0]) << name << " colour " << i;
        ASSERT_EQ(now.colors[i].green, before.colors[i][1]) << name << " colour " << i;
        ASSERT_EQ(now.colors[i].blue, before.colors[i][2]) << name << " colour " << i;
    }
}

// Well-formed files of many shapes: widths for every padding, short, full and oversized
// tables, gaps before the pixels, plain and RLE8.
std::vector<std::pair<std::string, Bytes>> GeneratedCorpus()
{
    std::vector<std::pair<std::string, Bytes>> corpus;
    for (int32_t width : {1, 2, 3, 4, 5, 7, 8, 10, 13, 33, 127}) {
        for (int32_t height : {1, 2, 5}) {
            for (size_t colors : {256u, 252u, 16u, 1u}) {
                bmpw::Picture p = bmpw::MakeTestPicture(width, height, uint32_t(width + height));
                p.palette.resize(colors);
                std::string name = std::to_string(width) + "x" + std::to_string(height) + "_" +
                                   std::to_string(colors);
                corpus.emplace_back("plain" + name, bmpw::WritePlainBmp(p));
                corpus.emplace_back("rle8_" + name, bmpw::WriteRle8Bmp(p));
            }
        }
    }
    bmpw::Picture p = bmpw::MakeTestPicture(12, 4, 3);
    bmpw::BmpFields f;
    f.biWidth = 12;
    f.biHeight = 4;
    f.bfOffBits = 14 + 40 + 1024 + 64;
    corpus.emplace_back("gap", bmpw::BuildBmp(f, p.palette, bmpw::PlainRows(p)));
    f.biCompression = bmpw::kBiRle8;
    corpus.emplace_back("rle8 gap", bmpw::BuildBmp(f, p.palette, bmpw::EncodeRle8(p)));
    f = bmpw::BmpFields{};
    f.biWidth = 12;
    f.biHeight = 4;
    f.biClrUsed = 300;
    std::vector<bmpw::RgbQuad> big(p.palette);
    big.resize(300, bmpw::RgbQuad{1, 2, 3, 4});
    corpus.emplace_back("300 colours", bmpw::BuildBmp(f, big, bmpw::PlainRows(p)));
    return corpus;
}

// Each byte of the headers set to values that test the checks' edges.
std::vector<Bytes> HeaderMutations(const Bytes& file)
{
    std::vector<Bytes> out;
    for (size_t at = 0; at < 14 + 40 + 8 && at < file.size(); ++at) {
        for (int value : {0x00, 0x01, 0x02, 0x04, 0x08, 0x0C, 0x28, 0x40, 0x6C, 0x7C, 0x80, 0xFF,
                          file[at] + 1, file[at] - 1}) {
            Bytes m = file;
            m[at] = uint8_t(value);
            out.push_back(m);
        }
    }
    return out;
}

TEST(BmpCompatibility, SuiteFilesAcceptedBeforeLoadAsBefore)
{
    const fs::path suite = CORVANE_BMPSUITE_DIR;
    if (!fs::is_directory(suite))
        GTEST_SKIP() << "no BMP suite at " << suite;
    int accepted = 0;
    for (const char* dir : {"g", "q", "b", "x"})
        for (const auto& entry : fs::directory_iterator(suite / dir))
            ExpectSameAsBefore(ReadAll(entry.path()), entry.path().string(), &accepted);
    // pal8, pal8-0, pal8gs, pal8nonsquare, pal8rle, pal8w124/125/126, pal8offs,
    // pal8os2v2-40sz, pal8oversizepal, pal8rlecut, pal8rletrns, badrle, badrlebis,
    // badrleter, pal8badindex.
    EXPECT_EQ(accepted, 17);
}

TEST(BmpCompatibility, GeneratedFilesAcceptedBeforeLoadAsBefore)
{
    int accepted = 0;
    for (const auto& [name, file] : GeneratedCorpus())
        ExpectSameAsBefore(file, name, &accepted);
    EXPECT_EQ(accepted, 11 * 3 * 4 * 2 + 3);
}

TEST(BmpCompatibility, MutatedAndCutFilesAcceptedBeforeLoadAsBefore)
{
    int accepted = 0;
    size_t inputs = 0;
    for (const auto& [name, file] : GeneratedCorpus()) {
        if (name.rfind("plain10x5", 0) != 0 && name.rfind("rle8_13x2", 0) != 0 &&
            name.rfind("plain3x1", 0) != 0 && name != "gap" && name != "300 colours")
            continue;
        for (const Bytes& m : HeaderMutations(file)) {
            ExpectSameAsBefore(m, name + " mutated", &accepted);
            ++inputs;
        }
        for (size_t cut = 0; cut < file.size(); cut += 1 + file.size() / 97) {
            ExpectSameAsBefore(Bytes(file.begin(), file.begin() + long(cut)), name + " cut",
                               &accepted);
            ++inputs;
        }
    }
    std::printf("%d of %zu mutated or cut inputs were accepted before\n", accepted, inputs);
    EXPECT_GT(accepted, 1000);
}

} // namespace
