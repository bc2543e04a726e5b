// The launcher as a user meets it: how each way of ending the dialog ends the program, the
// one-launcher rule, an unusable autorun.inf, and the start of the game.
#include "tests/e2e/scenario.h"

#include <optional>

namespace e2e
{
namespace
{

struct EndingCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    DWORD exitCode;
    bool startsGame;
};

class DialogEnding : public ::testing::TestWithParam<EndingCase>
{
};

// Each of the four commands ends the dialog with its own identifier as exit code; only Play
// and IDOK start the game, with SourceDir + game as its command line.
TEST_P(DialogEnding, ExitCodeIsTheCommandAndOnlyPlayStartsTheGame)
{
    const EndingCase& c = GetParam();
    DiscSpec disc;
    disc.root = TestDiscRoot();
    ASSERT_TRUE(LayOutDisc(disc));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));

    PostMessageA(dialog, c.message, c.wParam, 0);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));
    EXPECT_EQ(code, c.exitCode);

    GameRecord record;
    if (c.startsGame) {
        ASSERT_TRUE(ReadGameRecord(launcher.recordFile, &record));
        EXPECT_EQ(record.command, disc.root + "GAME\\START.EXE"); // byte for byte, no quotes
        EXPECT_EQ(Lower(record.module), Lower(disc.root + "GAME\\START.EXE"));
        // WinExec keeps the launcher's working directory.
        EXPECT_EQ(Lower(record.directory + "\\"), Lower(LauncherWorkDir()));
    } else {
        EXPECT_FALSE(ReadGameRecord(launcher.recordFile, &record, 300));
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, DialogEnding,
                         ::testing::Values(EndingCase{"Quit", WM_COMMAND, 302, 302, false},
                                           EndingCase{"Cancel", WM_COMMAND, IDCANCEL, 2, false},
                                           EndingCase{"Ok", WM_COMMAND, IDOK, 1, true},
                                           EndingCase{"Play", WM_COMMAND, 301, 301, true}),
                         [](const ::testing::TestParamInfo<EndingCase>& info) {
                             return std::string(info.param.name);
                         });

// Keys reach the dialog through its focused button, as typing would: Escape cancels and the
// mnemonic Q chooses Quit.
TEST(Keyboard, EscapeGives2AndQChoosesQuit)
{
    struct KeyCase {
        UINT key;
        WPARAM character;
        DWORD exitCode;
    } cases[] = {{VK_ESCAPE, 0, 2}, {'Q', 'q', 302}};
    for (const KeyCase& c : cases) {
        DiscSpec disc;
        disc.root = TestDiscRoot();
        ASSERT_TRUE(LayOutDisc(disc));
        Launcher launcher;
        HWND dialog = nullptr;
        ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));
        HWND play = GetDlgItem(dialog, 301); // has the focus after WM_INITDIALOG
        PostMessageA(play, WM_KEYDOWN, c.key, 1);
        if (c.character)
            PostMessageA(play, WM_CHAR, c.character, 1);
        PostMessageA(play, WM_KEYUP, c.key, 0xC0000001);
        DWORD code = 0;
        ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code)) << "key " << c.key;
        EXPECT_EQ(code, c.exitCode) << "key " << c.key;
    }
}

// A command with a notification code in the high half of WPARAM is none of the four, even
// with Play's identifier in the low half: the dialog stays open and starts nothing.
TEST(DialogCommands, NotificationInHighHalfEndsNothing)
{
    DiscSpec disc;
    disc.root = TestDiscRoot();
    ASSERT_TRUE(LayOutDisc(disc));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(301, 1), 0);
    PostMessageA(dialog, WM_COMMAND, 303, 0);
    DWORD code = 0;
    EXPECT_FALSE(WaitForExit(launcher, 500, &code));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_TRUE(ListBoxes(launcher.pi.dwProcessId).empty());

    PressButton(dialog, 302);
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));
    EXPECT_EQ(code, 302u);
    EXPECT_EQ(ProcessesStarted(launcher), 1u) << "it started a program";
}

