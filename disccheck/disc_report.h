// What the checker found on a disc folder, and the findings it reports: one line each, with
// a verdict, in the order a disc author fixes things.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/bmp_core.h"
#include "common/disc_names.h"
#include "disccheck/program_image.h"
#include "installer/version_decision.h"
#include "startup/layout.h"

// Where the launcher finds its files on a pressed disc: the root of the CD-ROM drive. Path
// lengths and the game's command line are judged for this root.
extern const char kDiscRoot[]; // "D:\"

// The picture is opened through a call whose path buffer holds 127 characters; the value and
// path limits are the disc's (common/disc_names.h).
constexpr size_t kOpenFilePathLimit = 127;

// Colours a 256-colour display can show exactly: its 256 entries less the 20 that Windows
// keeps for its own static colours.
constexpr uint32_t kExactColours = 236;

enum class Verdict { Ok, Warn, Fail };

struct Finding {
    Verdict verdict;
    std::string text;
};

constexpr int kExitWorks = 0;
constexpr int kExitBroken = 1;
constexpr int kExitUsage = 2;

// One key of [CorvaneGame] as read with a buffer larger than the launcher's.
struct ProfileKey {
    bool present;      // the key is in the section (possibly empty)
    std::string value; // its whole value
};

enum class PictureFile { Found, Missing, Unreadable };

// How autorun.inf's text is stored, as its first bytes tell.
enum class TextEncoding { Ansi, Utf8Mark, Utf16 };

// Everything the Windows side gathers; the findings are derived from it alone.
struct DiscFacts {
    // autorun.inf
    bool autorunFound;
    TextEncoding autorunEncoding;
    std::string autorunLookalike; // autorun.inf.txt or autorun.ini beside no autorun.inf
    bool gameSection;             // [CorvaneGame]
    ProfileKey game, bitmap;
    bool autorunSection; // [autorun]
    ProfileKey open;
    bool openTargetFound; // the program that open= names is a file in the disc folder
    ProfileKey icon;      // [autorun] icon=
    bool iconFound;       // the file icon= names is a file in the disc folder
    ProfileKey useAutoPlay;

    // the launcher: the program open= names when it lies in the disc root, else launcher.exe
    std::string launcherName;
    bool launcherFound;         // a file (not a folder) in the disc folder
    ProgramImage launcherImage; // judged for 32-bit x86, the shipped launcher's machine

    // the picture named by bitmap=
    PictureFile pictureFile;
    int64_t pictureSize;
    BmpRefusal pictureRefusal; // as the loader's checks judge the file's bytes
    uint16_t pictureBits;      // bits per pixel in its header, 0 when not there
    BmpLayout picture;         // when accepted
    bool pictureBuilt;         // the launcher's own loader made a picture of it
    uint32_t pictureColours;   // distinct colours its pixels show, when built
    int32_t pictureBareRow;    // see FirstBareEndOfLineRow; -1 when none
    std::string pictureFormat; // see OtherPictureFormat; empty for none of them

    // the launcher's dialog as created on this computer
    bool dialogMeasured;
    LayoutRect window, client, button;
    int32_t pictureScale; // the picture's scale that this screen's dpi asks for (0 counts as 1)

    // the program part of game=
    size_t gameFileLength;  // the leading part that names a file (ProgramFileLength), 0 if none
    bool gameFound;         // a file (not a folder) in the disc folder
    bool gameAddedExe;      // found only with ".exe" added, as the system adds it
    ProgramImage gameImage; // judged for LauncherMachine

    // Near misses, for findings that name the fix: the file one edit away from a missing
    // bitmap= or game= file in its folder (as the value would name it, see OneEditApart), and
    // whether a value that starts with a drive or a backslash names a file on the disc when
    // written relative to its root (see RootRelative).
    std::string bitmapNear, gameNear;
    bool bitmapRelativeFound, gameRelativeFound;

