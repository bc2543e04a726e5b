// End-to-end harness: lays out disc folders in the Wine prefix, starts launcher.exe in them
// and watches it from outside as a user would see it: its startup window, its message boxes,
// the pixels on the screen, the game it starts and its full 32-bit exit code.
//
// Where things are:
//   - discs are laid out under C:\e2e\<name>\ (WorkRoot()), fresh for every scenario;
//   - the launcher runs with C:\e2e\cwd\ as working directory, an empty folder, so it can
//     only find its files through its own module path, as from any other directory;
//   - the game (the demo game, GAME\START.EXE) records how it was started into the file named
//     by CORVANE_GAME_RECORD, which the harness sets for every start, and ends at once;
//   - D: is mapped (by the test's setup, a dosdevices link) to C:\e2e\drive-d\.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/screen_capture_win.h"

namespace e2e
{

// Every wait, multiplied by CORVANE_E2E_TIME_SCALE (default 1): an i686 launcher under
// emulated 32-bit Wine takes a minute to show its window instead of 1-2 s.
DWORD Scaled(DWORD ms);
const DWORD kStartTimeoutMs = Scaled(15000);
const DWORD kExitTimeoutMs = Scaled(10000);

// --- Files built by the project -------------------------------------------------------------

std::string BuildDir();    // the Windows build tree, as a Windows path ending in '\'
std::string SourceDir();   // the repository, as a Windows path ending in '\'
std::string LauncherExe(); // <build>\launcher.exe, or the file CORVANE_LAUNCHER names
std::string GameExe();     // <build>\disc\GAME\START.EXE (the demo game)
std::string RuntimeDll();  // <build>\disc\system\win95\wing32.dll (stand-in runtime)

// --- Folders and files in the prefix --------------------------------------------------------
// Paths are UTF-8 (ASCII for most scenarios).

std::string WorkRoot();        // C:\e2e\  (made on first use)
std::string LauncherWorkDir(); // C:\e2e\cwd\  (made on first use)
std::string DriveDRoot();      // C:\e2e\drive-d\, which D:\ shows

// The system directory that the launcher under test installs into: the 32-bit one
// (SysWOW64) for an i386 launcher beside this 64-bit driver.
std::string LauncherSystemDir();

bool MakeDirs(const std::string& path); // every missing folder on the way; long paths too
bool RemoveTree(const std::string& path);
bool WriteBytes(const std::string& path, const void* data, size_t size);
bool WriteText(const std::string& path, const std::string& text);
bool ReadText(const std::string& path, std::string* text);
bool CopyOne(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);

// "[autorun]" with open= and icon=, then "[CorvaneGame]" with the two keys, as on a real disc.
std::string Autorun(const std::string& game, const std::string& bitmap);

// What goes into a disc folder. The folder is emptied first.
struct DiscSpec {
    std::string root; // Windows path ending in '\'
    bool writeAutorun = true;
    std::string autorun = Autorun("GAME\\START.EXE", "title.bmp");
    std::string launcherName = "launcher.exe";
    bool withGame = true;     // GAME\START.EXE
    bool withRuntime = true;  // system\win95\wing32.dll
    bool withPicture = false; // title.bmp: the demo title picture (RLE8)
};
bool LayOutDisc(const DiscSpec& disc);

// A value under HKEY_CURRENT_USER\key that the programs started while this lives read (the
// Windows version Wine reports, the screen's dots per inch); deleted again at scope end.
struct UserRegistryValue {
    UserRegistryValue(const char* key, const char* name, const char* text);
    UserRegistryValue(const char* key, const char* name, DWORD number);
    UserRegistryValue(const UserRegistryValue&) = delete;
    UserRegistryValue& operator=(const UserRegistryValue&) = delete;
    ~UserRegistryValue();
    HKEY handle = nullptr;
    std::string name;
};

// --- The launcher process -------------------------------------------------------------------

// A started launcher. Ended by force when the scenario leaves it running (a failed
// assertion), so that no window outlives its test.
struct Launcher {
    PROCESS_INFORMATION pi{};
    HANDLE job = nullptr;   // holds the launcher and every process started from it
    std::string recordFile; // what the game writes when the launcher starts it
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;
    ~Launcher();
};

// A UTF-8 string as UTF-16, and back.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// Starts exePath (followed by arguments when given) with LauncherWorkDir() as working
// directory (or workDir when given) and CORVANE_GAME_RECORD naming recordFile (a fresh file
// under WorkRoot() when empty), through CreateProcessW: the paths are UTF-8, so that a folder
// whose name the ANSI code page cannot spell can be given.
bool StartLauncher(Launcher* launcher, const std::string& exePath,
                   const std::string& recordFile = "", const std::string& workDir = "",
                   const std::string& arguments = "");

// How many processes have run in the launcher's job so far: the launcher itself and every
// process it started (the game, another launcher), ended ones included.
DWORD ProcessesStarted(const Launcher& launcher);

// Waits for the process to end; the full exit code. False on timeout.
bool WaitForExit(Launcher& launcher, DWORD timeoutMs, DWORD* exitCode);
bool IsRunning(const Launcher& launcher);
void Kill(Launcher& launcher);

// --- Windows of the launcher ----------------------------------------------------------------

// The visible startup dialog (class CorvaneStartupDialogClass) of the process; null when the
// process ended, showed a message box instead, or the time ran out.
HWND WaitForStartupDialog(const Launcher& launcher, DWORD timeoutMs = kStartTimeoutMs);

// Any window of class CorvaneStartupDialogClass of the process, visible or not.
HWND FindStartupWindow(DWORD pid);

struct Box {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    bool hasOk = false, hasCancel = false, hasRetry = false; // buttons 1, 2, 4
    bool hasIcon = false;
    bool visible = false;
    std::string icon; // BoxIconName, read by WaitForBox once the box is painted
};

// Every message box (top-level "#32770" window) that the process has open now.
std::vector<Box> ListBoxes(DWORD pid);

// Waits until the process shows a visible message box and reads it, its icon included. False
// when the process ended first, or the time ran out.
bool WaitForBox(const Launcher& launcher, Box* box, DWORD timeoutMs = kStartTimeoutMs);

// Presses a button of a box (or of the dialog) as a click would, and waits until a box is
// gone (true) or the time ran out.
void PressButton(HWND window, int id);
bool PressAndWaitGone(const Box& box, int id, DWORD timeoutMs = kExitTimeoutMs);

// Answers every box with OK until the process ends; the boxes in the order they came.
bool CollectBoxesUntilExit(Launcher& launcher, std::vector<Box>* boxes, DWORD* exitCode);

// Which of the system's message-box icons the box shows, judged from its pixels on the
// screen: "error", "warning", "information", "question", or "" when none matches.
std::string BoxIconName(const Box& box);

// Runs a console program (its command line) and collects what it prints on its standard
// output and error together, and its full exit code. "" when it ran and ended, else why not.
std::string RunConsoleProgram(const std::string& commandLine, DWORD* exitCode, std::string* output);

// The system's own text for an error code, as FormatMessageA gives it without inserts.
std::string SystemText(DWORD code);

// --- Geometry and pixels --------------------------------------------------------------------

struct DialogGeometry {
    RECT window{};       // screen coordinates
    RECT client{};       // screen coordinates
    RECT play{}, quit{}; // button window rectangles, screen coordinates
    RECT desktop{};
};
bool ReadGeometry(HWND dialog, DialogGeometry* g);

// --- The game's record ----------------------------------------------------------------------

struct GameRecord {
    std::string command;   // GetCommandLineA of the started game
    std::string directory; // its working directory
    std::string module;    // the file that ran
};
// Waits (briefly) for the game to write its record. False when it never did.
bool ReadGameRecord(const std::string& recordFile, GameRecord* record,
                    DWORD timeoutMs = Scaled(5000));

// The demo title picture as a BMP file.
std::vector<uint8_t> TitlePicture();

std::string Lower(std::string s);

} // namespace e2e
