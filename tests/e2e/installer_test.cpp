// wing32.dll in the system directory as Play leaves it: copied when missing, unversioned or
// older, kept when equal or newer, and a failed copy offered again in a Retry/Cancel box owned
// by the startup window. Quit and Escape never touch it.
#include "tests/e2e/scenario.h"
#include "tests/support/installer_test_support.h"
#include "tests/support/unix_shell_win.h"

#include <optional>

namespace e2e
{
namespace
{

std::string Bytes(const std::string& path)
{
    std::string bytes;
    if (!ReadText(path, &bytes))
        return std::string();
    return bytes;
}

// Each case starts from a system directory without wing32.dll, and whatever was there before
// is put back afterwards.
class Installer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const std::string dir = LauncherSystemDir();
        ASSERT_FALSE(dir.empty());
        installed = dir + "\\wing32.dll";
        saved = WorkRoot() + "saved_wing32.dll";
        DeleteFileA(saved.c_str());
        hadInstalled = MoveFileA(installed.c_str(), saved.c_str()) != 0;
        ASSERT_FALSE(FileExists(installed));
        disc.root = TestDiscRoot();
        disc.withRuntime = false;
        ASSERT_TRUE(LayOutDisc(disc));
        discCopy = disc.root + "system\\win95\\wing32.dll";
    }
    void TearDown() override
    {
        DeleteFileA(installed.c_str());
        if (hadInstalled)
            MoveFileA(saved.c_str(), installed.c_str());
    }

    // The disc's copy; "" leaves the disc without one.
    void PutOnDisc(const char* standIn)
    {
        ASSERT_TRUE(MakeDirs(disc.root + "system\\win95\\"));
        if (*standIn) {
            ASSERT_TRUE(CopyOne(StandIn(standIn), discCopy));
        }
    }

    // The installed copy, with a tail of extra bytes so that it differs from an unmarked copy
    // of the same version; "" leaves none installed.
    void PutInstalled(const char* standIn)
    {
        if (!*standIn)
            return;
        std::string bytes = Bytes(StandIn(standIn)) + std::string(64, '\x5A');
        ASSERT_TRUE(WriteBytes(installed, bytes.data(), bytes.size()));
    }

    // Starts the launcher on the disc and waits for its window.
    HWND Start(Launcher* launcher)
    {
        if (!StartLauncher(launcher, disc.root + "launcher.exe"))
            return nullptr;
        return WaitForStartupDialog(*launcher);
    }

    std::string installed, saved, discCopy;
    bool hadInstalled = false;
    DiscSpec disc;
};

struct CopyCase {
    const char* name;
    const char* installed; // "" for none
    const char* disc;
    bool copied;
};

class PlayInstalls : public Installer, public ::testing::WithParamInterface<CopyCase>
{
};

// Play checks the installed copy against the disc's before the game starts; nothing is shown.
TEST_P(PlayInstalls, CopiesUnlessInstalledIsAtLeastAsNew)
{
    const CopyCase& c = GetParam();
    PutOnDisc(c.disc);
    PutInstalled(c.installed);
    std::string before = Bytes(installed);

    Launcher launcher;
    HWND dialog = Start(&launcher);
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, 301);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code)) << "a box stopped the launcher";
    EXPECT_EQ(code, 301u);
    GameRecord record;
    EXPECT_TRUE(ReadGameRecord(launcher.recordFile, &record));
    EXPECT_EQ(record.command, disc.root + "GAME\\START.EXE");

    if (c.copied)
        EXPECT_TRUE(SameBytes(Bytes(installed), Bytes(discCopy)));
    else
        EXPECT_TRUE(SameBytes(Bytes(installed), before));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, PlayInstalls,
    ::testing::Values(CopyCase{"NoneInstalled", "", "v1000", true},
                      CopyCase{"Equal", "v1000", "v1000", false},
                      CopyCase{"InstalledNewer", "v2000", "v1000", false},
                      CopyCase{"InstalledNewerLS", "v1001", "v1000", false},
                      CopyCase{"InstalledOlderLS", "v1000", "v1001", true},
                      CopyCase{"InstalledOlderMSLargerLS", "v1234", "v2000", true},
                      CopyCase{"InstalledUnversioned", "none", "v1000", true},
                      CopyCase{"InstalledTopBitOfMS", "top", "v2000", false},
                      CopyCase{"DiscUnversioned", "v2000", "none", true}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

// IDOK (the dialog manager's Enter) installs exactly as Play does, then ends with 1.
TEST_F(Installer, IdokInstallsLikePlay)
{
    PutOnDisc("v1001");
    PutInstalled("v1000");
    Launcher launcher;
    HWND dialog = Start(&launcher);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code)) << "a box stopped the launcher";
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(SameBytes(Bytes(installed), Bytes(discCopy)));
}

