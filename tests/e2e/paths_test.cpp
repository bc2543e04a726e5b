// Where the launcher lies and how long its paths are: a folder name with a blank, names that
// do not fit the launcher's 260-byte path buffers, and values cut by the profile reader.
#include "tests/e2e/scenario.h"

namespace e2e
{
namespace
{

// Removes what a scenario planted outside its own folder, also when it fails half-way.
struct Cleanup {
    std::vector<std::string> paths;
    ~Cleanup()
    {
        for (const std::string& p : paths)
            RemoveTree(p);
    }
};

struct BlankCase {
    const char* name;
    const char* root;              // the launcher's folder; D:\ shows DriveDRoot()
    const char* game;              // game= as written in autorun.inf
    const char* program;           // the game's file under the root
    const char* decoy;             // what would run if the program were not quoted
    const char* expectedArguments; // what follows the quoted program path
};

class BlankInPath : public ::testing::TestWithParam<BlankCase>
{
};

// A blank in the disc folder ("C:\Corvane Disc\") or in the game's own name ("My Game\",
// whose quotes the profile reader drops) must never run the shorter path before it: the
// program path is quoted and whatever followed the program in game= stays its arguments.
TEST_P(BlankInPath, QuotedProgramPathRunsTheRealGameNotTheDecoy)
{
    const BlankCase& c = GetParam();
    const std::string root = c.root;
    // Files under D:\ are made in the folder that it shows.
    auto onDisk = [](std::string path) {
        return path.rfind("D:\\", 0) == 0 ? DriveDRoot() + path.substr(3) : path;
    };
    Cleanup cleanup{{onDisk(root), onDisk(c.decoy)}};
    DiscSpec disc;
    disc.root = onDisk(root);
    disc.autorun = Autorun(c.game, "title.bmp");
    ASSERT_TRUE(LayOutDisc(disc));
    ASSERT_TRUE(CopyOne(GameExe(), onDisk(root + c.program)));
    ASSERT_TRUE(CopyOne(GameExe(), onDisk(c.decoy)));

    // The decoy is where an unquoted command line would find it.
    {
        std::string record = WorkRoot() + "decoy-check.txt";
        DeleteFileA(record.c_str());
        SetEnvironmentVariableA("CORVANE_GAME_RECORD", record.c_str());
        UINT started = WinExec((root + c.program).c_str(), SW_SHOWNORMAL);
        SetEnvironmentVariableA("CORVANE_GAME_RECORD", nullptr);
        ASSERT_GE(started, 32u);
        GameRecord unquoted;
        ASSERT_TRUE(ReadGameRecord(record, &unquoted));
        ASSERT_EQ(Lower(unquoted.module), Lower(c.decoy));
    }

    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, root + "launcher.exe", &dialog));
    GameRecord record;
    ASSERT_NO_FATAL_FAILURE(PlayAndReadGame(launcher, dialog, &record));
    EXPECT_EQ(Lower(record.module), Lower(root + c.program));
    EXPECT_EQ(record.command, "\"" + root + c.program + "\"" + c.expectedArguments);
}

INSTANTIATE_TEST_SUITE_P(
    Games, BlankInPath,
    ::testing::Values(BlankCase{"ProgramOnly", "C:\\Corvane Disc\\", "GAME\\START.EXE",
                                "GAME\\START.EXE", "C:\\Corvane.exe", ""},
                      BlankCase{"WithArguments", "C:\\Corvane Disc\\",
                                "GAME\\START.EXE -windowed /level 2", "GAME\\START.EXE",
                                "C:\\Corvane.exe", " -windowed /level 2"},
                      BlankCase{"QuotedNameWithABlank", "D:\\", "\"My Game\\START.EXE\"",
                                "My Game\\START.EXE", "D:\\My.exe", ""},
                      // the profile reader drops the outer quotes: My Game\START.EXE" "-w
                      BlankCase{"QuotedNameAndQuotedArgument", "D:\\",
                                "\"My Game\\START.EXE\" \"-w\"", "My Game\\START.EXE", "D:\\My.exe",
                                " \"-w\""},
                      BlankCase{"UnquotedNameWithABlank", "D:\\", "My Game\\START.EXE -windowed",
                                "My Game\\START.EXE", "D:\\My.exe", " -windowed"}),
    [](const ::testing::TestParamInfo<BlankCase>& info) { return std::string(info.param.name); });

