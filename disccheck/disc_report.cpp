// The checker's findings, derived from the facts the Windows side gathered; see disc_report.h.
#include "disccheck/disc_report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "launcher/launch_paths.h"

const char kDiscRoot[] = "D:\\";
const ScreenSize kCheckedScreens[3] = {{640, 480}, {800, 600}, {1024, 768}};

namespace
{

const char kRuntimePath[] = DISC_RUNTIME_FOLDER DISC_RUNTIME_FILE;
const char kLauncherName[] = "launcher.exe";
const char kNoWindow[] = "the launcher shows \"" DISC_BAD_PROFILE_TEXT "\" and ends";

// printf into a string; the texts here are short, longer ones are cut.
std::string Format(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

void Add(std::vector<Finding>* findings, Verdict verdict, const std::string& text)
{
    findings->push_back(Finding{verdict, text});
}

// A value the launcher can use as it stands: there, not empty, not cut.
bool Usable(const ProfileKey& key)
{
    return key.present && !key.value.empty() && key.value.size() <= kValueLimit;
}

// Where a rule's finding stands in the report.
enum class Topic { AutorunFile, AutorunStart, AutoPlay, Picture, Game, Runtime };

// One rule of the checker: the facts it needs, the fault it finds in them, its verdict and
// its finding, which names the fix where the fault has a likely cause. Within a topic the
// rules are tried in order; one that ends its topic stands in for the rest of the topic and
// its OK line, the others add their line. A new rule is one row of kRules. The findings that
// are made per key, per screen or per kind of program (CheckKey, CheckWindow, CheckLauncher,
// CheckGameImage) and the picture's loading steps stay functions of their own.
struct Rule {
    Topic topic;
    bool (*needs)(const DiscFacts&);
    bool (*finds)(const DiscFacts&);
    Verdict verdict;
    bool endsTopic;
    std::string (*message)(const DiscFacts&);
};

const char kNoStart[] = "Windows will not start the launcher when the disc is inserted";
const char kSaveAsBmp[] =
    "save it as a 256-colour BMP file (Paint: Save as, \"256 Color Bitmap\"; README.txt, "
    "\"The title picture\", tells how with other programs)";

// The value a near file gives: value with its program or picture part replaced by other.
std::string WithNear(const std::string& value, const std::string& part, const std::string& other)
{
    const size_t at = value.find(part);
    return at == std::string::npos ? other
                                   : value.substr(0, at) + other + value.substr(at + part.size());
}

// How a rooted value starts, and what to write instead.
std::string RootedText(const char* key, const std::string& value, bool relativeFound,
                       const char* what)
{
    const std::string relative = RootRelative(value);
    const bool drive =
        value.find(':') != std::string::npos && value.find(':') < value.find_first_of("\\/");
    return Format("%s=%s starts with a %s, but the launcher puts the disc's root in front of "
                  "%s itself: write it relative to the root, %s",
                  key, value.c_str(), drive ? "drive" : "backslash", what,
                  relativeFound ? (std::string(key) + "=" + relative).c_str()
                                : "and put the file on the disc");
}

const Rule kRules[] = {
    {Topic::AutorunFile, [](const DiscFacts& f) { return f.autorunFound; },
     [](const DiscFacts& f) { return f.autorunEncoding != TextEncoding::Ansi; }, Verdict::Fail,
     false,
     [](const DiscFacts& f) {
         return Format("autorun.inf: it is saved as %s; save autorun.inf as plain ANSI text "
                       "(Notepad: Save as, Encoding ANSI)",
                       f.autorunEncoding == TextEncoding::Utf16
                           ? "UTF-16 (Unicode) text, which Windows 95 to Me cannot read"
                           : "UTF-8 with a byte-order mark, which Windows 95 to Me read as "
                             "part of its first line");
     }},
    {Topic::AutorunFile, [](const DiscFacts& f) { return !f.autorunFound; },
     [](const DiscFacts& f) { return !f.autorunLookalike.empty(); }, Verdict::Fail, true,
     [](const DiscFacts& f) {
         return Format("autorun.inf: not in the disc folder, but %s is: rename it to autorun.inf "
                       "(Explorer may hide the ending%s)",
                       f.autorunLookalike.c_str(),
                       f.autorunLookalike.rfind(".txt") != std::string::npos
                           ? " .txt that Notepad added"
                           : "");
     }},
    {Topic::AutorunFile, [](const DiscFacts& f) { return !f.autorunFound; },
     [](const DiscFacts&) { return true; }, Verdict::Fail, true,
     [](const DiscFacts&) { return Format("autorun.inf: not in the disc folder; %s", kNoWindow); }},
    {Topic::AutorunFile, [](const DiscFacts& f) { return f.autorunFound; },
     [](const DiscFacts& f) { return !f.gameSection; }, Verdict::Fail, true,
     [](const DiscFacts&) {
         return Format("autorun.inf: no [" DISC_PROFILE_SECTION "] section; %s", kNoWindow);
     }},
    {Topic::AutorunStart, [](const DiscFacts& f) { return f.autorunFound; },
     [](const DiscFacts& f) { return !f.autorunSection; }, Verdict::Warn, true,
     [](const DiscFacts&) {
         return Format("autorun.inf: no [autorun] section; %s (add the section [autorun] with "
                       "the line open=launcher.exe)",
                       kNoStart);
     }},
    {Topic::AutorunStart, [](const DiscFacts& f) { return f.autorunSection; },
     [](const DiscFacts& f) { return !f.open.present || f.open.value.empty(); }, Verdict::Warn,
     true,
     [](const DiscFacts&) {
         return Format("autorun.inf: [autorun] has no open= line; %s (add the line "
                       "open=launcher.exe under [autorun])",
                       kNoStart);
     }},
    {Topic::AutorunStart, [](const DiscFacts& f) { return f.autorunSection; },
     [](const DiscFacts& f) {
         return GameProgramPart(f.open.value).find_first_of("\\/") != std::string::npos;
     },
     Verdict::Warn, true,
     [](const DiscFacts& f) {
         return Format("autorun.inf: open=%s names a program in a subfolder; the launcher must "
                       "lie in the disc root beside autorun.inf",
                       f.open.value.c_str());
     }},
    {Topic::AutorunStart, [](const DiscFacts& f) { return f.autorunSection; },
     [](const DiscFacts& f) { return !f.openTargetFound; }, Verdict::Warn, true,
     [](const DiscFacts& f) {
         return Format("autorun.inf: open=%s, but there is no %s in the disc root; %s",
                       f.open.value.c_str(), GameProgramPart(f.open.value).c_str(), kNoStart);
     }},
    {Topic::AutoPlay, [](const DiscFacts& f) { return f.useAutoPlay.present; },
     [](const DiscFacts& f) {
         return f.useAutoPlay.value.find_first_not_of('0') != std::string::npos;
     },
     Verdict::Warn, false,
     [](const DiscFacts& f) {
         return Format("autorun.inf: UseAutoPlay=%s hides open= from the AutoPlay dialog, which "
                       "then does not offer to start the launcher (remove the line)",
                       f.useAutoPlay.value.c_str());
     }},
    {Topic::AutoPlay, [](const DiscFacts& f) { return f.icon.present && !f.icon.value.empty(); },
     [](const DiscFacts& f) { return !f.iconFound; }, Verdict::Warn, false,
     [](const DiscFacts& f) {
         return Format("autorun.inf: icon=%s, but there is no %s on the disc; Windows shows the "
                       "drive's plain icon",
                       f.icon.value.c_str(), IconFilePart(f.icon.value).c_str());
     }},
    {Topic::Picture, [](const DiscFacts& f) { return !RootRelative(f.bitmap.value).empty(); },
     [](const DiscFacts& f) { return f.pictureFile != PictureFile::Found; }, Verdict::Fail, true,
     [](const DiscFacts& f) {
         return "picture: " +
                RootedText(DISC_BITMAP_KEY, f.bitmap.value, f.bitmapRelativeFound, "the picture");
     }},
    {Topic::Picture, [](const DiscFacts& f) { return f.pictureFile == PictureFile::Missing; },
     [](const DiscFacts& f) { return !f.bitmapNear.empty(); }, Verdict::Fail, true,
     [](const DiscFacts& f) {
         return Format("picture: %s is not in the disc folder, but %s is: write bitmap=%s (or "
                       "rename the file)",
                       f.bitmap.value.c_str(), f.bitmapNear.c_str(), f.bitmapNear.c_str());
     }},
    {Topic::Picture, [](const DiscFacts& f) { return f.pictureFile == PictureFile::Found; },
     [](const DiscFacts& f) { return !f.pictureFormat.empty(); }, Verdict::Fail, true,
     [](const DiscFacts& f) {
         return Format("picture: %s is a %s file, not a BMP: %s", f.bitmap.value.c_str(),
                       f.pictureFormat.c_str(), kSaveAsBmp);
     }},
    {Topic::Game, [](const DiscFacts& f) { return !RootRelative(f.game.value).empty(); },
     [](const DiscFacts& f) { return !f.gameFound; }, Verdict::Fail, true,
     [](const DiscFacts& f) {
         return "game: " +
                RootedText(DISC_GAME_KEY, f.game.value, f.gameRelativeFound, "the program");
     }},
    {Topic::Game, [](const DiscFacts& f) { return !f.gameFound; },
     [](const DiscFacts& f) { return !f.gameNear.empty(); }, Verdict::Fail, true,
     [](const DiscFacts& f) {
         const std::string program = GameProgramPart(f.game.value, f.gameFileLength);
         return Format("game: %s is not in the disc folder, but %s is: write game=%s (or rename "
                       "the file)",
                       program.c_str(), f.gameNear.c_str(),
                       WithNear(f.game.value, program, f.gameNear).c_str());
     }},
    {Topic::Runtime, [](const DiscFacts&) { return true; },
     [](const DiscFacts& f) { return !f.runtimeFound; }, Verdict::Fail, true,
     [](const DiscFacts&) {
         return Format("runtime: %s is not in the disc folder; Play would offer to retry a copy "
                       "that cannot succeed (put the game's own " DISC_RUNTIME_FILE " there)",
                       kRuntimePath);
     }},
    {Topic::Runtime, [](const DiscFacts& f) { return f.runtimeFound; },
     [](const DiscFacts& f) { return !f.runtimeVersion.available; }, Verdict::Fail, true,
     [](const DiscFacts&) {
         return Format("runtime: %s has no readable file version; the launcher would copy it "
                       "over every installed copy, newer ones too",
                       kRuntimePath);
     }},
};

// Adds the findings of the topic's rules that apply; true when one of them ends the topic.
bool ApplyRules(std::vector<Finding>* out, const DiscFacts& f, Topic topic)
{
    for (const Rule& rule : kRules) {
        if (rule.topic != topic || !rule.needs(f) || !rule.finds(f))
            continue;
        Add(out, rule.verdict, rule.message(f));
        if (rule.endsTopic)
            return true;
    }
    return false;
}

// The [CorvaneGame] key's finding: the launcher ends on a missing or empty one and cuts a
// long one.
void CheckKey(std::vector<Finding>* out, const char* name, const ProfileKey& key)
{
    if (!key.present)
        Add(out, Verdict::Fail,
            Format("autorun.inf: [" DISC_PROFILE_SECTION "] has no %s= line; %s", name, kNoWindow));
    else if (key.value.empty())
        Add(out, Verdict::Fail, Format("autorun.inf: %s= is empty; %s", name, kNoWindow));
    else if (key.value.size() > kValueLimit)
        Add(out, Verdict::Fail,
            Format("autorun.inf: %s= has %zu characters; the launcher reads only the first %zu",
                   name, key.value.size(), kValueLimit));
    else
        Add(out, Verdict::Ok, Format("autorun.inf: %s=%s", name, key.value.c_str()));
}

// The [autorun] section only makes Windows start the launcher; without it the disc still
// works when the launcher is started by hand, so its faults are warnings.
void CheckAutorunSection(std::vector<Finding>* out, const DiscFacts& f)
{
    if (!ApplyRules(out, f, Topic::AutorunStart))
        Add(out, Verdict::Ok,
            Format("autorun.inf: [autorun] open=%s starts the launcher when the disc is inserted",
                   f.open.value.c_str()));
    // What Windows Vista and later make of [autorun] besides open=: the drive's icon, and the
    // AutoPlay dialog, which offers to run open= unless UseAutoPlay asks for AutoPlay alone.
    if (f.autorunSection)
        ApplyRules(out, f, Topic::AutoPlay);
}

// How the picture's pixels are stored, in the words of paint programs.
const char* CompressionName(uint32_t compression)
{
    return compression == kBmpRle8 ? "RLE8" : compression == kBmpRle4 ? "RLE4" : "uncompressed";
}

// The picture's findings up to whether it loads; false when it does not.
bool CheckPicture(std::vector<Finding>* out, const DiscFacts& f)
{
    const char* name = f.bitmap.value.c_str();
    const size_t onDisc = strlen(kDiscRoot) + f.bitmap.value.size();
    const char* noPicture = "the launcher would show just the two buttons";
    if (onDisc > kPathLimit) {
        Add(out, Verdict::Fail,
            Format("picture: %s%s would be %zu characters long; the launcher takes paths of up "
                   "to %zu, so %s",
                   kDiscRoot, name, onDisc, kPathLimit, noPicture));
        return false;
    }
    if (onDisc > kOpenFilePathLimit) {
        Add(out, Verdict::Fail,
            Format("picture: %s%s is %zu characters long; Windows opens the picture only "
                   "through paths of up to %zu characters, so %s",
                   kDiscRoot, name, onDisc, kOpenFilePathLimit, noPicture));
        return false;
    }
    if (ApplyRules(out, f, Topic::Picture))
        return false;
    if (f.pictureFile != PictureFile::Found) {
        Add(out, Verdict::Fail,
            Format("picture: %s %s; %s", name,
                   f.pictureFile == PictureFile::Missing ? "is not in the disc folder"
                                                         : "cannot be read",
                   noPicture));
        return false;
    }
    if (f.pictureSize < int64_t(kBmpFileHeaderSize + kBmpCoreHeaderSize)) {
        Add(out, Verdict::Fail,
            Format("picture: %s has only %lld bytes, too few for a BMP file; %s", name,
                   static_cast<long long>(f.pictureSize), noPicture));
        return false;
    }
    if (f.pictureSize > kBmpMaxFileSize) {
        Add(out, Verdict::Fail,
            Format("picture: %s is larger than %d MiB; %s", name, kBmpMaxFileSize >> 20,
                   noPicture));
        return false;
    }
    if (f.pictureRefusal != BmpRefusal::None) {
        Add(out, Verdict::Fail,
            Format("picture: %s cannot be shown: %s", name,
                   PictureRefusalText(f.pictureRefusal, f.pictureBits).c_str()));
        return false;
    }
    if (!f.pictureBuilt) {
        Add(out, Verdict::Fail,
            Format("picture: %s passes every check, but the launcher's loader could not load "
                   "it here (too little memory?)",
                   name));
        return false;
    }
    Add(out, Verdict::Ok,
        Format("picture: %s loads: %d x %d pixels, %u bits per pixel, %s", name, f.picture.width,
               f.picture.height, f.picture.bitCount, CompressionName(f.picture.compression)));
    if (f.pictureColours > kExactColours)
        Add(out, Verdict::Warn,
            Format("picture: %s uses %u colours; a 256-colour display shows only %u of them "
                   "exactly and the rest in the nearest ones (reduce the picture to %u colours)",
                   name, f.pictureColours, kExactColours, kExactColours));
    if (f.pictureBareRow >= 0)
        Add(out, Verdict::Warn,
            Format("picture: %s's %s data writes the empty row at y = %d (0 is the top row) as a "
                   "bare end of line; the launcher passes over it and shows the rows above one "
                   "row lower than other programs do (write the empty row as a run of colour 0)",
                   name, CompressionName(f.picture.compression), f.pictureBareRow));
    return true;
}

// The window's size and place on each checked screen, with the picture drawn at the scale the
// launcher takes there (the largest up to this screen's own at which the window fits), and the
// largest picture that fits. Not fitting a small screen is a warning; not fitting even the
// largest puts the buttons out of reach: a failure.
void CheckWindow(std::vector<Finding>* out, const DiscFacts& f)
{
    if (!f.dialogMeasured) {
        Add(out, Verdict::Warn,
            "window: the launcher's dialog could not be created here, so its size is unknown");
        return;
    }
    const size_t screens = sizeof kCheckedScreens / sizeof kCheckedScreens[0];
    for (size_t i = 0; i < screens; ++i) {
        const ScreenSize& s = kCheckedScreens[i];
        const LayoutRect desktop = {0, 0, s.width, s.height};
        int32_t scale = 1;
        const StartupLayout l =
            LayOutScaledPicture(desktop, desktop, f.window, f.client, f.button, f.picture.width,
                                f.picture.height, f.pictureScale, &scale);
        const PictureSize largest = LargestFittingPicture(desktop, f.window, f.client, f.button);
        const std::string drawn = scale > 1 ? Format("picture at %d x %d, ", scale, scale) : "";
        const std::string room =
            largest.width > 0 && largest.height > 0
                ? Format("pictures up to %d x %d fit", largest.width, largest.height)
                : std::string("no picture fits");
        std::string text =
            Format("window on %d x %d: %s%d x %d at (%d, %d), ", s.width, s.height, drawn.c_str(),
                   l.windowWidth, l.windowHeight, l.windowX, l.windowY);
        if (WindowFits(l, s)) {
            Add(out, Verdict::Ok, text + "fits; " + room);
            continue;
        }
        const bool last = i + 1 == screens;
        Add(out, last ? Verdict::Fail : Verdict::Warn,
            text + "does not fit the screen; " + room +
                (last ? ", which keeps Play and Quit on screen" : ""));
    }
}

// Whether the launcher's file is a Windows GUI program for 32-bit or 64-bit x86.
bool LauncherRuns(const DiscFacts& f)
{
    const ProgramKind kind = f.launcherImage.kind;
    return f.launcherFound && (kind == ProgramKind::Program || kind == ProgramKind::Only64Bit) &&
           f.launcherImage.subsystem == kSubsystemWindowsGui;
}

// The launcher's file: whether Windows can start it, and on which Windows. Its machine decides
// which games it starts (the game's findings).
void CheckLauncher(std::vector<Finding>* out, const DiscFacts& f)
{
    const char* name = f.launcherName.c_str();
    const ProgramImage& image = f.launcherImage;
    if (!f.launcherFound) {
        Add(out, Verdict::Fail,
            Format("launcher: %s is not in the disc root; nothing would show the title picture "
                   "or start the game",
                   name));
        return;
    }
    if (LauncherRuns(f) && image.kind == ProgramKind::Program) {
        Add(out, Verdict::Ok, Format("launcher: %s is a 32-bit x86 Windows GUI program", name));
        return;
    }
    if (LauncherRuns(f)) {
        Add(out, Verdict::Warn,
            Format("launcher: %s is a 64-bit x86 Windows GUI program; it does not run on 32-bit "
                   "Windows (the shipped 32-bit launcher, preset win32, runs on both)",
                   name));
        return;
    }
    char buffer[32];
    std::string what;
    switch (image.kind) {
    case ProgramKind::Program:
    case ProgramKind::Only64Bit:
        what = "is a Windows console program";
        break;
    case ProgramKind::NotMz:
        what = "has no program header (MZ)";
        break;
    case ProgramKind::Truncated:
        what = "ends inside its program headers (a damaged copy?)";
        break;
    case ProgramKind::NotPe:
        what = "is a DOS or 16-bit program";
        break;
    case ProgramKind::WrongMachine:
        what = Format("is a %s program", MachineName(image.machine, buffer, sizeof buffer));
        break;
    case ProgramKind::Library:
        what = "is a library (DLL)";
        break;
    case ProgramKind::NotWindows:
        what = Format("is a program for subsystem %u", unsigned(image.subsystem));
        break;
    }
    Add(out, Verdict::Fail,
        Format("launcher: %s is not a Windows GUI program for x86: it %s", name, what.c_str()));
}

// What kind of program the game's file is, judged against the machine of the disc's launcher.
void CheckGameImage(std::vector<Finding>* out, const DiscFacts& f, const std::string& program)
{
    const char* expected =
        LauncherMachine(f) == kMachineAmd64 ? "32-bit or 64-bit x86" : "32-bit x86";
    char found[32];
    const char* name = program.c_str();
    const char* added = f.gameAddedExe ? " (.exe added)" : "";
    const char* subsystem = f.gameImage.subsystem == kSubsystemWindowsGui ? "GUI" : "console";
    switch (f.gameImage.kind) {
    case ProgramKind::Program:
        Add(out, Verdict::Ok,
            Format("game: %s%s is a %s Windows %s program", name, added,
                   MachineName(f.gameImage.machine, found, sizeof found), subsystem));
        return;
    case ProgramKind::Only64Bit:
        Add(out, Verdict::Warn,
            Format("game: %s%s is a 64-bit x86 Windows %s program; 64-bit Windows starts it "
                   "from the launcher, 32-bit Windows cannot",
                   name, added, subsystem));
        return;
    case ProgramKind::NotMz:
        Add(out, Verdict::Fail, Format("game: %s is not a Windows program", name));
        return;
    case ProgramKind::Truncated:
        Add(out, Verdict::Fail,
            Format("game: %s ends inside its program headers (a damaged copy?)", name));
        return;
    case ProgramKind::NotPe:
        Add(out, Verdict::Fail,
            Format("game: %s is a DOS or 16-bit program, not a %s Windows program", name,
                   expected));
        return;
    case ProgramKind::WrongMachine:
        Add(out, Verdict::Fail,
            Format("game: %s is a %s program; the launcher starts %s Windows programs", name,
                   MachineName(f.gameImage.machine, found, sizeof found), expected));
        return;
    case ProgramKind::Library:
        Add(out, Verdict::Fail, Format("game: %s is a library (DLL), not a program", name));
        return;
    case ProgramKind::NotWindows:
        Add(out, Verdict::Fail,
            Format("game: %s is not a Windows GUI or console program (subsystem %u)", name,
                   unsigned(f.gameImage.subsystem)));
        return;
    }
}

// The game's program part, its kind and the command line the launcher will run from D:\.
void CheckGame(std::vector<Finding>* out, const DiscFacts& f)
{
    char commandLine[kPathLimit + 1];
    if (!BuildGameCommandLine(commandLine, sizeof commandLine, kDiscRoot, f.game.value.c_str(),
                              f.gameFileLength)) {
        Add(out, Verdict::Fail,
            Format("game: the command line %s%s would be %zu characters long; the launcher "
                   "takes up to %zu and reports the file name as too long",
                   kDiscRoot, f.game.value.c_str(), strlen(kDiscRoot) + f.game.value.size(),
                   kPathLimit));
        return;
    }
    const std::string program = GameProgramPart(f.game.value, f.gameFileLength);
    if (program.empty()) {
        Add(out, Verdict::Fail, Format("game: game=%s names no program", f.game.value.c_str()));
        return;
    }
    if (ApplyRules(out, f, Topic::Game))
        return;
    if (!f.gameFound) {
        Add(out, Verdict::Fail,
            Format("game: %s is not in the disc folder; Play would show an error instead of "
                   "starting the game (put the game's program there, or name it in game=)",
                   program.c_str()));
        return;
    }
    CheckGameImage(out, f, program);
    Add(out, Verdict::Ok, Format("game: command line (disc in drive D:): %s", commandLine));
    // Blanks in the program's name without quotes: the launcher finds the program by its file,
    // but quotes say plainly where its name ends.
    const char* rest = f.game.value.c_str() + f.gameFileLength;
    if (f.gameFileLength > 0 && program.find_first_of(" \t") != std::string::npos && *rest != '"' &&
        *rest != '\0')
        Add(out, Verdict::Ok,
            Format("game: game=%s works; game=\"%s\"%s says plainly where the program's name "
                   "ends",
                   f.game.value.c_str(), program.c_str(), rest));
}

// The disc's wing32.dll: without it, or without a version, Play cannot do its job.
void CheckRuntime(std::vector<Finding>* out, const DiscFacts& f)
{
    if (ApplyRules(out, f, Topic::Runtime))
        return;
    const FileVersion& v = f.runtimeVersion;
    Add(out, Verdict::Ok,
        Format("runtime: %s, file version %u.%u.%u.%u", kRuntimePath, v.ms >> 16, v.ms & 0xFFFF,
               v.ls >> 16, v.ls & 0xFFFF));
}

// One line for the paths that fit: the longest one the launcher forms on the disc.
void CheckPathLengths(std::vector<Finding>* out, const DiscFacts& f)
{
    size_t longest = strlen(kDiscRoot) + strlen(kRuntimePath);
    const size_t profile = strlen(kDiscRoot) + strlen(DISC_PROFILE_FILE);
    const size_t picture = strlen(kDiscRoot) + f.bitmap.value.size();
    char commandLine[kPathLimit + 1];
    BuildGameCommandLine(commandLine, sizeof commandLine, kDiscRoot, f.game.value.c_str(),
                         f.gameFileLength);
    const size_t game = strlen(commandLine);
    for (size_t length : {profile, picture, game})
        if (length > longest)
            longest = length;
    Add(out, Verdict::Ok,
        Format("paths: the longest path the launcher forms on the disc has %zu characters "
               "(at most %zu)",
               longest, kPathLimit));
}

// Whether any finding says the disc will not work.
bool HasFailure(const std::vector<Finding>& findings)
{
    for (const Finding& finding : findings)
        if (finding.verdict == Verdict::Fail)
            return true;
    return false;
}

} // namespace

DiscFacts EmptyFacts()
{
    DiscFacts f = {};
    f.launcherName = kLauncherName;
    f.launcherImage = ProgramImage{ProgramKind::NotMz, 0, 0};
    f.pictureFile = PictureFile::Missing;
    f.pictureRefusal = BmpRefusal::NotBmp;
    f.pictureBareRow = -1;
    f.gameImage = ProgramImage{ProgramKind::NotMz, 0, 0};
    f.runtimeVersion = FileVersion{false, 0, 0};
    return f;
}

std::string LauncherFileName(const ProfileKey& open)
{
    const std::string program = GameProgramPart(open.value);
    if (!open.present || program.empty() || program.find_first_of("\\/") != std::string::npos)
        return kLauncherName;
    return program;
}

std::string IconFilePart(const std::string& icon)
{
    const size_t comma = icon.rfind(',');
    if (comma == std::string::npos)
        return icon;
    const size_t index = icon.find_first_not_of(" -", comma + 1);
    if (index == std::string::npos ||
        icon.find_first_not_of("0123456789 ", index) != std::string::npos)
        return icon;
    return icon.substr(0, icon.find_last_not_of(' ', comma - 1) + 1);
}

uint16_t LauncherMachine(const DiscFacts& f)
{
    return LauncherRuns(f) ? f.launcherImage.machine : kMachineI386;
}

std::vector<Finding> CheckDisc(const DiscFacts& f)
{
    std::vector<Finding> out;
    if (f.autorunFound)
        Add(&out, Verdict::Ok, "autorun.inf: found");
    if (!ApplyRules(&out, f, Topic::AutorunFile)) {
        CheckKey(&out, DISC_GAME_KEY, f.game);
        CheckKey(&out, DISC_BITMAP_KEY, f.bitmap);
    }
    if (f.autorunFound)
        CheckAutorunSection(&out, f);
    CheckLauncher(&out, f);

    if (f.autorunFound && Usable(f.bitmap) && CheckPicture(&out, f))
        CheckWindow(&out, f);
    if (f.autorunFound && Usable(f.game))
        CheckGame(&out, f);
    CheckRuntime(&out, f);
    if (!HasFailure(out))
        CheckPathLengths(&out, f);
    return out;
}

int ExitCodeFor(const std::vector<Finding>& findings)
{
    return HasFailure(findings) ? kExitBroken : kExitWorks;
}

std::string FormatFinding(const Finding& finding)
{
    const char* tag = finding.verdict == Verdict::Ok     ? "OK   "
                      : finding.verdict == Verdict::Warn ? "WARN "
                                                         : "FAIL ";
    return tag + finding.text;
}

std::string SummaryLine(const std::vector<Finding>& findings)
{
    size_t failures = 0, warnings = 0;
    for (const Finding& finding : findings) {
        failures += finding.verdict == Verdict::Fail;
        warnings += finding.verdict == Verdict::Warn;
    }
    std::string warned =
        warnings == 0 ? "" : Format("%zu warning%s", warnings, warnings == 1 ? "" : "s");
    if (failures == 0)
        return warnings == 0 ? "RESULT: the disc will work"
                             : "RESULT: the disc will work, with " + warned;
    return Format("RESULT: the disc will NOT work: %zu problem%s", failures,
                  failures == 1 ? "" : "s") +
           (warnings ? ", " + warned : "");
}

std::string PictureRefusalText(BmpRefusal refusal, uint16_t bits)
{
    switch (refusal) {
    case BmpRefusal::None:
        return "it can be shown";
    case BmpRefusal::NotBmp:
        return "it is not a BMP file (it does not begin with \"BM\")";
    case BmpRefusal::TruncatedHeader:
        return "the file ends inside its header";
    case BmpRefusal::HeaderSize:
        return "its header is of a size no BMP variant uses";
    case BmpRefusal::BitDepth:
        return Format("%u-bit pictures are not supported; save it with a 256-colour palette",
                      unsigned(bits));
    case BmpRefusal::RleDepth:
        return "its run-length compression does not match its bits per pixel; save it as 8-bit "
               "RLE8 or uncompressed";
    case BmpRefusal::RleTopDown:
        return "it is run-length compressed and stored top row first, which the format does "
               "not allow; save it bottom-up";
    case BmpRefusal::Compression:
        return "its compression is not supported; save it uncompressed or as 8-bit RLE8";
    case BmpRefusal::EmptySize:
        return "it has no pixels (a width or height of 0)";
    case BmpRefusal::TooLarge:
        return Format("it is too large (at most %d pixels a side and %u MiB of pixels)",
                      kBmpMaxSide, kBmpMaxArea >> 20);
    case BmpRefusal::ColorTable:
        return "its colour table is missing or runs past the end of the file";
    case BmpRefusal::PixelData:
        return "the file ends before its last row of pixels (a truncated copy?)";
    }
    return "it is refused";
}

uint16_t PictureBitCount(const uint8_t* contents, uint32_t infoLength)
{
    if (infoLength < 4)
        return 0;
    const uint32_t headerSize = uint32_t(contents[0]) | uint32_t(contents[1]) << 8 |
                                uint32_t(contents[2]) << 16 | uint32_t(contents[3]) << 24;
    const uint32_t at = headerSize == kBmpCoreHeaderSize ? 10 : 14;
    if (infoLength < at + 2)
        return 0;
    return uint16_t(contents[at] | contents[at + 1] << 8);
}

uint32_t CountPictureColours(const BmpLayout& layout, const uint8_t* contents,
                             const uint8_t* packed)
{
    const uint8_t* rows = packed + kBmpInfoHeaderSize + 2 * kBmpPackedColors;
    bool used[kBmpPackedColors] = {};
    for (int32_t y = 0; y < layout.height; ++y)
        for (int32_t x = 0; x < layout.width; ++x)
            used[rows[size_t(y) * size_t(layout.stride) + size_t(x)]] = true;

    BmpColor colors[kBmpPackedColors];
    ReadBmpColors(layout, contents, colors);
    std::vector<uint32_t> shown;
    for (uint32_t i = 0; i < kBmpPackedColors; ++i)
        if (used[i])
            shown.push_back(uint32_t(colors[i].red) << 16 | uint32_t(colors[i].green) << 8 |
                            colors[i].blue);
    std::sort(shown.begin(), shown.end());
    return uint32_t(std::unique(shown.begin(), shown.end()) - shown.begin());
}

int32_t FirstBareEndOfLineRow(const BmpLayout& layout, const uint8_t* contents)
{
    std::vector<uint8_t> rows(layout.area);
    return ExpandRleFindingBareRow(layout, contents, rows.data());
}

std::string GameProgramPart(const std::string& game, size_t fileLength)
{
    size_t length = 0;
    const char* rest = nullptr;
    const char* program = GameProgram(game.c_str(), fileLength, &length, &rest);
    return std::string(program, length);
}

bool WindowFits(const StartupLayout& l, const ScreenSize& s)
{
    return WindowLiesWithin(l, {0, 0, s.width, s.height});
}

TextEncoding ProfileEncoding(const uint8_t* head, size_t size)
{
    if (size >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        return TextEncoding::Utf8Mark;
    // A byte-order mark either way, or text whose first character has a zero byte.
    if (size >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) ||
                      (head[0] == 0xFE && head[1] == 0xFF) || head[0] == 0 || head[1] == 0))
        return TextEncoding::Utf16;
    return TextEncoding::Ansi;
}