// A window that this driver shows, of the launcher's class: to the one-launcher rule it is a
// launcher's dialog. Where each start takes a minute (the shipped file's emulated tier) it
// stands in for the first launcher. Destroyed at scope end.
struct StandInDialog {
    HWND window = nullptr;
    StandInDialog()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CorvaneStartupDialogClass";
        RegisterClassA(&wc); // once per process; later calls fail harmlessly
        window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100, 100, 80, 60,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~StandInDialog() { DestroyWindow(window); }
};

class SingleInstance : public ::testing::TestWithParam<bool>
{
};

// While one launcher's dialog is open, a second start shows nothing, brings the first in
// front of another program's window, and ends with 1. It reads no file: its own folder has
// no autorun.inf at all. The first is a launcher, or the stand-in above.
TEST_P(SingleInstance, SecondLauncherActivatesTheFirstAndEndsWith1)
{
    const bool firstIsLauncher = GetParam();
    DiscSpec second;
    second.root = TestDiscRoot() + "second\\";
    second.writeAutorun = false;
    ASSERT_TRUE(LayOutDisc(second));

    Launcher one;
    std::optional<StandInDialog> standIn;
    HWND dialog = nullptr;
    if (firstIsLauncher) {
        DiscSpec first;
        first.root = TestDiscRoot() + "first\\";
        ASSERT_TRUE(LayOutDisc(first));
        ASSERT_TRUE(OpenDialog(&one, first.root + "launcher.exe", &dialog));
    } else {
        dialog = standIn.emplace().window;
        ASSERT_NE(dialog, nullptr);
    }
    HWND other = CreateWindowExA(0, "STATIC", "other program", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);

    Launcher two;
    ASSERT_TRUE(StartLauncher(&two, second.root + "launcher.exe"));
    DWORD code = 0;
    bool sawWindow = false;
    MSG msg; // the stand-in is activated through this thread's queue
    for (DWORD waited = 0; waited < kExitTimeoutMs && IsRunning(two); waited += 20) {
        sawWindow = sawWindow || !ListBoxes(two.pi.dwProcessId).empty() ||
                    FindStartupWindow(two.pi.dwProcessId) != nullptr;
        Sleep(20);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    ASSERT_TRUE(WaitForExit(two, kExitTimeoutMs, &code));
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(code, 1u);
    EXPECT_FALSE(sawWindow);

    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetForegroundWindow(), dialog);
    DestroyWindow(other);
    if (firstIsLauncher) {
        PressButton(dialog, 302);
        ASSERT_TRUE(WaitForExit(one, kExitTimeoutMs, &code));
        EXPECT_EQ(code, 302u);
    }
}

INSTANTIATE_TEST_SUITE_P(First, SingleInstance, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Launcher" : "WindowOfItsClass");
                         });

struct BadAutorunCase {
    const char* name;
    bool writeAutorun;
    const char* autorun;
    int errorBoxes;
    DWORD systemCode; // the error the boxes report, or 0 for a file that was read
    const char* told; // then: what the one "Error" box says the file lacks
};

class BadAutorun : public ::testing::TestWithParam<BadAutorunCase>
{
};