// A folder whose name the ANSI code page (1252 here) cannot spell: full-width letters, which
// best fit turns into the plain ones of another folder beside it with its own disc, and
// Cyrillic ones, which it turns into '?'. The launcher reads its own autorun.inf and starts its
// own game through the folder's short name, or shows the one box that says the name cannot be
// used; it never reads the look-alike's disc and never says "Invalid name.".
TEST(UnicodeFolder, RunsItsOwnDiscOrSaysTheNameCannotBeUsed)
{
    struct {
        const wchar_t* folder; // the disc's folder under C:\e2e\unicode\, named in UTF-16
        const char* lookAlike; // the folder that its name spells in the ANSI code page, or ""
    } cases[] = {{L"\xFF44\xFF49\xFF53\xFF43", "disc"}, {L"\x0414\x0438\x0441\x043A", ""}};
    ASSERT_EQ(GetACP(), 1252u) << "Wine's ANSI code page under LANG=C.UTF-8";
    const std::string base = WorkRoot() + "unicode\\";
    Cleanup cleanup{{base}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lookAlike);
        RemoveTree(base);
        DiscSpec disc;
        if (*c.lookAlike) {
            disc.root = base + c.lookAlike + "\\";
            disc.autorun = Autorun("GAME\\START.EXE -lookalike", "title.bmp");
            ASSERT_TRUE(LayOutDisc(disc));
        }
        disc.root = base + "stage\\";
        disc.autorun = Autorun("GAME\\START.EXE -own", "title.bmp");
        ASSERT_TRUE(LayOutDisc(disc));
        const std::wstring folder = Wide(base) + c.folder;
        ASSERT_TRUE(MoveFileW(Wide(disc.root).c_str(), folder.c_str()));
        WCHAR shortName[MAX_PATH];
        char shortAnsi[MAX_PATH];
        ASSERT_NE(GetShortPathNameW(folder.c_str(), shortName, MAX_PATH), 0u);
        ASSERT_NE(
            WideCharToMultiByte(CP_ACP, 0, shortName, -1, shortAnsi, MAX_PATH, nullptr, nullptr),
            0);

        Launcher launcher;
        ASSERT_TRUE(StartLauncher(&launcher, Utf8(folder) + "\\launcher.exe"));
        HWND dialog = WaitForStartupDialog(launcher);
        DWORD code = 0;
        std::vector<Box> boxes;
        if (dialog == nullptr) {
            ASSERT_TRUE(CollectBoxesUntilExit(launcher, &boxes, &code));
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].caption, "Error");
            EXPECT_EQ(boxes[0].text, "This folder's name cannot be used. The disc's files work "
                                     "from a folder whose name uses only the letters of the "
                                     "system's language.");
            EXPECT_TRUE(IsClassAtom(code)) << std::hex << code;
            continue;
        }
        GameRecord record;
        ASSERT_NO_FATAL_FAILURE(PlayAndReadGame(launcher, dialog, &record));
        EXPECT_EQ(record.command, std::string(shortAnsi) + "\\GAME\\START.EXE -own");
        EXPECT_EQ(ProcessesStarted(launcher), 2u) << "the launcher and its own game";
    }
}

struct LengthCase {
    const char* name;
    size_t dirLength;         // the launcher's folder, trailing backslash included
    const char* launcherName; // file name of the launcher in it
    size_t gameLength;        // length of game= ("GAME\START.EXE" padded with arguments)
    bool dialogOpens;         // otherwise: one "Error" box, the class atom, no dialog
    bool runtimeFits;         // otherwise Play shows an "Error" box first, then goes on
    bool gameStarts;          // after Play; otherwise an "Error" box and exit code 301
};

class PathLengths : public ::testing::TestWithParam<LengthCase>
{
};

// game= of the given length: the program, then a blank and 'a's as its arguments.
std::string GameValue(size_t length)
{
    std::string value = "GAME\\START.EXE";
    if (length > value.size())
        value += " " + std::string(length - value.size() - 1, 'a');
    return value;
}