// The Retry/Cancel box as the user meets it: owned by the startup window, caption "Error",
// the exclamation icon and the target path in lower case, in the system directory as the
// launcher names it: system32, also for an i386 launcher whose file calls land in SysWOW64.
void ExpectCopyPrompt(const Box& box, HWND dialog, const std::string& target,
                      const char* tail = kPromptTail)
{
    char system[MAX_PATH] = "";
    const UINT n = GetSystemDirectoryA(system, sizeof system);
    const std::string named = std::string(system, n) + target.substr(target.rfind('\\'));
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, kPromptHead + Lower(named) + tail);
    EXPECT_EQ(box.owner, dialog);
    EXPECT_TRUE(box.hasRetry && box.hasCancel && !box.hasOk);
    EXPECT_EQ(box.icon, "warning") << "the exclamation icon";
}

// The system directory with only 128 KiB free, for as long as this lives: an overlay over it
// whose upper layer, which takes every write, is a small tmpfs. Needs the right to mount.
struct SmallRoom {
    explicit SmallRoom(const std::string& dir)
        : system(UnixPath(dir)), room(UnixPath(WorkRoot()) + "/room"),
          done(WorkRoot() + "room-done")
    {
        Lift();
        // The overlay's options take ':' between folders: the prefix's dosdevices\c: is
        // resolved away first.
        mounted = !system.empty() &&
                  RunUnixShell("mkdir -p '" + room + "' && mount -t tmpfs -o size=128k corvane '" +
                                   room + "' && R=$(realpath '" + room + "') && S=$(realpath '" +
                                   system + "') && mkdir $R/upper $R/work && mount -t overlay " +
                                   "overlay -o lowerdir=$S,upperdir=$R/upper,workdir=$R/work $S",
                               done, Scaled(5000));
        if (!mounted)
            Lift();
    }
    ~SmallRoom() { Lift(); }
    // Unmounts whatever a run of this test left mounted.
    void Lift()
    {
        RunUnixShell("while mountpoint -q '" + system + "'; do umount -l '" + system +
                         "' || break; done; ! mountpoint -q '" + room + "' || umount -l '" + room +
                         "'",
                     done, Scaled(5000));
    }
    std::string system, room, done;
    bool mounted = false;
};

// A failed copy is offered again in a box modal to the startup window, and Cancel gives up and
// starts the game: the installed copy stays byte for byte what it was and no temporary file is
// left. The copy fails without the disc's copy, or part way with a full disk in a system
// directory without room for the disc's copy.
TEST_F(Installer, FailedCopyPromptsAndCancelStillStartsTheGame)
{
    const std::string systemDir = LauncherSystemDir();
    for (const bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "no disc copy");
        PutOnDisc("");
        if (fullDisk) {
            const std::string padded = Bytes(StandIn("v2000")) + std::string(512 * 1024, '\x5A');
            ASSERT_TRUE(WriteBytes(discCopy, padded.data(), padded.size()));
            PutInstalled("v1000");
        }
        const std::string before = Bytes(installed);
        const std::vector<std::string> temporaryBefore = TemporaryFiles(systemDir + "\\");
        {
            std::optional<SmallRoom> room;
            if (fullDisk && !room.emplace(systemDir).mounted)
                GTEST_SKIP() << "mounting is not allowed here (it needs root outside a "
                                "container that forbids mounts)";
            Launcher launcher;
            HWND dialog = Start(&launcher);
            ASSERT_NE(dialog, nullptr);
            PressButton(dialog, 301);
            Box box;
            ASSERT_TRUE(WaitForBox(launcher, &box));
            ExpectCopyPrompt(box, dialog, installed);
            EXPECT_FALSE(IsWindowEnabled(dialog)) << "the prompt is modal to the startup window";
            DWORD code = 0;
            EXPECT_FALSE(WaitForExit(launcher, 300, &code));
            EXPECT_TRUE(SameBytes(Bytes(installed), before));
            EXPECT_EQ(TemporaryFiles(systemDir + "\\"), temporaryBefore);

            ASSERT_TRUE(PressAndWaitGone(box, IDCANCEL));
            ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));
            EXPECT_EQ(code, 301u);
            GameRecord record;
            EXPECT_TRUE(ReadGameRecord(launcher.recordFile, &record));
        }
        EXPECT_EQ(FileExists(installed), fullDisk);
        EXPECT_TRUE(SameBytes(Bytes(installed), before)) << "beneath the overlay too";
    }
}

