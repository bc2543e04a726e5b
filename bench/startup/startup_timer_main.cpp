// Times how soon a program's window stands painted on the screen after CreateProcess, for the
// launcher on a demo disc and for the bare dialog program, run by run in turn, and prints a
// markdown table of the timings and the ratio of their medians.
//   startup-timer LAUNCHER BARE_DIALOG [RUNS [WARMUP]]
// RUNS timed runs of each program (15 unless given), after WARMUP untimed runs of each (2).
// A run's time goes from just before CreateProcess to the first poll of the screen that shows
// the window painted: for the launcher, its title picture pixel for pixel and both buttons
// drawn; for the bare dialog, its background and both buttons drawn. Each program is then
// ended with IDCANCEL, as Escape would, and must exit with code 2.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "bench/startup/startup_measure.h"
#include "demo/title_picture.h"
#include "resources/resource_ids.h"
#include "tools/screen_capture_win.h"

namespace
{

using startup_bench::Area;
using startup_bench::Frame;

const char kClassName[] = "CorvaneStartupDialogClass";
const DWORD kPaintTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 10000;
const int kDefaultRuns = 15;
const int kDefaultWarmups = 2;
const double kTargetRatio = 1.05; // launcher / bare dialog, medians

struct Program {
    const char* name;  // as the table shows it
    std::string path;  // Windows path of the program file
    bool showsPicture; // judged by the title picture rather than the bare background
    std::vector<double> timesMs;
    std::vector<double> shownMs; // of the same runs: until the window was shown, not yet painted
    int failures;
};

// What a frame of the window is judged by.
struct Expected {
    std::vector<uint32_t> picture; // the demo title picture as 0x00RRGGBB, rows top-down
    uint32_t buttonFace;           // also the dialog's background, which the dialog manager paints
};

uint32_t FromColorref(COLORREF colour)
{
    return (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8) |
           GetBValue(colour);
}

// The demo disc's title picture as the screen shows it, and the system colour of button
// faces (this process runs in the same session as the programs timed). The dialog manager
// erases a dialog's background with the same colour, not with its class brush.
Expected ExpectedLook()
{
    Expected expected;
    bmpw::Picture title = demo::DrawTitlePicture();
    expected.picture.reserve(title.pixels.size());
    for (uint8_t index : title.pixels) {
        const bmpw::RgbQuad& c = title.palette[index];
        expected.picture.push_back((uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue);
    }
    expected.buttonFace = FromColorref(GetSysColor(COLOR_BTNFACE));
    return expected;
}

// The visible window of the startup class that belongs to the process; null while none.
HWND FindProgramWindow(DWORD pid)
{
    for (HWND window = FindWindowExA(nullptr, nullptr, kClassName, nullptr); window;
         window = FindWindowExA(nullptr, window, kClassName, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// A child window's rectangle in its parent's client coordinates, given the client's origin
// on the screen.
bool ChildArea(HWND parent, int id, const POINT& origin, Area* area)
{
    RECT rect;
    HWND child = GetDlgItem(parent, id);
    if (!child || !GetWindowRect(child, &rect))
        return false;
    *area = {rect.left - origin.x, rect.top - origin.y, rect.right - origin.x,
             rect.bottom - origin.y};
    return true;
}

// Whether the screen shows the window painted now. The launcher's picture lies at (m, m) of
// its client area, where m is half the Play button's height less 2; the bare dialog's
// background is judged above its buttons.
bool ShowsPainted(HWND window, const Program& program, const Expected& expected)
{
    RECT client;
    POINT origin = {0, 0};
    Area play, quit;
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin) ||
        !ChildArea(window, IDC_PLAY, origin, &play) || !ChildArea(window, IDC_QUIT, origin, &quit))
        return false;
    RECT onScreen = client;
    OffsetRect(&onScreen, origin.x, origin.y);
    std::vector<uint32_t> pixels;
    if (!CaptureScreen(onScreen, &pixels))
        return false;
    const Frame frame = {client.right, client.bottom, pixels.data()};
    if (!startup_bench::ShowsButton(frame, play, expected.buttonFace) ||
        !startup_bench::ShowsButton(frame, quit, expected.buttonFace))
        return false;
    if (!program.showsPicture)
        return startup_bench::MostlyColour(frame, {0, 0, client.right, play.top},
                                           expected.buttonFace);
    const int32_t inset = (play.bottom - play.top) / 2 - 2;
    return startup_bench::ShowsPicture(frame, inset, inset, expected.picture, demo::kTitleWidth,
                                       demo::kTitleHeight);
}

double MillisecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// Ends the program as Escape would and waits for it; ends it by force when it does not go,
// or at once when it shows no window (it may be waiting in a message box).
// True when it ended by itself with exit code 2.
bool EndProgram(HWND window, const PROCESS_INFORMATION& pi)
{
    if (window)
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(pi.hProcess, window ? kExitTimeoutMs : 0) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, kExitTimeoutMs);
        return false;
    }
    DWORD code = 0;
    return GetExitCodeProcess(pi.hProcess, &code) && code == IDCANCEL;
}

// One start of the program, in its own folder as working directory. The time until its
// window stands painted; a negative value when it never did. *shown gets the time until the
// window was first found shown.
double TimeOneStart(const Program& program, const Expected& expected, double* shown)
{
    std::string folder = program.path;
    const size_t slash = folder.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
    std::string commandLine = "\"" + program.path + "\"";

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program.path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
        fprintf(stderr, "startup-timer: cannot start %s (error %lu)\n", program.path.c_str(),
                GetLastError());
        return -1;
    }
    double elapsed = -1, visible = -1;
    HWND window = nullptr;
    while (MillisecondsSince(start) < kPaintTimeoutMs) {
        window = FindProgramWindow(pi.dwProcessId);
        if (window && visible < 0)
            visible = MillisecondsSince(start);
        if (window && ShowsPainted(window, program, expected)) {
            elapsed = MillisecondsSince(start);
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
            break;
    }
    if (elapsed < 0)
        fprintf(stderr, "startup-timer: %s showed no painted window\n", program.name);
    else // where the time went: until the window was shown, and until it stood painted
        fprintf(stderr, "startup-timer: %s visible after %.1f ms, painted %.1f ms later\n",
                program.name, visible, elapsed - visible);
    if (!EndProgram(window, pi)) {
        fprintf(stderr, "startup-timer: %s did not end with Escape's exit code\n", program.name);
        elapsed = -1;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    *shown = visible;
    return elapsed;
}

// Runs both programs in turn, the first of each pair alternating, so that neither always
// follows the other; the warm-up rounds are not kept. Returns the ratio launcher / bare
// dialog of each kept round in which both started: two starts close in time see much the
// same load from whatever else the machine runs.
std::vector<double> RunAll(Program* programs, int runs, int warmups, const Expected& expected)
{
    std::vector<double> pairRatios;
    for (int round = 0; round < warmups + runs; ++round) {
        double ms[2] = {-1, -1};
        for (int k = 0; k < 2; ++k) {
            const int which = (round + k) % 2;
            Program& program = programs[which];
            double shown = -1;
            ms[which] = TimeOneStart(program, expected, &shown);
            fprintf(stderr, "startup-timer: round %d, %s: %.1f ms%s\n", round + 1, program.name,
                    ms[which], round < warmups ? " (warm-up)" : "");
            if (round < warmups && ms[which] >= 0)
                continue;
            if (ms[which] < 0) {
                ++program.failures;
            } else {
                program.timesMs.push_back(ms[which]);
                program.shownMs.push_back(shown);
            }
        }
        if (ms[0] < 0 || ms[1] < 0) {
            // A start that fails is a fault of the set-up, not of timing: the others would
            // only wait out the same timeout.
            fprintf(stderr, "startup-timer: stopping after a failed start\n");
            break;
        }
        if (round >= warmups && ms[0] > 0 && ms[1] > 0)
            pairRatios.push_back(ms[0] / ms[1]);
    }
    return pairRatios;
}

void PrintTable(const Program* programs, int warmups)
{
    printf("| Program | Runs | Median (ms) | Min (ms) | Max (ms) | Middle half (ms) |\n");
    printf("|---|---:|---:|---:|---:|---:|\n");
    for (int i = 0; i < 2; ++i) {
        const startup_bench::Summary s = startup_bench::Summarise(programs[i].timesMs);
        printf("| %s | %d | %.1f | %.1f | %.1f | %.1f to %.1f |\n", programs[i].name, s.count,
               s.median, s.min, s.max, s.lowerQuartile, s.upperQuartile);
    }
    const double shown[2] = {startup_bench::Summarise(programs[0].shownMs).median,
                             startup_bench::Summarise(programs[1].shownMs).median};
    printf("\nMedian time until the window was shown, before it stood painted: %s %.1f ms, %s "
           "%.1f ms.\n",
           programs[0].name, shown[0], programs[1].name, shown[1]);
    printf("\nWarm-up starts before the timed runs, not counted: %d of each program.\n", warmups);
}

// The ratio of the medians against the target, and two views of the same runs that
// a busy machine sways less; false when a run failed.
bool PrintVerdict(const Program* programs, const std::vector<double>& pairRatios)
{
    const startup_bench::Summary launcher = startup_bench::Summarise(programs[0].timesMs);
    const startup_bench::Summary bare = startup_bench::Summarise(programs[1].timesMs);
    const int failures = programs[0].failures + programs[1].failures;
    if (failures > 0)
        printf("\n**Failed starts: %d** (no painted window, or no orderly end); see stderr.\n",
               failures);
    if (launcher.median <= 0 || bare.median <= 0)
        return false;
    const double ratio = launcher.median / bare.median;
    printf("\nRatio of the medians, %s / %s: **%.3f** (%+.1f %%). Target at most %.2f: %s.\n",
           programs[0].name, programs[1].name, ratio, (ratio - 1.0) * 100.0, kTargetRatio,
           ratio <= kTargetRatio ? "met" : "missed");
    const startup_bench::Summary pairs = startup_bench::Summarise(pairRatios);
    printf(
        "\nThe same runs seen two more ways: ratio of the fastest starts %.3f; ratio within each "
        "round (the two starts next to each other) %.3f in the median, %.3f to %.3f in the "
        "middle half.\n",
        launcher.min / bare.min, pairs.median, pairs.lowerQuartile, pairs.upperQuartile);
    // Two starts of one and the same program differ as much as the round ratios spread, so a
    // middle half that takes in the target leaves the verdict open.
    if (pairs.count > 0 && pairs.lowerQuartile <= kTargetRatio &&
        pairs.upperQuartile >= kTargetRatio)
        printf("\nThe middle half of the round ratios takes in the target %.2f: on this run the "
               "starts spread too widely to tell which side of it the launcher lies, and the "
               "verdict above is not firm.\n",
               kTargetRatio);
    return failures == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        fprintf(stderr, "usage: startup-timer LAUNCHER BARE_DIALOG [RUNS [WARMUP]]\n");
        return 2;
    }
    const int runs = argc > 3 ? atoi(argv[3]) : kDefaultRuns;
    const int warmups = argc > 4 ? atoi(argv[4]) : kDefaultWarmups;
    if (runs < 1 || warmups < 0) {
        fprintf(stderr, "startup-timer: RUNS must be 1 or more, WARMUP 0 or more\n");
        return 2;
    }
    Program programs[2] = {{"launcher.exe", argv[1], true, {}, {}, 0},
                           {"bare dialog", argv[2], false, {}, {}, 0}};
    const Expected expected = ExpectedLook();
    const std::vector<double> pairRatios = RunAll(programs, runs, warmups, expected);
    PrintTable(programs, warmups);
    return PrintVerdict(programs, pairRatios) ? 0 : 1;
}
