// disccheck.exe on the demo disc and on broken copies of it, one fault each: its exit code
// and the finding a disc author reads; and its window prediction against the launcher's
// real window.
#include "tests/e2e/scenario.h"
#include "demo/bmp_writer.h"
#include "tests/support/installer_test_support.h"

#include <cstdio>
#include <functional>
#include <ostream>

namespace e2e
{
namespace
{

std::string CheckerExe()
{
    return BuildDir() + "disccheck.exe";
}

struct CheckerRun {
    DWORD exitCode = 0;
    std::string output; // stdout and stderr together
};

// Runs the checker with the given argument text and collects what it prints.
::testing::AssertionResult RunChecker(const std::string& arguments, CheckerRun* run)
{
    const std::string problem =
        RunConsoleProgram("\"" + CheckerExe() + "\" " + arguments, &run->exitCode, &run->output);
    if (problem.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problem;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// A copy of the demo game made for 64-bit ARM in its PE header: a program that neither
// launcher build can start.
bool WriteOtherMachineGame(const std::string& path)
{
    std::string bytes;
    if (!ReadText(GameExe(), &bytes) || bytes.size() < 0x40)
        return false;
    uint32_t pe = 0;
    memcpy(&pe, &bytes[0x3C], 4);
    if (pe + 6 > bytes.size())
        return false;
    const uint16_t arm64 = 0xAA64;
    memcpy(&bytes[pe + 4], &arm64, 2);
    return WriteText(path, bytes);
}

std::vector<uint8_t> PlainPicture(int32_t width, int32_t height)
{
    return bmpw::WritePlainBmp(bmpw::MakeTestPicture(width, height));
}

bool WritePicture(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return WriteBytes(path, bytes.data(), bytes.size());
}

std::string AutorunWithout(const char* key)
{
    std::string text = "[autorun]\r\nopen=launcher.exe\r\n\r\n[CorvaneGame]\r\n";
    if (std::string(key) != "game")
        text += "game=GAME\\START.EXE\r\n";
    if (std::string(key) != "bitmap")
        text += "bitmap=title.bmp\r\n";
    return text;
}

struct DiscFault {
    const char* name;
    std::function<bool(DiscSpec*)> plan;         // changes to the demo disc before it is laid out
    std::function<bool(const std::string&)> act; // changes to the laid-out disc at its root
    DWORD exitCode;
    const char* finding; // a whole line, or its start, of the checker's output
};

bool Nothing(const std::string&)
{
    return true;
}

bool KeepPlan(DiscSpec*)
{
    return true;
}

// A plan whose autorun.inf names game and bitmap.
std::function<bool(DiscSpec*)> Game(const char* game, const char* bitmap = "title.bmp")
{
    return [=](DiscSpec* d) {
        d->autorun = Autorun(game, bitmap);
        return true;
    };
}

bool NoAutorun(DiscSpec* d)
{
    d->writeAutorun = false;
    return true;
}

// The game in a folder with a blank, and D:\My.exe where the blank would end its name.
bool GameBesideADecoy(const std::string& root)
{
    return CopyOne(GameExe(), root + "My Game\\START.EXE") && CopyOne(GameExe(), root + "My.exe");
}

// The discs carry this build's launcher.exe: only 64-bit Windows runs an x86-64 one.
#ifdef _WIN64
const char kDemoDiscResult[] = "RESULT: the disc will work, with 1 warning\r\n";
#else
const char kDemoDiscResult[] = "RESULT: the disc will work\r\n";
#endif

const DiscFault kFaults[] = {
    {"demo_disc", KeepPlan, Nothing, 0, kDemoDiscResult},
    {"demo_disc_deep_in_this_computer",
     [](DiscSpec* d) {
         d->root = PaddedDir(d->root, 160);
         return true;
     },
     Nothing, 0, kDemoDiscResult},
    {"no_autorun", NoAutorun, Nothing, 1, "FAIL autorun.inf: not in the disc folder"},
    {"no_bitmap_key",
     [](DiscSpec* d) {
         d->autorun = AutorunWithout("bitmap");
         return true;
     },
     Nothing, 1, "FAIL autorun.inf: [CorvaneGame] has no bitmap= line"},
    {"empty_game",
     [](DiscSpec* d) {
         d->autorun = Autorun("", "title.bmp");
         return true;
     },
     Nothing, 1, "FAIL autorun.inf: game= is empty"},
    {"overlong_value",
     [](DiscSpec* d) {
         d->autorun = Autorun("GAME\\START.EXE", std::string(259, 'b'));
         return true;
     },
     Nothing, 1,
     "FAIL autorun.inf: bitmap= has 259 characters; the launcher reads only the first 258"},
    {"overlong_command_line",
     [](DiscSpec* d) {
         d->autorun = Autorun("GAME\\START.EXE " + std::string(242, 'a'), "title.bmp");
         return true;
     },
     Nothing, 1, "FAIL game: the command line D:\\GAME\\START.EXE aaa"},
    {"picture_24_bit", KeepPlan,
     [](const std::string& root) {
         bmpw::BmpFields f;
         f.biBitCount = 24;
         f.biWidth = 32;
         f.biHeight = 16;
         return WritePicture(root + "title.bmp",
                             bmpw::BuildBmp(f, {}, std::vector<uint8_t>(96 * 16, 0x80)));
     },
     1,
     "FAIL picture: title.bmp cannot be shown: 24-bit pictures are not supported; save it with "
     "a 256-colour palette"},
    {"picture_truncated", KeepPlan,
     [](const std::string& root) {
         std::vector<uint8_t> bytes = PlainPicture(64, 48);
         bytes.resize(bytes.size() - 64 * 10);
         return WritePicture(root + "title.bmp", bytes);
     },
     1, "FAIL picture: title.bmp cannot be shown: the file ends before its last row"},
    {"picture_missing", KeepPlan,
     [](const std::string& root) { return DeleteFileA((root + "title.bmp").c_str()) != 0; }, 1,
     "FAIL picture: title.bmp is not in the disc folder"},
    {"window_off_every_screen", KeepPlan,
     [](const std::string& root) {
         return WritePicture(root + "title.bmp", PlainPicture(1100, 700));
     },
     1, "FAIL window on 1024 x 768: "},
    {"window_off_small_screen", KeepPlan,
     [](const std::string& root) {
         return WritePicture(root + "title.bmp", PlainPicture(701, 501));
     },
     0, "WARN window on 640 x 480: "},
    {"no_game",
     [](DiscSpec* d) {
         d->withGame = false;
         return true;
     },
     Nothing, 1, "FAIL game: GAME\\START.EXE is not in the disc folder"},
    {"game_quoted_with_a_blank_beside_a_decoy", Game("\"My Game\\START.EXE\""), GameBesideADecoy, 0,
     "OK   game: command line (disc in drive D:): \"D:\\My Game\\START.EXE\"\r\n"},
    // Play starts these (never D:\My.exe): OK, with the quoted form where no quote was written
    {"game_quoted_with_a_quoted_argument", Game("\"My Game\\START.EXE\" \"-w\""), GameBesideADecoy,
     0, "OK   game: command line (disc in drive D:): \"D:\\My Game\\START.EXE\" \"-w\"\r\n"},
    {"game_with_unquoted_blanks", Game("My Game\\START.EXE -windowed"), GameBesideADecoy, 0,
     "OK   game: command line (disc in drive D:): \"D:\\My Game\\START.EXE\" -windowed\r\n"
     "OK   game: game=My Game\\START.EXE -windowed works; game=\"My Game\\START.EXE\" -windowed "
     "says plainly where the program's name ends"},
    {"game_not_a_program", KeepPlan,
     [](const std::string& root) { return WriteText(root + "GAME\\START.EXE", "@echo off\r\n"); },
     1, "FAIL game: GAME\\START.EXE is not a Windows program"},
    {"game_for_other_machine", KeepPlan,
     [](const std::string& root) { return WriteOtherMachineGame(root + "GAME\\START.EXE"); }, 1,
     "FAIL game: GAME\\START.EXE is a 64-bit ARM program; "},
    {"no_runtime",
     [](DiscSpec* d) {
         d->withRuntime = false;
         return true;
     },
     Nothing, 1, "FAIL runtime: system\\win95\\wing32.dll is not in the disc folder"},
    {"unversioned_runtime", KeepPlan,
     [](const std::string& root) {
         return CopyOne(StandIn("none"), root + "system\\win95\\wing32.dll");
     },
     1, "FAIL runtime: system\\win95\\wing32.dll has no readable file version"},
    {"no_autorun_section",
     [](DiscSpec* d) {
         d->autorun = "[CorvaneGame]\r\ngame=GAME\\START.EXE\r\nbitmap=title.bmp\r\n";
         return true;
     },
     Nothing, 0, "WARN autorun.inf: no [autorun] section"},
    // What the reader gathers for the finding: a picture's facts it only reads when it has
    // loaded the picture, and the facts of the findings that name the fix.
    // clang-format off
    {"picture_row_written_as_a_bare_end_of_line", KeepPlan,
     [](const std::string& root) {
         bmpw::BmpFields f;
         f.biWidth = 8; f.biHeight = 3; f.biCompression = bmpw::kBiRle8;
         return WritePicture(root + "title.bmp", bmpw::BuildBmp(f, std::vector<bmpw::RgbQuad>(256), {0, 0, 8, 5, 0, 0, 8, 5, 0, 1}));
     },
     0, "WARN picture: title.bmp's RLE8 data writes the empty row at y = 2 (0 is the top row)"},
    {"picture_of_240_colours", KeepPlan,
     [](const std::string& root) {
         bmpw::Picture p = bmpw::MakeTestPicture(16, 15); // 256 different colours
         for (size_t i = 0; i < 240; ++i) p.pixels[i] = uint8_t(i);
         return WritePicture(root + "title.bmp", bmpw::WritePlainBmp(p));
     },
     0, "WARN picture: title.bmp uses 240 colours; a 256-colour display shows only 236"},
    {"autorun_with_a_utf8_byte_order_mark", [](DiscSpec* d) { d->autorun = "\xEF\xBB\xBF" + d->autorun; return true; },
     Nothing, 1, "FAIL autorun.inf: it is saved as UTF-8 with a byte-order mark"},
    {"autorun_saved_by_notepad_as_autorun_inf_txt", NoAutorun,
     [](const std::string& root) { return WriteText(root + "autorun.inf.txt", Autorun("GAME\\START.EXE", "title.bmp")); },
     1, "FAIL autorun.inf: not in the disc folder, but autorun.inf.txt is: rename it"},
    {"picture_that_is_a_png", KeepPlan,
     [](const std::string& root) { return WriteText(root + "title.bmp", std::string("\x89PNG\r\n\x1A\n", 8) + "rest"); },
     1, "FAIL picture: title.bmp is a PNG file, not a BMP: save it as a 256-colour BMP file"},
    {"picture_name_one_letter_off", Game("GAME\\START.EXE", "titel.bmp"), Nothing, 1,
     "FAIL picture: titel.bmp is not in the disc folder, but title.bmp is: write bitmap=title.bmp"},
    {"game_name_with_two_letters_swapped", Game("GAME\\STRAT.EXE"), Nothing, 1,
     "FAIL game: GAME\\STRAT.EXE is not in the disc folder, but GAME\\START.EXE is: write game=GAME\\START.EXE"},
    {"game_with_a_drive", Game("D:\\GAME\\START.EXE"), Nothing, 1, "FAIL game: game=D:\\GAME\\START.EXE starts with a drive"},
    // clang-format on
};

void PrintTo(const DiscFault& fault, std::ostream* out)
{
    *out << fault.name;
}

class CheckerOnDisc : public ::testing::TestWithParam<DiscFault>
{
};

// Each broken copy of the demo disc gives its own finding and exit code; the demo disc
// itself works.
TEST_P(CheckerOnDisc, ReportsTheFaultWithItsVerdict)
{
    const DiscFault& c = GetParam();
    DiscSpec disc;
    disc.root = TestDiscRoot();
    disc.withPicture = true;
    ASSERT_TRUE(c.plan(&disc));
    ASSERT_TRUE(LayOutDisc(disc));
    ASSERT_TRUE(c.act(disc.root));

    CheckerRun run;
    // Quoted and ending in a backslash, as a user would type a folder.
    ASSERT_TRUE(RunChecker("\"" + disc.root + "\"", &run));
    SCOPED_TRACE(run.output);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_TRUE(Contains(run.output, std::string("\n") + c.finding));
    const char* summary = c.exitCode == 0 ? "\nRESULT: the disc will work"
                                          : "\nRESULT: the disc will NOT work: 1 problem";
    EXPECT_TRUE(Contains(run.output, summary));
}

INSTANTIATE_TEST_SUITE_P(Faults, CheckerOnDisc, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<DiscFault>& info) {
                             return std::string(info.param.name);
                         });

// The kit's disc template, with launcher.exe copied in as the quick start says, lacks only
// the author's own files: the game and the real runtime.
TEST(CheckerOnTemplate, FailsOnlyOnTheGameAndTheRuntime)
{
    const std::string root = TestDiscRoot(), from = SourceDir() + "kit\\disc-template\\";
    DiscSpec launcherOnly; // laid out with launcher.exe, which the author copies in
    launcherOnly.root = root;
    launcherOnly.writeAutorun = launcherOnly.withGame = launcherOnly.withRuntime = false;
    ASSERT_TRUE(LayOutDisc(launcherOnly));
    for (const char* file : {"title.bmp", "autorun.inf", "system\\win95\\README.txt"})
        ASSERT_TRUE(CopyOne(from + file, root + file)) << file;

    CheckerRun run;
    ASSERT_TRUE(RunChecker("\"" + root + "\"", &run));
    SCOPED_TRACE(run.output);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_TRUE(Contains(run.output, "\nFAIL game: GAME\\START.EXE is not in the disc folder"));
    EXPECT_TRUE(Contains(run.output,
                         "\nFAIL runtime: system\\win95\\wing32.dll is not in the disc folder"));
    EXPECT_TRUE(Contains(run.output, "\nRESULT: the disc will NOT work: 2 problems"));
}

// Bad usage ends with 2 and a usage line, without checking anything.
TEST(CheckerUsage, BadArgumentsGiveTwoAndAUsageLine)
{
    const char* arguments[] = {"", "a b", "C:\\no\\such\\folder"};
    for (const char* argument : arguments) {
        SCOPED_TRACE(argument);
        CheckerRun run;
        ASSERT_TRUE(RunChecker(argument, &run));
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_TRUE(Contains(run.output, "usage: disccheck DISC_FOLDER"));
        EXPECT_FALSE(Contains(run.output, "RESULT"));
    }
}

// What the checker says of the window on this screen is where the launcher puts it.
TEST(CheckerPrediction, WindowOnThisScreenIsTheLaunchersWindow)
{
    DiscSpec disc;
    disc.root = TestDiscRoot();
    disc.withPicture = true;
    ASSERT_TRUE(LayOutDisc(disc));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));
    DialogGeometry g;
    ASSERT_TRUE(ReadGeometry(dialog, &g));
    PressButton(dialog, 302);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));

    char line[200];
    std::snprintf(line, sizeof line, "OK   window on %ld x %ld: %ld x %ld at (%ld, %ld), fits",
                  g.desktop.right - g.desktop.left, g.desktop.bottom - g.desktop.top,
                  g.window.right - g.window.left, g.window.bottom - g.window.top, g.window.left,
                  g.window.top);
    CheckerRun run;
    ASSERT_TRUE(RunChecker(disc.root.substr(0, disc.root.size() - 1), &run));
    EXPECT_TRUE(Contains(run.output, line)) << line << "\n" << run.output;
}

} // namespace
} // namespace e2e
