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

const char kRuntimePath[] = "system\\win95\\wing32.dll";
const char kProfileName[] = "autorun.inf";
const char kLauncherName[] = "launcher.exe";
const char kNoWindow[] = "the launcher shows \"Your autorun.inf file is not correct.\" and ends";

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

// The [CorvaneGame] key's finding: the launcher ends on a missing or empty one and cuts a
// long one.
void CheckKey(std::vector<Finding>* out, const char* name, const ProfileKey& key)
{
    if (!key.present)
        Add(out, Verdict::Fail,
            Format("autorun.inf: [CorvaneGame] has no %s= line; %s", name, kNoWindow));
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
    const char* noStart = "Windows will not start the launcher when the disc is inserted";
    if (!f.autorunSection) {
        Add(out, Verdict::Warn, Format("autorun.inf: no [autorun] section; %s", noStart));
        return;
    }
    if (!f.open.present || f.open.value.empty()) {
        Add(out, Verdict::Warn, Format("autorun.inf: [autorun] has no open= line; %s", noStart));
        return;
    }
    const std::string program = GameProgramPart(f.open.value);
    if (program.find_first_of("\\/") != std::string::npos)
        Add(out, Verdict::Warn,
            Format("autorun.inf: open=%s names a program in a subfolder; the launcher must lie "
                   "in the disc root beside autorun.inf",
                   f.open.value.c_str()));
    else if (!f.openTargetFound)
        Add(out, Verdict::Warn,
            Format("autorun.inf: open=%s, but there is no %s in the disc root; %s",
                   f.open.value.c_str(), program.c_str(), noStart));
    else
        Add(out, Verdict::Ok,
            Format("autorun.inf: [autorun] open=%s starts the launcher when the disc is inserted",
                   f.open.value.c_str()));
}

// What Windows Vista and later make of [autorun] besides open=: the drive's icon, and the
// AutoPlay dialog, which offers to run open= unless UseAutoPlay asks for AutoPlay alone.
void CheckAutoPlayKeys(std::vector<Finding>* out, const DiscFacts& f)
{
    const std::string& use = f.useAutoPlay.value;
    if (f.useAutoPlay.present && !use.empty() && use.find_first_not_of('0') != std::string::npos)
        Add(out, Verdict::Warn,
            Format("autorun.inf: UseAutoPlay=%s hides open= from the AutoPlay dialog, which then "
                   "does not offer to start the launcher (remove the line)",
                   use.c_str()));
    if (f.icon.present && !f.icon.value.empty() && !f.iconFound)
        Add(out, Verdict::Warn,
            Format("autorun.inf: icon=%s, but there is no %s on the disc; Windows shows the "
                   "drive's plain icon",
                   f.icon.value.c_str(), IconFilePart(f.icon.value).c_str()));
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

// The window's size and place on each checked screen. Not fitting a small screen is a
// warning; not fitting even the largest puts the buttons out of reach: a failure.
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
        const StartupLayout l = LayOutStartupWindow(desktop, f.window, f.client, f.button,
                                                    f.picture.width, f.picture.height);
        std::string text = Format("window on %d x %d: %d x %d at (%d, %d), ", s.width, s.height,
                                  l.windowWidth, l.windowHeight, l.windowX, l.windowY);
        if (WindowFits(l, s)) {
            Add(out, Verdict::Ok, text + "fits");
            continue;
        }
        text += "does not fit the screen";
        const bool last = i + 1 == screens;
        Add(out, last ? Verdict::Fail : Verdict::Warn,
            last ? text + "; a smaller picture keeps Play and Quit on screen" : text);
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
                              f.gameWhole)) {
        Add(out, Verdict::Fail,
            Format("game: the command line %s%s would be %zu characters long; the launcher "
                   "takes up to %zu and reports the file name as too long",
                   kDiscRoot, f.game.value.c_str(), strlen(kDiscRoot) + f.game.value.size(),
                   kPathLimit));
        return;
    }
    const std::string program = GameProgramPart(f.game.value, f.gameWhole);
    if (program.empty()) {
        Add(out, Verdict::Fail, Format("game: game=%s names no program", f.game.value.c_str()));
        return;
    }
    if (!f.gameFound) {
        Add(out, Verdict::Fail,
            Format("game: %s is not in the disc folder; Play would show an error instead of "
                   "starting the game",
                   program.c_str()));
        return;
    }
    CheckGameImage(out, f, program);
    Add(out, Verdict::Ok, Format("game: command line (disc in drive D:): %s", commandLine));
}