// Names that would not fit a 260-byte buffer are refused with the system's text for
// ERROR_FILENAME_EXCED_RANGE, never cut or written past the buffer:
// - a launcher path of 259 characters fills the module-name buffer and comes back cut, so it
//   names no directory (Wine starts no program whose path is longer than that);
// - a folder of more than 248 characters leaves no room for "autorun.inf", and one of more
//   than 236 none for "system\\win95\\wing32.dll": Play says so, then starts the game;
// - a folder and game= longer than 259 characters together leave no room for the command line.
// One character less, each of them works.
TEST_P(PathLengths, NamesThatDoNotFitAreRefusedWithABox)
{
    const LengthCase& c = GetParam();
    std::string base = WorkRoot() + "len\\";
    RemoveTree(base);
    DiscSpec disc;
    disc.root = PaddedDir(base, c.dirLength);
    ASSERT_EQ(disc.root.size(), c.dirLength);
    disc.launcherName = c.launcherName;
    disc.autorun = Autorun(GameValue(c.gameLength), "title.bmp");
    ASSERT_TRUE(LayOutDisc(disc));
    Cleanup cleanup{{base}};

    Launcher launcher;
    ASSERT_TRUE(StartLauncher(&launcher, disc.root + c.launcherName)) << "error " << GetLastError();
    DWORD code = 0;
    HWND dialog = WaitForStartupDialog(launcher);
    if (!c.dialogOpens) {
        EXPECT_EQ(dialog, nullptr);
        std::vector<Box> boxes;
        ASSERT_TRUE(CollectBoxesUntilExit(launcher, &boxes, &code));
        ASSERT_NO_FATAL_FAILURE(ExpectNameTooLongBoxes(boxes, 1));
        EXPECT_TRUE(IsClassAtom(code)) << std::hex << code;
        return;
    }
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, 301);
    Box first; // the window waits behind the runtime's box: no second Play, no Quit
    if (!c.runtimeFits && WaitForBox(launcher, &first)) {
        EXPECT_FALSE(IsWindowEnabled(dialog));
    }
    std::vector<Box> boxes;
    ASSERT_TRUE(CollectBoxesUntilExit(launcher, &boxes, &code));
    ASSERT_NO_FATAL_FAILURE(ExpectNameTooLongBoxes(boxes, !c.runtimeFits + !c.gameStarts));
    GameRecord record;
    if (c.gameStarts) {
        ASSERT_TRUE(ReadGameRecord(launcher.recordFile, &record));
        EXPECT_EQ(record.command, disc.root + GameValue(c.gameLength));
    } else {
        EXPECT_FALSE(ReadGameRecord(launcher.recordFile, &record, 300));
    }
    EXPECT_EQ(code, 301u);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, PathLengths,
    ::testing::Values(
        // launcher path 259 (cut) and 258 (whole) characters; with 258 the folder is too deep
        // for GAME\\START.EXE to follow it, so Play reports that instead
        LengthCase{"LauncherPath259", 247, "launcher.exe", 14, false, false, false},
        LengthCase{"LauncherPath258", 246, "launcher.exe", 14, true, false, false},
        // profile path: folder of 249 and 248 characters
        LengthCase{"Folder249", 249, "L.EXE", 14, false, false, false},
        LengthCase{"Folder248", 248, "L.EXE", 14, true, false, false},
        // the disc's runtime: folder of 237 and 236 characters
        LengthCase{"Folder237", 237, "L.EXE", 14, true, false, true},
        LengthCase{"Folder236", 236, "L.EXE", 14, true, true, true},
        // command line of 260 and 259 characters
        LengthCase{"CommandLine260", 240, "launcher.exe", 20, true, false, false},
        LengthCase{"CommandLine259", 240, "launcher.exe", 19, true, false, true}),
    [](const ::testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.name); });

// A value of 300 characters arrives cut to 258 and is used as cut: the file counts as
// correct (the dialog opens), and the cut game= is still too long to follow any folder in a
// 259-character command line, so Play reports the name as too long instead of cutting again.
TEST(ProfileValues, ValueOf300CharactersIsCutAndUsed)
{
    DiscSpec disc;
    disc.root = TestDiscRoot();
    disc.autorun = Autorun(GameValue(300), std::string(300, 'b'));
    ASSERT_TRUE(LayOutDisc(disc));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));
    PressButton(dialog, 301);
    std::vector<Box> boxes;
    DWORD code = 0;
    ASSERT_TRUE(CollectBoxesUntilExit(launcher, &boxes, &code));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, SystemText(kErrorFilenameExcedRange));
    EXPECT_EQ(code, 301u);
}

} // namespace
} // namespace e2e
