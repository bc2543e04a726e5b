// The disc checker's portable core: judging program headers, naming why a picture is
// refused, and the findings, verdicts and exit code for a disc.
#include "disccheck/disc_report.h"
#include "demo/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace
{

// --- Program headers ----------------------------------------------------------------------

struct PeFields {
    uint16_t machine = kMachineI386;
    uint16_t magic = 0x10B; // PE32
    uint16_t subsystem = kSubsystemWindowsGui;
    uint16_t characteristics = 0x0102; // executable, 32-bit machine
};

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

// A DOS stub header pointing at a PE header at 0x80 with an optional header of 224 bytes.
std::vector<uint8_t> MakePe(const PeFields& f)
{
    std::vector<uint8_t> b(0x80 + 24 + 224, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put16(b, 0x3C, 0x80);
    b[0x80] = 'P';
    b[0x81] = 'E';
    Put16(b, 0x84, f.machine);
    Put16(b, 0x84 + 16, 224);
    Put16(b, 0x84 + 18, f.characteristics);
    Put16(b, 0x98, f.magic);
    Put16(b, 0x98 + 68, f.subsystem);
    return b;
}

struct PeCase {
    const char* rule;
    std::vector<uint8_t> bytes;
    uint16_t expected; // the launcher's machine
    ProgramKind kind;
};

std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t length)
{
    b.resize(length);
    return b;
}

std::vector<uint8_t> WithByte(std::vector<uint8_t> b, size_t at, uint8_t value)
{
    b[at] = value;
    return b;
}

TEST(ProgramImage, JudgesTheHeadersAgainstTheLaunchersMachine)
{
    PeFields console;
    console.subsystem = kSubsystemWindowsConsole;
    PeFields x64;
    x64.machine = kMachineAmd64;
    x64.magic = 0x20B;
    x64.characteristics = 0x0022;
    PeFields dll;
    dll.characteristics = 0x2102;
    PeFields notExecutable;
    notExecutable.characteristics = 0x0100;
    PeFields native;
    native.subsystem = 1;
    const std::vector<uint8_t> gui = MakePe(PeFields{});
    const PeCase cases[] = {
        {"i386 GUI program", gui, kMachineI386, ProgramKind::Program},
        {"i386 console program", MakePe(console), kMachineI386, ProgramKind::Program},
        {"x86-64 program for an i386 launcher", MakePe(x64), kMachineI386, ProgramKind::Only64Bit},
        {"x86-64 program for an x86-64 launcher", MakePe(x64), kMachineAmd64, ProgramKind::Program},
        {"i386 program for an x86-64 launcher", gui, kMachineAmd64, ProgramKind::Program},
        {"text file", std::vector<uint8_t>{'@', 'e', 'c', 'h', 'o'}, kMachineI386,
         ProgramKind::NotMz},
        {"empty file", {}, kMachineI386, ProgramKind::NotMz},
        {"one byte", {'M'}, kMachineI386, ProgramKind::NotMz},
        {"cut inside the DOS header", Cut(gui, 0x3C), kMachineI386, ProgramKind::Truncated},
        {"PE offset past the end", Cut(gui, 0x82), kMachineI386, ProgramKind::Truncated},
        {"cut inside the optional header", Cut(gui, 0x98 + 60), kMachineI386,
         ProgramKind::Truncated},
        {"DOS program: no PE signature", WithByte(gui, 0x80, 'N'), kMachineI386,
         ProgramKind::NotPe},
        {"DLL", MakePe(dll), kMachineI386, ProgramKind::Library},
        {"not marked executable", MakePe(notExecutable), kMachineI386, ProgramKind::Library},
        {"native subsystem", MakePe(native), kMachineI386, ProgramKind::NotWindows},
    };
    for (const PeCase& c : cases) {
        SCOPED_TRACE(c.rule);
        // A copy of exactly the case's length, so that reading past it is caught.
        std::vector<uint8_t> bytes(c.bytes);
        const ProgramImage image = CheckProgramImage(bytes.data(), bytes.size(), c.expected);
        EXPECT_EQ(int(image.kind), int(c.kind));
    }
}

TEST(ProgramImage, PeOffsetNearTheTopOfItsRangeDoesNotWrap)
{
    std::vector<uint8_t> b = MakePe(PeFields{});
    for (size_t i = 0; i < 4; ++i)
        b[0x3C + i] = 0xFF;
    EXPECT_EQ(int(CheckProgramImage(b.data(), b.size(), kMachineI386).kind),
              int(ProgramKind::Truncated));
}

// --- Why a picture is refused ---------------------------------------------------------------

struct PictureCase {
    const char* rule;
    std::vector<uint8_t> file;
    BmpRefusal refusal;
    const char* text; // part of what a disc author reads
};

std::vector<uint8_t> Bmp(bmpw::BmpFields f, size_t tableEntries, size_t pixelBytes)
{
    return bmpw::BuildBmpVariant(f, std::vector<bmpw::RgbQuad>(tableEntries, {1, 2, 3, 0}),
                                 std::vector<uint8_t>(pixelBytes, 7));
}

bmpw::BmpFields Fields(uint16_t bits, int32_t width, int32_t height, uint32_t compression = 0)
{
    bmpw::BmpFields f;
    f.biBitCount = bits;
    f.biWidth = width;
    f.biHeight = height;
    f.biCompression = compression;
    return f;
}

TEST(PictureRefusal, NamesTheCheckThatRefusedAndAgreesWithTheLoader)
{
    bmpw::BmpFields notBmp = Fields(8, 4, 4);
    notBmp.magic[0] = 'P';
    bmpw::BmpFields oddHeader = Fields(8, 4, 4);
    oddHeader.biSize = 20;
    bmpw::BmpFields shortTable = Fields(8, 4, 4);
    shortTable.biClrUsed = 300;
    std::vector<uint8_t> cutHeader = Bmp(Fields(8, 4, 4), 256, 16);
    cutHeader.resize(14 + 30);
    const PictureCase cases[] = {
        {"8-bit plain", Bmp(Fields(8, 4, 4), 256, 16), BmpRefusal::None, ""},
        {"not BM", Bmp(notBmp, 256, 16), BmpRefusal::NotBmp, "does not begin with \"BM\""},
        {"header cut", cutHeader, BmpRefusal::TruncatedHeader, "ends inside its header"},
        {"unknown header size", Bmp(oddHeader, 256, 16), BmpRefusal::HeaderSize,
         "header is of a size"},
        {"24 bits", Bmp(Fields(24, 4, 4), 0, 48), BmpRefusal::BitDepth,
         "24-bit pictures are not supported; save it with a 256-colour palette"},
        {"32 bits", Bmp(Fields(32, 4, 4), 0, 64), BmpRefusal::BitDepth, "32-bit pictures"},
        {"RLE8 at 4 bits", Bmp(Fields(4, 4, 4, kBmpRle8), 16, 16), BmpRefusal::RleDepth,
         "does not match its bits per pixel"},
        {"RLE8 top-down", Bmp(Fields(8, 4, -4, kBmpRle8), 256, 16), BmpRefusal::RleTopDown,
         "top row first"},
        {"bitfields", Bmp(Fields(8, 4, 4, 3), 256, 16), BmpRefusal::Compression,
         "compression is not supported"},
        {"zero width", Bmp(Fields(8, 0, 4), 256, 0), BmpRefusal::EmptySize, "no pixels"},
        {"negative width", Bmp(Fields(8, -4, 4), 256, 0), BmpRefusal::EmptySize, "no pixels"},
        {"zero height", Bmp(Fields(8, 4, 0), 256, 0), BmpRefusal::EmptySize, "no pixels"},
        {"wider than allowed", Bmp(Fields(8, kBmpMaxSide + 1, 1), 256, 0), BmpRefusal::TooLarge,
         "too large"},
        {"table past the end", Bmp(shortTable, 256, 0), BmpRefusal::ColorTable, "colour table"},
        {"rows cut", Bmp(Fields(8, 4, 4), 256, 15), BmpRefusal::PixelData,
         "ends before its last row"},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.rule);
        const uint8_t* contents = c.file.data() + 14;
        const uint32_t length = uint32_t(c.file.size() - 14);
        BmpLayout layout;
        const BmpRefusal refusal =
            ReadBmpLayoutWithReason(c.file.data(), contents, length, &layout);
        EXPECT_EQ(int(refusal), int(c.refusal));
        EXPECT_EQ(ReadBmpLayout(c.file.data(), contents, length, &layout),
                  c.refusal == BmpRefusal::None);
        const std::string text = PictureRefusalText(refusal, PictureBitCount(contents, length));
        EXPECT_NE(text.find(c.text), std::string::npos) << text;
    }
}