// An installed copy held open without sharing cannot be replaced: the box comes up; once the
// file is released, Retry copies it and the game starts.
TEST_F(Installer, HeldOpenTargetPromptsAndRetryCopiesOnceReleased)
{
    PutOnDisc("v2000");
    PutInstalled("v1000");
    HANDLE held =
        CreateFileA(installed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    Launcher launcher;
    HWND dialog = Start(&launcher);
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, 301);
    Box box;
    bool shown = WaitForBox(launcher, &box);
    CloseHandle(held);
    ASSERT_TRUE(shown);
    ExpectCopyPrompt(box, dialog, installed);

    ASSERT_TRUE(PressAndWaitGone(box, IDRETRY));
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code)) << "a second box came up";
    EXPECT_EQ(code, 301u);
    EXPECT_TRUE(SameBytes(Bytes(installed), Bytes(discCopy)));
}

// Windows (NT 6.0 and later) refuses a standard user new files in the system directory; here
// the folder refuses them even to root. Play then asks for an administrator's instance of the
// launcher, which copies the runtime by itself. Wine has no consent prompt: its "runas" just
// starts the instance, which is refused the same way, so the box says that the file needs an
// administrator. Once the folder takes files again, Retry copies them and the game starts.
// Reported as Windows 95, where nobody can be asked and there are no user rights, the launcher
// shows the box of any other failed copy; reported as XP, the box says that only an
// administrator may change the file. Neither starts anything else. Play is posted twice: one
// box, one game. An attacker's version.dll lies beside the launcher with Windows' load order
// (the program's folder first), and neither instance calls its functions (under Wine its own
// user32 loads the file into both; a call is the evidence, not a load).
TEST_F(Installer, RefusedCopyAsksForAnAdministratorFromVistaOn)
{
    struct {
        const char* version; // what Wine tells the launcher it runs on; "" for its default
        const char* tail;
        DWORD instances; // launchers started up to the box: the administrator's one too
    } cases[] = {
        {"", kAdminPromptTail, 2}, {"win95", kPromptTail, 1}, {"winxp", kRunAsPromptTail, 1}};
    PutOnDisc("v2000");
    const std::string systemDir = LauncherSystemDir();
    const std::string calls = WorkRoot() + "planted-calls.txt";
    ASSERT_TRUE(CopyOne(BuildDir() + "planted\\version.dll", disc.root + "version.dll"));
    SetEnvironmentVariableA("CORVANE_PLANTED_RECORD", calls.c_str());
    { // the planted functions do record a call (a copy under another name: this process has
      // a version.dll loaded already)
        DeleteFileA(calls.c_str());
        ASSERT_TRUE(CopyOne(disc.root + "version.dll", WorkRoot() + "planted-check.dll"));
        HMODULE planted = LoadLibraryA((WorkRoot() + "planted-check.dll").c_str());
        typedef DWORD(WINAPI * Size)(const char*, DWORD*);
        Size size = reinterpret_cast<Size>(
            reinterpret_cast<void (*)()>(GetProcAddress(planted, "GetFileVersionInfoSizeA")));
        DWORD handle = 0;
        ASSERT_TRUE(size != nullptr && size("x", &handle) == 0);
        FreeLibrary(planted);
        ASSERT_TRUE(FileExists(calls));
        DeleteFileA(calls.c_str());
    }
    char overrides[256] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    for (const auto& c : cases) {
        DeleteFileA(installed.c_str());
        std::optional<UserRegistryValue> version;
        if (*c.version)
            version.emplace("Software\\Wine\\AppDefaults\\launcher.exe", "Version", c.version);
        Launcher launcher;
        HWND dialog = nullptr;
        Box box;
        {
            const FolderLock lock(systemDir, WorkRoot() + "lock-done", Scaled(5000));
            ASSERT_TRUE(lock.locked) << c.version;
            SetEnvironmentVariableA("WINEDLLOVERRIDES",
                                    (std::string(overrides) + ";version=n,b").c_str());
            dialog = Start(&launcher);
            SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides);
            ASSERT_NE(dialog, nullptr) << c.version;
            PostMessageA(dialog, WM_COMMAND, 301, 0);
            PostMessageA(dialog, WM_COMMAND, 301, 0);
            ASSERT_TRUE(WaitForBox(launcher, &box)) << c.version;
            EXPECT_EQ(ListBoxes(launcher.pi.dwProcessId).size(), 1u) << c.version;
            EXPECT_EQ(ProcessesStarted(launcher), c.instances) << c.version;
        }
        ExpectCopyPrompt(box, dialog, installed, c.tail);

        ASSERT_TRUE(PressAndWaitGone(box, IDRETRY)) << c.version;
        DWORD code = 0;
        ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code)) << c.version;
        EXPECT_EQ(code, 301u) << c.version;
        EXPECT_TRUE(SameBytes(Bytes(installed), Bytes(discCopy))) << c.version;
        GameRecord record;
        EXPECT_TRUE(ReadGameRecord(launcher.recordFile, &record)) << c.version;
        EXPECT_EQ(ProcessesStarted(launcher), c.instances + 1) << c.version << ": and one game";
        std::string called;
        EXPECT_FALSE(ReadText(calls, &called)) << c.version << ": " << called;
    }
    SetEnvironmentVariableA("CORVANE_PLANTED_RECORD", nullptr);
}