const char* OtherPictureFormat(const uint8_t* head, size_t size)
{
    static const struct {
        const char* name;
        size_t length;
        uint8_t bytes[4];
    } kFormats[] = {
        {"PNG", 4, {0x89, 'P', 'N', 'G'}}, {"JPEG", 3, {0xFF, 0xD8, 0xFF}},
        {"GIF", 4, {'G', 'I', 'F', '8'}},  {"TIFF", 4, {'I', 'I', 42, 0}},
        {"TIFF", 4, {'M', 'M', 0, 42}},    {"ICO", 4, {0, 0, 1, 0}},
    };
    for (const auto& format : kFormats)
        if (size >= format.length && memcmp(head, format.bytes, format.length) == 0)
            return format.name;
    return nullptr;
}

bool OneEditApart(const std::string& a, const std::string& b)
{
    auto same = [](char x, char y) {
        return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
    };
    const std::string& longer = a.size() >= b.size() ? a : b;
    const std::string& shorter = a.size() >= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1)
        return false;
    size_t head = 0;
    while (head < shorter.size() && same(longer[head], shorter[head]))
        ++head;
    if (head == longer.size())
        return false; // the same name
    auto sameFrom = [&](size_t i, size_t j) {
        for (; i < longer.size() && j < shorter.size(); ++i, ++j)
            if (!same(longer[i], shorter[j]))
                return false;
        return i == longer.size() && j == shorter.size();
    };
    if (longer.size() != shorter.size())
        return sameFrom(head + 1, head);   // one character added
    return sameFrom(head + 1, head + 1) || // one character changed
           (head + 1 < longer.size() && same(longer[head], shorter[head + 1]) &&
            same(longer[head + 1], shorter[head]) && sameFrom(head + 2, head + 2));
}

std::string RootRelative(const std::string& value)
{
    const size_t quote = !value.empty() && value[0] == '"' ? 1 : 0;
    size_t at = quote;
    const char first = at < value.size() ? value[at] : '\0';
    const bool drive = at + 1 < value.size() && value[at + 1] == ':' &&
                       ((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z'));
    if (drive)
        at += 2;
    else if (first != '\\' && first != '/')
        return "";
    while (at < value.size() && (value[at] == '\\' || value[at] == '/'))
        ++at;
    return value.substr(0, quote) + value.substr(at);
}

std::vector<Finding> CheckPictureWindow(const DiscFacts& f)
{
    std::vector<Finding> out;
    CheckWindow(&out, f);
    return out;
}