// The disc's wing32.dll: without it, or without a version, Play cannot do its job.
void CheckRuntime(std::vector<Finding>* out, const DiscFacts& f)
{
    if (!f.runtimeFound) {
        Add(out, Verdict::Fail,
            Format("runtime: %s is not in the disc folder; Play would offer to retry a copy "
                   "that cannot succeed",
                   kRuntimePath));
        return;
    }
    if (!f.runtimeVersion.available) {
        Add(out, Verdict::Fail,
            Format("runtime: %s has no readable file version; the launcher would copy it over "
                   "every installed copy, newer ones too",
                   kRuntimePath));
        return;
    }
    const FileVersion& v = f.runtimeVersion;
    Add(out, Verdict::Ok,
        Format("runtime: %s, file version %u.%u.%u.%u", kRuntimePath, v.ms >> 16, v.ms & 0xFFFF,
               v.ls >> 16, v.ls & 0xFFFF));
}

// One line for the paths that fit: the longest one the launcher forms on the disc.
void CheckPathLengths(std::vector<Finding>* out, const DiscFacts& f)
{
    size_t longest = strlen(kDiscRoot) + strlen(kRuntimePath);
    const size_t profile = strlen(kDiscRoot) + strlen(kProfileName);
    const size_t picture = strlen(kDiscRoot) + f.bitmap.value.size();
    char commandLine[kPathLimit + 1];
    BuildGameCommandLine(commandLine, sizeof commandLine, kDiscRoot, f.game.value.c_str(),
                         f.gameWhole);
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
    if (!f.autorunFound) {
        Add(&out, Verdict::Fail, Format("autorun.inf: not in the disc folder; %s", kNoWindow));
    } else if (!f.gameSection) {
        Add(&out, Verdict::Ok, "autorun.inf: found");
        Add(&out, Verdict::Fail, Format("autorun.inf: no [CorvaneGame] section; %s", kNoWindow));
    } else {
        Add(&out, Verdict::Ok, "autorun.inf: found");
        CheckKey(&out, "game", f.game);
        CheckKey(&out, "bitmap", f.bitmap);
    }
    if (f.autorunFound)
        CheckAutorunSection(&out, f);
    if (f.autorunFound && f.autorunSection)
        CheckAutoPlayKeys(&out, f);
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
    if (layout.compression != kBmpRle8 && layout.compression != kBmpRle4)
        return -1;
    // The stream walked as the launcher's decoder walks it, one position over all rows.
    const int64_t stride = layout.stride;
    const uint8_t* in = contents + layout.pixelOffset;
    const uint8_t* end = in + layout.pixelLength;
    int64_t position = 0;
    bool rowStart = true; // at a row's start with nothing drawn or passed since it began
    while (position < int64_t(layout.area) && end - in >= 2) {
        const uint32_t count = in[0], code = in[1];
        in += 2;
        if (count != 0) {
            position += count;
            rowStart = false;
        } else if (code == 0) { // end of line
            if (rowStart)
                return layout.height - 1 - int32_t(position / stride);
            position += (stride - position % stride) % stride;
            rowStart = true;
        } else if (code == 1) { // end of bitmap
            break;
        } else if (code == 2) { // delta: straight down keeps a row's start
            if (end - in < 2)
                break;
            position += in[1] * stride + in[0];
            rowStart = rowStart && in[0] == 0;
            in += 2;
        } else { // absolute run, padded to an even byte count
            const int64_t bytes = layout.compression == kBmpRle4 ? (code + 1) / 2 : code;
            if (end - in < bytes)
                break;
            position += code;
            in += bytes;
            if ((bytes & 1) && in < end)
                ++in;
            rowStart = false;
        }
    }
    return -1;
}

std::string GameProgramPart(const std::string& game, bool wholeIsProgram)
{
    size_t length = 0;
    const char* rest = nullptr;
    const char* program = GameProgram(game.c_str(), wholeIsProgram, &length, &rest);
    return std::string(program, length);
}

bool WindowFits(const StartupLayout& l, const ScreenSize& s)
{
    return l.windowX >= 0 && l.windowY >= 0 && int64_t(l.windowX) + l.windowWidth <= s.width &&
           int64_t(l.windowY) + l.windowHeight <= s.height;
}

std::vector<Finding> CheckPictureWindow(const DiscFacts& f)
{
    std::vector<Finding> out;
    CheckWindow(&out, f);
    return out;
}