// The administrator's instance alone, as the launcher starts it: no window, no autorun.inf
// read, the runtime brought up to the disc's copy beside it by the same version rule (a newer
// installed copy stays), and its exit code 0 or the copy's error. A box or a window would hold
// it: it must end by itself.
TEST_F(Installer, AdministratorsInstanceCopiesWithoutAWindowAndEndsWithTheError)
{
    struct {
        const char* disc;
        const char* installed;
        DWORD exitCode;
        bool copied;
    } cases[] = {{"v2000", "", 0, true},
                 {"", "", ERROR_FILE_NOT_FOUND, false},
                 {"v1000", "v2000", 0, false},
                 {"v2000", "v1000", 0, true}};
    disc.writeAutorun = false;
    ASSERT_TRUE(LayOutDisc(disc));
    for (const auto& c : cases) {
        const std::string label = std::string(c.installed) + " <- " + c.disc;
        DeleteFileA(installed.c_str());
        DeleteFileA(discCopy.c_str());
        PutOnDisc(c.disc);
        PutInstalled(c.installed);
        const std::string before = Bytes(installed);
        Launcher launcher;
        ASSERT_TRUE(
            StartLauncher(&launcher, disc.root + "launcher.exe", "", "", "/CorvaneCopyRuntime"));
        DWORD code = 0;
        ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code)) << label;
        EXPECT_EQ(code, c.exitCode) << label;
        EXPECT_EQ(ProcessesStarted(launcher), 1u) << label;
        EXPECT_TRUE(SameBytes(Bytes(installed), c.copied ? Bytes(discCopy) : before)) << label;
    }
}

// Quit and Escape end the launcher without looking at the system directory, whether an
// older copy is installed there or none at all.
TEST_F(Installer, QuitAndEscapeLeaveTheSystemDirectoryAlone)
{
    PutOnDisc("v2000");
    struct {
        const char* how;
        UINT key; // 0: the Quit button
        DWORD exitCode;
        const char* installed;
    } cases[] = {{"Quit", 0, 302, "v1000"},
                 {"Escape", VK_ESCAPE, 2, "v1000"},
                 {"Quit, none installed", 0, 302, ""},
                 {"Escape, none installed", VK_ESCAPE, 2, ""}};
    for (const auto& c : cases) {
        DeleteFileA(installed.c_str());
        PutInstalled(c.installed);
        std::string before = Bytes(installed);
        Launcher launcher;
        HWND dialog = Start(&launcher);
        ASSERT_NE(dialog, nullptr) << c.how;
        if (c.key == 0) {
            PressButton(dialog, 302);
        } else {
            HWND play = GetDlgItem(dialog, 301); // has the focus
            PostMessageA(play, WM_KEYDOWN, c.key, 1);
            PostMessageA(play, WM_KEYUP, c.key, 0xC0000001);
        }
        DWORD code = 0;
        ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code)) << c.how;
        EXPECT_EQ(code, c.exitCode) << c.how;
        EXPECT_EQ(FileExists(installed), *c.installed != '\0') << c.how;
        EXPECT_TRUE(SameBytes(Bytes(installed), before)) << c.how;
    }
}

} // namespace
} // namespace e2e