// --- Colours a picture shows ----------------------------------------------------------------

TEST(PictureColours, CountsTheDistinctColoursThePixelsShow)
{
    std::vector<bmpw::RgbQuad> table(256);
    for (size_t i = 0; i < table.size(); ++i)
        table[i].blue = uint8_t(i);
    table[2] = table[1];
    std::vector<uint8_t> many(240);
    std::iota(many.begin(), many.end(), uint8_t(0));
    const struct {
        const char* rule;
        std::vector<uint8_t> row;
        uint32_t colours;
    } cases[] = {
        {"240 entries, two of them of one colour", many, 239},
        {"unused entries and row padding do not count", {5, 5, 9}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        bmpw::Picture p;
        p.width = int32_t(c.row.size());
        p.height = 1;
        p.pixels = c.row;
        const std::vector<uint8_t> file =
            bmpw::BuildBmp(Fields(8, p.width, 1), table, bmpw::PlainRows(p));
        BmpLayout layout;
        ASSERT_TRUE(
            ReadBmpLayout(file.data(), file.data() + 14, uint32_t(file.size() - 14), &layout));
        std::vector<uint8_t> packed(PackedDibSize(layout));
        UnpackBmp(layout, file.data() + 14, packed.data());
        EXPECT_EQ(CountPictureColours(layout, file.data() + 14, packed.data()), c.colours);
    }
}

// Rows 8 pixels wide, 3 high: an end of line right after a full row's runs ends that row as
// other programs read it too; one at the start of the stream or after another end of line is
// an empty row that only the launcher passes over. A delta to the right leaves the row's start.
TEST(PictureRows, FindsTheFirstEmptyRowWrittenAsABareEndOfLine)
{
    const struct {
        std::vector<uint8_t> stream;
        int32_t y;
    } cases[] = {
        {{8, 5, 0, 0, 8, 5, 0, 0, 8, 5}, -1},
        {{0, 0, 8, 5, 0, 0, 8, 5}, 2},
        {{8, 5, 0, 0, 0, 0, 8, 5}, 1},
        {{8, 5, 0, 0, 0, 2, 3, 0, 0, 0}, -1},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> file =
            bmpw::BuildBmp(Fields(8, 8, 3, kBmpRle8), std::vector<bmpw::RgbQuad>(256), c.stream);
        BmpLayout layout;
        ASSERT_TRUE(
            ReadBmpLayout(file.data(), file.data() + 14, uint32_t(file.size() - 14), &layout));
        EXPECT_EQ(FirstBareEndOfLineRow(layout, file.data() + 14), c.y) << c.y;
    }
}

// --- Findings, verdicts, exit code ----------------------------------------------------------

// The demo disc as the Windows side would see it: an i386 launcher, a 420 x 280 RLE8
// picture, a dialog with a one-pixel border and 80 x 28 buttons, an i386 GUI game and a
// versioned runtime.
DiscFacts GoodDisc()
{
    DiscFacts f = EmptyFacts();
    f.autorunFound = f.gameSection = f.autorunSection = true;
    f.game = {true, "GAME\\START.EXE"};
    f.bitmap = {true, "title.bmp"};
    f.open = {true, "launcher.exe"};
    f.openTargetFound = true;
    f.icon = {true, "launcher.exe,0"};
    f.iconFound = true;
    f.useAutoPlay = {true, "0"};
    f.launcherFound = true;
    f.launcherImage = {ProgramKind::Program, kMachineI386, kSubsystemWindowsGui};
    f.pictureFile = PictureFile::Found;
    f.pictureSize = 20000;
    f.pictureRefusal = BmpRefusal::None;
    f.pictureBits = 8;
    f.picture.width = 420;
    f.picture.height = 280;
    f.picture.bitCount = 8;
    f.picture.compression = kBmpRle8;
    f.pictureBuilt = true;
    f.pictureColours = 200;
    f.dialogMeasured = true;
    f.window = {24, 40, 346, 490};
    f.client = {0, 0, 320, 448};
    f.button = {0, 0, 80, 28};
    f.gameFound = true;
    f.gameImage = {ProgramKind::Program, kMachineI386, kSubsystemWindowsGui};
    f.runtimeFound = true;
    f.runtimeVersion = {true, 0x00010002, 0x00030004};
    return f;
}

std::string AllText(const std::vector<Finding>& findings)
{
    std::string all;
    for (const Finding& finding : findings)
        all += FormatFinding(finding) + "\n";
    return all;
}

bool HasLine(const std::vector<Finding>& findings, Verdict verdict, const std::string& part)
{
    for (const Finding& finding : findings)
        if (finding.verdict == verdict && finding.text.find(part) != std::string::npos)
            return true;
    return false;
}

TEST(DiscFindings, GoodDiscWorksAndSaysWhatTheLauncherWillDo)
{
    const std::vector<Finding> findings = CheckDisc(GoodDisc());
    SCOPED_TRACE(AllText(findings));
    EXPECT_EQ(ExitCodeFor(findings), kExitWorks);
    for (const Finding& finding : findings)
        EXPECT_EQ(int(finding.verdict), int(Verdict::Ok)) << finding.text;
    // The window lines come from the launcher's own layout (its worked example on 640 x 480).
    // Each names the largest picture that fits: the room a window without one leaves.
    EXPECT_TRUE(HasLine(findings, Verdict::Ok,
                        "window on 640 x 480: 446 x 350 at (97, 65), fits; pictures up to 614 x "
                        "410 fit"));
    EXPECT_TRUE(HasLine(findings, Verdict::Ok,
                        "window on 1024 x 768: 446 x 350 at (289, 209), fits; pictures up to 998 x "
                        "698 fit"));
    EXPECT_TRUE(HasLine(findings, Verdict::Ok, "launcher.exe is a 32-bit x86 Windows GUI program"));
    EXPECT_TRUE(HasLine(findings, Verdict::Ok, "picture: title.bmp loads: 420 x 280 pixels"));
    EXPECT_TRUE(
        HasLine(findings, Verdict::Ok, "command line (disc in drive D:): D:\\GAME\\START.EXE"));
    EXPECT_TRUE(HasLine(findings, Verdict::Ok, "file version 1.2.3.4"));
    EXPECT_EQ(SummaryLine(findings), "RESULT: the disc will work");
}

struct FaultCase {
    const char* rule;
    void (*fault)(DiscFacts*);
    Verdict verdict;
    const char* finding;
};

const FaultCase kFaults[] = {
    {"no autorun.inf", [](DiscFacts* f) { f->autorunFound = false; }, Verdict::Fail,
     "autorun.inf: not in the disc folder"},
    {"no [CorvaneGame]", [](DiscFacts* f) { f->gameSection = false; }, Verdict::Fail,
     "no [CorvaneGame] section"},
    {"game key missing",
     [](DiscFacts* f) {
         f->game = {false, ""};
     },
     Verdict::Fail, "has no game= line"},
    {"bitmap empty",
     [](DiscFacts* f) {
         f->bitmap = {true, ""};
     },
     Verdict::Fail, "bitmap= is empty"},
    {"value over 258 characters is cut", [](DiscFacts* f) { f->bitmap.value.assign(259, 'b'); },
     Verdict::Fail, "bitmap= has 259 characters; the launcher reads only the first 258"},
    {"picture path over 259 on the disc", [](DiscFacts* f) { f->bitmap.value.assign(257, 'b'); },
     Verdict::Fail, "would be 260 characters long"},
    {"picture path over the file-open limit",
     [](DiscFacts* f) { f->bitmap.value.assign(125, 'b'); }, Verdict::Fail,
     "is 128 characters long; Windows opens the picture only through paths of up to 127"},
    {"game command line over 259", [](DiscFacts* f) { f->game.value.assign(257, 'g'); },
     Verdict::Fail, "the command line D:\\ggg"},
    {"launcher missing", [](DiscFacts* f) { f->launcherFound = false; }, Verdict::Fail,
     "launcher: launcher.exe is not in the disc root"},
    {"launcher a console program",
     [](DiscFacts* f) { f->launcherImage.subsystem = kSubsystemWindowsConsole; }, Verdict::Fail,
     "launcher: launcher.exe is not a Windows GUI program for x86: it is a Windows console "
     "program"},
    {"launcher for another machine",
     [](DiscFacts* f) {
         f->launcherImage = {ProgramKind::WrongMachine, 0xAA64, kSubsystemWindowsGui};
     },
     Verdict::Fail,
     "launcher.exe is not a Windows GUI program for x86: it is a 64-bit ARM program"},
    {"picture missing", [](DiscFacts* f) { f->pictureFile = PictureFile::Missing; }, Verdict::Fail,
     "title.bmp is not in the disc folder"},
    {"picture too short", [](DiscFacts* f) { f->pictureSize = 25; }, Verdict::Fail,
     "has only 25 bytes"},
    {"picture file over the loader's limit",
     [](DiscFacts* f) { f->pictureSize = int64_t(kBmpMaxFileSize) + 1; }, Verdict::Fail,
     "title.bmp is larger than 128 MiB"},
    {"picture 24-bit",
     [](DiscFacts* f) {
         f->pictureRefusal = BmpRefusal::BitDepth;
         f->pictureBits = 24;
     },
     Verdict::Fail,
     "title.bmp cannot be shown: 24-bit pictures are not supported; save it with a 256-colour "
     "palette"},
    {"picture not built", [](DiscFacts* f) { f->pictureBuilt = false; }, Verdict::Fail,
     "could not load"},
    {"window too big for every screen",
     [](DiscFacts* f) {
         f->picture.width = 1100;
         f->picture.height = 700;
     },
     Verdict::Fail,
     "window on 1024 x 768: 1126 x 770 at (-51, -1), does not fit the screen; pictures up to 998 "
     "x 698 fit, which keeps Play and Quit on screen"},
    // On a screen of 192 dpi the launcher draws the picture 2 x 2 where that window fits.
    {"picture drawn 2 x 2 where it fits", [](DiscFacts* f) { f->pictureScale = 2; }, Verdict::Ok,
     "window on 1024 x 768: picture at 2 x 2, 866 x 630 at (79, 69), fits"},
    {"picture drawn 1 x 1 where 2 x 2 would not fit", [](DiscFacts* f) { f->pictureScale = 2; },
     Verdict::Ok, "window on 800 x 600: 446 x 350 at (177, 125), fits"},
    {"game missing", [](DiscFacts* f) { f->gameFound = false; }, Verdict::Fail,
     "GAME\\START.EXE is not in the disc folder"},
    {"game names no program", [](DiscFacts* f) { f->game.value = "\"\" -x"; }, Verdict::Fail,
     "names no program"},
    {"game not a program", [](DiscFacts* f) { f->gameImage.kind = ProgramKind::NotMz; },
     Verdict::Fail, "GAME\\START.EXE is not a Windows program"},
    {"game for another machine",
     [](DiscFacts* f) {
         f->gameImage = {ProgramKind::WrongMachine, 0xAA64, 2};
     },
     Verdict::Fail, "is a 64-bit ARM program; the launcher starts 32-bit x86 Windows programs"},
    {"runtime missing", [](DiscFacts* f) { f->runtimeFound = false; }, Verdict::Fail,
     "wing32.dll is not in the disc folder"},
    {"runtime without version",
     [](DiscFacts* f) {
         f->runtimeVersion = {false, 0, 0};
     },
     Verdict::Fail, "has no readable file version"},
    // Warnings: the disc still works.
    {"no [autorun]", [](DiscFacts* f) { f->autorunSection = false; }, Verdict::Warn,
     "no [autorun] section"},
    {"open= missing",
     [](DiscFacts* f) {
         f->open = {false, ""};
     },
     Verdict::Warn,
     "has no open= line; Windows will not start the launcher when the disc is "
     "inserted (add the line open=launcher.exe under [autorun])"},
    // Findings that name the fix.
    // clang-format off
    {"autorun.inf with a UTF-8 byte-order mark", [](DiscFacts* f) { f->autorunEncoding = TextEncoding::Utf8Mark; },
     Verdict::Fail, "autorun.inf: it is saved as UTF-8 with a byte-order mark, which Windows 95 to Me read as part of "
     "its first line; save autorun.inf as plain ANSI text (Notepad: Save as, Encoding ANSI)"},
    {"autorun.inf in UTF-16", [](DiscFacts* f) { f->autorunEncoding = TextEncoding::Utf16; },
     Verdict::Fail, "UTF-16 (Unicode) text, which Windows 95 to Me cannot read; save autorun.inf"},
    {"autorun.inf.txt beside no autorun.inf", [](DiscFacts* f) { f->autorunFound = false; f->autorunLookalike = "autorun.inf.txt"; },
     Verdict::Fail, "autorun.inf: not in the disc folder, but autorun.inf.txt is: rename it to autorun.inf "
     "(Explorer may hide the ending .txt that Notepad added)"},
    {"PNG picture", [](DiscFacts* f) { f->pictureRefusal = BmpRefusal::NotBmp; f->pictureFormat = "PNG"; },
     Verdict::Fail, "picture: title.bmp is a PNG file, not a BMP: save it as a 256-colour BMP file (Paint: Save as, "
     "\"256 Color Bitmap\""},
    {"picture one edit from a file beside it",
     [](DiscFacts* f) { f->bitmap.value = "titel.bmp"; f->pictureFile = PictureFile::Missing; f->bitmapNear = "title.bmp"; },
     Verdict::Fail, "picture: titel.bmp is not in the disc folder, but title.bmp is: write bitmap=title.bmp"},
    {"game one edit from a file beside it, arguments kept",
     [](DiscFacts* f) { f->game.value = "GAME\\STRAT.EXE -w"; f->gameFound = false; f->gameNear = "GAME\\START.EXE"; },
     Verdict::Fail, "game: GAME\\STRAT.EXE is not in the disc folder, but GAME\\START.EXE is: write game=GAME\\START.EXE -w"},
    {"game with a drive",
     [](DiscFacts* f) { f->game.value = "D:\\GAME\\START.EXE"; f->gameFound = false; f->gameRelativeFound = true; },
     Verdict::Fail, "game: game=D:\\GAME\\START.EXE starts with a drive, but the launcher puts the disc's root in front "
     "of the program itself: write it relative to the root, game=GAME\\START.EXE"},
    {"picture with a backslash, not on the disc",
     [](DiscFacts* f) { f->bitmap.value = "\\art\\title.bmp"; f->pictureFile = PictureFile::Missing; },
     Verdict::Fail, "bitmap=\\art\\title.bmp starts with a backslash, but the launcher puts the disc's root in front "
     "of the picture itself: write it relative to the root, and put the file on the disc"},
    // clang-format on
    {"open= names a missing file", [](DiscFacts* f) { f->openTargetFound = false; }, Verdict::Warn,
     "there is no launcher.exe in the disc root"},
    {"open= names a subfolder", [](DiscFacts* f) { f->open.value = "bin\\launcher.exe"; },
     Verdict::Warn, "names a program in a subfolder"},
    {"UseAutoPlay=1", [](DiscFacts* f) { f->useAutoPlay.value = "1"; }, Verdict::Warn,
     "UseAutoPlay=1 hides open= from the AutoPlay dialog"},
    {"icon file missing", [](DiscFacts* f) { f->iconFound = false; }, Verdict::Warn,
     "icon=launcher.exe,0, but there is no launcher.exe on the disc"},
    {"window too big for 640 x 480 only",
     [](DiscFacts* f) {
         f->picture.width = 701;
         f->picture.height = 501;
     },
     Verdict::Warn, "window on 640 x 480: 727 x 571 at (-43, -45), does not fit"},
    {"dialog not measured", [](DiscFacts* f) { f->dialogMeasured = false; }, Verdict::Warn,
     "size is unknown"},
    {"64-bit game", [](DiscFacts* f) { f->gameImage.kind = ProgramKind::Only64Bit; }, Verdict::Warn,
     "START.EXE is a 64-bit x86 Windows GUI program; 64-bit Windows starts it"},
    {"64-bit launcher",
     [](DiscFacts* f) {
         f->launcherImage = {ProgramKind::Only64Bit, kMachineAmd64, kSubsystemWindowsGui};
     },
     Verdict::Warn,
     "launcher: launcher.exe is a 64-bit x86 Windows GUI program; it does not run on 32-bit "
     "Windows"},
    {"32-bit game beside a 64-bit launcher, which 64-bit Windows starts",
     [](DiscFacts* f) {
         f->launcherImage = {ProgramKind::Only64Bit, kMachineAmd64, kSubsystemWindowsGui};
     },
     Verdict::Ok, "game: GAME\\START.EXE is a 32-bit x86 Windows GUI program"},
    {"picture with an empty row written as a bare end of line",
     [](DiscFacts* f) { f->pictureBareRow = 57; }, Verdict::Warn,
     "picture: title.bmp's RLE8 data writes the empty row at y = 57 (0 is the top row) as a bare "
     "end of line; the launcher passes over it and shows the rows above one row lower than "
     "other programs do (write the empty row as a run of colour 0)"},
    {"picture of more colours than a 256-colour display has free",
     [](DiscFacts* f) { f->pictureColours = 237; }, Verdict::Warn,
     "title.bmp uses 237 colours; a 256-colour display shows only 236 of them exactly and the "
     "rest in the nearest ones (reduce the picture to 236 colours)"},
};

TEST(DiscFindings, EachFaultGivesItsFindingAndFailuresFailTheDisc)
{
    for (const FaultCase& c : kFaults) {
        SCOPED_TRACE(c.rule);
        DiscFacts facts = GoodDisc();
        c.fault(&facts);
        const std::vector<Finding> findings = CheckDisc(facts);
        SCOPED_TRACE(AllText(findings));
        EXPECT_TRUE(HasLine(findings, c.verdict, c.finding));
        const bool fails = c.verdict == Verdict::Fail;
        EXPECT_EQ(ExitCodeFor(findings), fails ? kExitBroken : kExitWorks);
        const std::string summary = SummaryLine(findings);
        EXPECT_EQ(summary.find("NOT work") != std::string::npos, fails) << summary;
    }
}

TEST(DiscFindings, LongestValuesThatStillWorkPass)
{
    struct Edge {
        const char* rule;
        void (*set)(DiscFacts*);
    } edges[] = {
        {"picture path of 127 characters on the disc",
         [](DiscFacts* f) { f->bitmap.value.assign(124, 'b'); }},
        {"command line of 259 characters", [](DiscFacts* f) { f->game.value.assign(256, 'g'); }},
        {"picture of 236 colours", [](DiscFacts* f) { f->pictureColours = 236; }},
        {"window exactly the screen's size",
         [](DiscFacts* f) {
             f->picture.width = 640 - 26;
             f->picture.height = 480 - 70;
         }},
    };
    for (const Edge& e : edges) {
        SCOPED_TRACE(e.rule);
        DiscFacts facts = GoodDisc();
        e.set(&facts);
        const std::vector<Finding> findings = CheckDisc(facts);
        SCOPED_TRACE(AllText(findings));
        for (const Finding& finding : findings)
            EXPECT_EQ(int(finding.verdict), int(Verdict::Ok)) << finding.text;
    }
}

// icon= names a file, or a program and the index of one of its icons.
TEST(DiscFindings, IconFileIsWhatComesBeforeAnIconIndex)
{
    const char* const cases[][2] = {{"launcher.exe,0", "launcher.exe"},
                                    {"disc.ico", "disc.ico"},
                                    {"game.dll, -12", "game.dll"},
                                    {"a,b.ico", "a,b.ico"},
                                    {"x.exe,", "x.exe,"},
                                    {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(IconFilePart(c[0]), c[1]) << c[0];
}

// What the findings that name a fix are derived from: a file's first bytes, names one edit
// apart, and a value written relative to the disc's root.
TEST(DiscFixes, FirstBytesNearNamesAndRootRelativeValues)
{
    // clang-format off
    const struct { std::vector<uint8_t> head; const char* format; TextEncoding encoding; } heads[] = {
        {{0x89, 'P', 'N', 'G', 13, 10}, "PNG", TextEncoding::Ansi}, {{0xFF, 0xD8, 0xFF, 0xE0}, "JPEG", TextEncoding::Ansi},
        {{'G', 'I', 'F', '8', '9', 'a'}, "GIF", TextEncoding::Ansi}, {{'I', 'I', 42, 0}, "TIFF", TextEncoding::Ansi},
        {{'M', 'M', 0, 42}, "TIFF", TextEncoding::Ansi}, {{0, 0, 1, 0}, "ICO", TextEncoding::Utf16},
        {{'B', 'M', 0x36, 0}, nullptr, TextEncoding::Ansi}, {{0xFF, 0xD8}, nullptr, TextEncoding::Ansi},
        {{0xEF, 0xBB, 0xBF, '['}, nullptr, TextEncoding::Utf8Mark}, {{0xFF, 0xFE, '[', 0}, nullptr, TextEncoding::Utf16},
        {{'[', 0, 'a', 0}, nullptr, TextEncoding::Utf16}, {{'[', 'a'}, nullptr, TextEncoding::Ansi},
        {{}, nullptr, TextEncoding::Ansi},
    };
    const struct { const char *a, *b; bool near; } names[] = {
        {"titel.bmp", "title.bmp", true}, {"title.bmp", "TITLE.BMP", false}, {"title.bmp", "titl.bmp", true},
        {"title.bmp", "title.bmpx", true}, {"START.EXE", "STRAT.EXE", true}, {"tilte.bmp", "tiltle.bmp", true},
        {"title.bmp", "tilet.bmp", false}, {"a.bmp", "b.bmp", true}, {"title.bmp", "ttle.bm", false},
        {"ab", "ba", true}, {"", "a", true}, {"", "", false},
    };
    const char* const values[][2] = {
        {"D:\\GAME\\START.EXE -w", "GAME\\START.EXE -w"}, {"d:title.bmp", "title.bmp"}, {"\\\\title.bmp", "title.bmp"},
        {"/title.bmp", "title.bmp"}, {"\"D:\\My Game\\START.EXE\" -w", "\"My Game\\START.EXE\" -w"},
        {"GAME\\START.EXE", ""}, {"1:x", ""}, {"", ""},
    };
    // clang-format on
    for (const auto& c : heads) {
        const std::vector<uint8_t> head(c.head); // exactly sized, so that over-reads show
        const char* format = OtherPictureFormat(head.data(), head.size());
        EXPECT_STREQ(format, c.format) << head.size();
        EXPECT_EQ(int(ProfileEncoding(head.data(), head.size())), int(c.encoding)) << head.size();
    }
    for (const auto& c : names) {
        EXPECT_EQ(OneEditApart(c.a, c.b), c.near) << c.a << " " << c.b;
        EXPECT_EQ(OneEditApart(c.b, c.a), c.near) << c.b << " " << c.a;
    }
    for (const auto& c : values)
        EXPECT_EQ(RootRelative(c[0]), c[1]) << c[0];
}

TEST(DiscFindings, SummaryCountsProblemsAndWarnings)
{
    const struct {
        std::vector<Verdict> verdicts;
        const char* summary;
        int exitCode;
    } cases[] = {
        {{Verdict::Ok}, "RESULT: the disc will work", kExitWorks},
        {{Verdict::Ok, Verdict::Warn}, "RESULT: the disc will work, with 1 warning", kExitWorks},
        {{Verdict::Warn, Verdict::Warn}, "RESULT: the disc will work, with 2 warnings", kExitWorks},
        {{Verdict::Fail}, "RESULT: the disc will NOT work: 1 problem", kExitBroken},
        {{Verdict::Fail, Verdict::Fail, Verdict::Warn},
         "RESULT: the disc will NOT work: 2 problems, 1 warning",
         kExitBroken},
    };
    for (const auto& c : cases) {
        std::vector<Finding> findings;
        for (Verdict v : c.verdicts)
            findings.push_back({v, "x"});
        EXPECT_EQ(SummaryLine(findings), c.summary);
        EXPECT_EQ(ExitCodeFor(findings), c.exitCode);
    }
    EXPECT_EQ(FormatFinding({Verdict::Ok, "a"}), "OK   a");
    EXPECT_EQ(FormatFinding({Verdict::Warn, "a"}), "WARN a");
    EXPECT_EQ(FormatFinding({Verdict::Fail, "a"}), "FAIL a");
}

} // namespace