// A failed read is told at once in an "Error" box: the system's text when the file cannot be
// read, else what the file lacks; after both reads the "Corvane" box says the file is not
// correct; the dialog never opens; the exit code is
// the class atom. Every box is an ownerless OK box with the error icon, one at a time.
TEST_P(BadAutorun, SystemErrorsThenTheCorvaneBoxAndTheClassAtom)
{
    const BadAutorunCase& c = GetParam();
    DiscSpec disc;
    disc.root = TestDiscRoot();
    disc.writeAutorun = c.writeAutorun;
    disc.autorun = c.autorun;
    ASSERT_TRUE(LayOutDisc(disc));
    Launcher launcher;
    ASSERT_TRUE(StartLauncher(&launcher, disc.root + "launcher.exe"));
    // The first box comes before any dialog, and once the boxes are answered the run ends.
    EXPECT_EQ(WaitForStartupDialog(launcher), nullptr);

    std::vector<Box> boxes;
    DWORD code = 0;
    ASSERT_TRUE(CollectBoxesUntilExit(launcher, &boxes, &code));
    EXPECT_TRUE(IsClassAtom(code)) << std::hex << code;
    ASSERT_EQ(boxes.size(), size_t(c.errorBoxes + 1));
    for (int i = 0; i < c.errorBoxes; ++i) {
        EXPECT_EQ(boxes[i].caption, "Error");
        EXPECT_EQ(boxes[i].text, c.systemCode ? SystemText(c.systemCode) : c.told);
    }
    EXPECT_EQ(boxes.back().caption, "Corvane");
    EXPECT_EQ(boxes.back().text, "Your autorun.inf file is not correct.");
    for (const Box& box : boxes) {
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_TRUE(box.hasOk && !box.hasCancel && !box.hasRetry) << box.text;
        EXPECT_EQ(box.icon, "error") << box.text;
    }
    EXPECT_EQ(ProcessesStarted(launcher), 1u) << "it started a program";
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadAutorun,
    ::testing::Values(
        BadAutorunCase{"MissingFile", false, "", 2, ERROR_FILE_NOT_FOUND, ""},
        BadAutorunCase{"NoCorvaneGameSection", true, "[autorun]\r\nopen=launcher.exe\r\n", 1, 0,
                       "autorun.inf has no [CorvaneGame] section, or it is empty."},
        BadAutorunCase{"EmptyGame", true, "[CorvaneGame]\r\ngame=\r\nbitmap=title.bmp\r\n", 1, 0,
                       "game= in [CorvaneGame] of autorun.inf is empty."},
        BadAutorunCase{"MissingBitmapKey", true, "[CorvaneGame]\r\ngame=GAME\\START.EXE\r\n", 1, 0,
                       "autorun.inf has no bitmap= line in [CorvaneGame]."}),
    [](const ::testing::TestParamInfo<BadAutorunCase>& info) {
        return std::string(info.param.name);
    });

// Play with a game that is not there: an "Error" box with the system's text, which stays on
// screen until it is answered (the dialog's pending quit message does not close it), and the
// exit code stays 301.
TEST(GameStart, MissingGameIsReportedInABoxThatWaitsForTheUser)
{
    DiscSpec disc;
    disc.root = TestDiscRoot();
    disc.withGame = false;
    ASSERT_TRUE(LayOutDisc(disc));
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, disc.root + "launcher.exe", &dialog));
    PressButton(dialog, 301);

    Box box;
    ASSERT_TRUE(WaitForBox(launcher, &box));
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, SystemText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_TRUE(box.hasOk && !box.hasCancel);
    EXPECT_EQ(box.icon, "error");

    DWORD code = 0;
    EXPECT_FALSE(WaitForExit(launcher, 1000, &code)) << "the box went away by itself";
    EXPECT_TRUE(IsWindowVisible(box.window));
    ASSERT_TRUE(PressAndWaitGone(box, IDOK));
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));
    EXPECT_EQ(code, 301u);
}

// In the root of drive D the launcher's directory is "D:\", so game=GAME\START.EXE runs as
// D:\GAME\START.EXE.
TEST(GameStart, LauncherInDriveRootStartsDriveRelativeGame)
{
    DiscSpec disc;
    disc.root = DriveDRoot();
    ASSERT_TRUE(LayOutDisc(disc));
    ASSERT_TRUE(FileExists("D:\\launcher.exe")) << "D: is not mapped to " << DriveDRoot();
    Launcher launcher;
    HWND dialog = nullptr;
    ASSERT_TRUE(OpenDialog(&launcher, "D:\\launcher.exe", &dialog));
    GameRecord record;
    ASSERT_NO_FATAL_FAILURE(PlayAndReadGame(launcher, dialog, &record));
    EXPECT_EQ(record.command, "D:\\GAME\\START.EXE");
    EXPECT_EQ(Lower(record.module), Lower("D:\\GAME\\START.EXE"));
}

} // namespace
} // namespace e2e