    // system\win95\wing32.dll
    bool runtimeFound;
    FileVersion runtimeVersion;
};

// Facts of a disc on which nothing has been found yet.
DiscFacts EmptyFacts();

// The file that [autorun] open= makes Windows start from the disc root, which the checker
// takes for the launcher: the program open= names when it lies in the root, else the
// launcher's own name, launcher.exe.
std::string LauncherFileName(const ProfileKey& open);

// The machine whose programs the disc's launcher starts (see CheckProgramImage): its own when
// it is a Windows GUI program for 32-bit or 64-bit x86, else the shipped launcher's, 32-bit x86.
uint16_t LauncherMachine(const DiscFacts& facts);

// The findings for a disc, in report order.
std::vector<Finding> CheckDisc(const DiscFacts& facts);

// 1 when any finding fails, else 0.
int ExitCodeFor(const std::vector<Finding>& findings);

// "OK   text", "WARN text", "FAIL text".
std::string FormatFinding(const Finding& finding);

// The last line: whether the disc will work, with the counts of problems and warnings.
std::string SummaryLine(const std::vector<Finding>& findings);

// Why a picture cannot be shown, for a disc author; bits is the file's bits per pixel.
std::string PictureRefusalText(BmpRefusal refusal, uint16_t bits);

// Bits per pixel in a BMP info header of infoLength bytes (after the 14-byte file header);
// 0 when the header is not there.
uint16_t PictureBitCount(const uint8_t* contents, uint32_t infoLength);

// The distinct colours the pixels of an accepted picture show as the launcher paints them,
// counted in the packed block that UnpackDib made of it: colours, not table entries (two
// entries of one colour count once), pixels beyond the table in black and pixels a
// run-length stream leaves out in entry 0's colour.
uint32_t CountPictureColours(const BmpLayout& layout, const uint8_t* contents,
                             const uint8_t* packed);

// The file of an [autorun] icon= value: what comes before a trailing ",index".
std::string IconFilePart(const std::string& icon);

// The first row, as y with 0 the top row, that an accepted picture's run-length stream writes
// as an empty row with a bare end of line, as the launcher's own expansion finds it
// (ExpandRleFindingBareRow). -1 when there is none.
int32_t FirstBareEndOfLineRow(const BmpLayout& layout, const uint8_t* contents);

// The program part of a game= value, as the launcher splits it (its leading fileLength
// characters when they name a file: see BuildGameCommandLine).
std::string GameProgramPart(const std::string& game, size_t fileLength = 0);

// How a profile file's text is stored: UTF-16 (with or without its byte-order mark), UTF-8
// with a byte-order mark, or plain 8-bit text, judged by its first bytes.
TextEncoding ProfileEncoding(const uint8_t* head, size_t size);

// The picture format other than BMP that a file's first bytes show: "PNG", "JPEG", "GIF",
// "TIFF" or "ICO"; nullptr for none of them.
const char* OtherPictureFormat(const uint8_t* head, size_t size);

// Whether two file names, compared without regard to case, differ by one edit: one character
// added, left out or changed, or two neighbours swapped.
bool OneEditApart(const std::string& a, const std::string& b);

// A value that starts with a drive ("D:") or a backslash written relative to the disc's root
// (a leading quote kept): "D:\GAME\START.EXE" gives "GAME\START.EXE"; "" for a relative value.
std::string RootRelative(const std::string& value);

// The screens the window is laid out for, and whether a laid-out window lies inside one.
struct ScreenSize {
    int32_t width, height;
};
extern const ScreenSize kCheckedScreens[3]; // 640 x 480, 800 x 600, 1024 x 768
bool WindowFits(const StartupLayout& layout, const ScreenSize& screen);

// The findings on the window alone: its size and place on each checked screen for the
// picture's size and the measured dialog (the same lines CheckDisc gives).
std::vector<Finding> CheckPictureWindow(const DiscFacts& facts);
