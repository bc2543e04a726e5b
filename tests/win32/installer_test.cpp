// The installer against stand-in wing32.dll files built with chosen versions: version read,
// copy-or-keep in scratch directories, and the Retry/Cancel prompt driven from a helper thread.
#include "installer/wing_installer.h"

#include "common/globals.h"
#include "tests/support/installer_test_support.h"
#include "tests/support/unix_shell_win.h"
#include "tests/win32/launcher_box_watcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(h);
    return bytes;
}

bool WriteAll(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

BoxWatcher* CancelEveryBox()
{
    return new BoxWatcher([](const SeenBox&, size_t) { return IDCANCEL; });
}

// A scratch directory tree under the temporary directory, removed afterwards. Its names
// carry capitals so that the prompt's lower-casing shows.
class Installer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        root = std::string(temp) + "CorvaneInstallerTest\\";
        RemoveTree(root);
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        source = MakeDir("Disc\\");
        target = MakeDir("System\\");
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        StartupDialog = owner;
    }
    void TearDown() override
    {
        StartupDialog = nullptr;
        DestroyWindow(owner);
        RemoveTree(root);
    }

    std::string MakeDir(const std::string& relative)
    {
        std::string dir = root + relative;
        CreateDirectoryA(dir.c_str(), nullptr);
        return dir;
    }

    // Puts a stand-in into dir; a marked copy gets a tail of extra bytes, so that it can be
    // told apart from an unmarked copy of the same version.
    void Place(const std::string& dir, const char* standIn, bool marked)
    {
        std::string bytes = ReadAll(StandIn(standIn));
        ASSERT_FALSE(bytes.empty()) << standIn;
        if (marked)
            bytes += std::string(64, '\x5A');
        ASSERT_TRUE(WriteAll(dir + "wing32.dll", bytes));
    }

    static void RemoveTree(const std::string& dir)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((dir + "*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(dir + name + "\\");
                    continue;
                }
                SetFileAttributesA((dir + name).c_str(), FILE_ATTRIBUTE_NORMAL); // read-only too
                DeleteFileA((dir + name).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(dir.c_str());
    }

    std::string root, source, target;
    HWND owner = nullptr;
};

// ---- version read ----

TEST(ReadFileVersion, GivesTheFixedFileVersionPair)
{
    struct {
        const char* standIn;
        uint32_t ms, ls;
    } cases[] = {
        {"v1234", 0x00010002, 0x00030004}, {"v1000", 0x00010000, 0x00000000},
        {"v1001", 0x00010000, 0x00000001}, {"v2000", 0x00020000, 0x00000000},
        {"top", 0x80000000, 0x00000000},
    };
    for (const auto& c : cases) {
        FileVersion v = ReadFileVersion(StandIn(c.standIn).c_str());
        EXPECT_TRUE(v.available) << c.standIn;
        EXPECT_EQ(v.ms, c.ms) << c.standIn;
        EXPECT_EQ(v.ls, c.ls) << c.standIn;
    }
}

TEST_F(Installer, VersionIsUnavailableWithoutAReadableResource)
{
    ASSERT_TRUE(WriteAll(source + "notes.txt", "not a program"));
    // rootzero: a root block of length 0; rootshort: one too short to hold the numbers.
    // Both do carry version information, so it is the root block that is refused.
    DWORD ignored = 0;
    ASSERT_NE(GetFileVersionInfoSizeA(StandIn("rootzero").c_str(), &ignored), 0u);
    ASSERT_NE(GetFileVersionInfoSizeA(StandIn("rootshort").c_str(), &ignored), 0u);
    const std::string paths[] = {StandIn("none"),        StandIn("rootzero"),  StandIn("rootshort"),
                                 source + "missing.dll", source + "notes.txt", source};
    for (const std::string& path : paths) {
        FileVersion v = ReadFileVersion(path.c_str());
        EXPECT_FALSE(v.available) << path;
        EXPECT_EQ(v.ms, 0u) << path;
        EXPECT_EQ(v.ls, 0u) << path;
    }
}

// ---- copy or keep ----

TEST_F(Installer, CopiesUnlessTheInstalledCopyIsAtLeastAsNew)
{
    struct {
        const char* installed; // nullptr: no installed copy
        const char* disc;
        bool copied;
    } cases[] = {
        {nullptr, "v1000", true},  {"v1000", "v1000", false},    {"v2000", "v1000", false},
        {"v1001", "v1000", false}, {"v1000", "v1001", true},     {"none", "v1000", true},
        {"v1234", "v2000", true},  {"top", "v2000", false},      {"v2000", "top", true},
        {"v2000", "none", true},   {"rootshort", "v1000", true},
    };
    std::unique_ptr<BoxWatcher> watcher(CancelEveryBox());
    for (const auto& c : cases) {
        std::string label = std::string(c.installed ? c.installed : "(none)") + " <- " + c.disc;
        DeleteFileA((target + "wing32.dll").c_str());
        if (c.installed)
            Place(target, c.installed, true);
        Place(source, c.disc, false);
        std::string before = ReadAll(target + "wing32.dll");

        EXPECT_EQ(UpdateSystemFile("wing32.dll", source.c_str(), target.c_str()), 1) << label;

        std::string after = ReadAll(target + "wing32.dll");
        if (c.copied)
            EXPECT_TRUE(SameBytes(after, ReadAll(source + "wing32.dll"))) << label;
        else
            EXPECT_TRUE(SameBytes(after, before)) << label;
    }
    EXPECT_TRUE(watcher->Stop().empty()) << "no box when nothing fails";
}

// Files on a CD are read-only: the installed copy is writable all the same, so that a later
// disc can replace it, and a read-only installed copy is replaced too. A copy that fails (here
// for want of the disc's copy) leaves the installed one as it was, read-only included, and no
// temporary file behind.
TEST_F(Installer, InstalledCopyIsWritableAndAReadOnlyOneIsReplaced)
{
    const std::string installed = target + "wing32.dll", disc = source + "wing32.dll";
    Place(target, "v1000", true);
    SetFileAttributesA(installed.c_str(), FILE_ATTRIBUTE_READONLY);
    Place(source, "v1001", false);
    SetFileAttributesA(disc.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(UpdateSystemFile("wing32.dll", source.c_str(), target.c_str()), 1);
    EXPECT_TRUE(SameBytes(ReadAll(installed), ReadAll(disc)));
    EXPECT_EQ(GetFileAttributesA(installed.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    const std::string before = ReadAll(installed);
    SetFileAttributesA(installed.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(disc.c_str(), FILE_ATTRIBUTE_NORMAL);
    Place(source, "v2000", false);
    ASSERT_TRUE(DeleteFileA(disc.c_str()));
    std::unique_ptr<BoxWatcher> watcher(CancelEveryBox());
    EXPECT_EQ(UpdateSystemFile("wing32.dll", source.c_str(), target.c_str()), 0);
    EXPECT_EQ(watcher->Stop().size(), 1u) << "one prompt, answered Cancel";
    EXPECT_NE(GetFileAttributesA(installed.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_TRUE(SameBytes(ReadAll(installed), before));
    EXPECT_EQ(TemporaryFiles(target), std::vector<std::string>());
}

// ---- the Retry/Cancel prompt ----

TEST_F(Installer, MissingDiscCopyPromptsAndCancelGivesUp)
{
    UINT before = SetErrorMode(SEM_FAILCRITICALERRORS);
    BoxWatcher watcher([](const SeenBox&, size_t) { return IDCANCEL; });
    int result = UpdateSystemFile("wing32.dll", source.c_str(), target.c_str());
    const auto boxes = watcher.Stop();
    UINT after = SetErrorMode(before);

    EXPECT_EQ(result, 0);
    EXPECT_FALSE(Exists(target + "wing32.dll"));
    ASSERT_EQ(boxes.size(), 1u);
    const SeenBox& box = boxes[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, kPromptHead + Lower(target + "wing32.dll") + kPromptTail);
    EXPECT_NE(box.text, kPromptHead + target + "wing32.dll" + kPromptTail) << "not lower-cased";
    EXPECT_EQ(box.owner, owner);
    EXPECT_TRUE(box.exclamation);
    EXPECT_EQ(box.errorMode, UINT(SEM_NOOPENFILEERRORBOX)) << "while the prompt is up";
    EXPECT_EQ(after, UINT(SEM_FAILCRITICALERRORS)) << "restored afterwards";
}

TEST_F(Installer, CopyWithRetryLowersTheTargetInPlaceAndRetriesUntilCancel)
{
    char targetPath[MAX_PATH];
    lstrcpyA(targetPath, (target + "WING32.DLL").c_str());
    std::string sourcePath = source + "wing32.dll"; // missing
    BoxWatcher watcher([](const SeenBox&, size_t index) { return index < 2 ? IDRETRY : IDCANCEL; });
    LONG result = CopyFileWithRetry(targetPath, sourcePath.c_str());
    const auto boxes = watcher.Stop();

    EXPECT_EQ(result, -1);
    EXPECT_EQ(std::string(targetPath), Lower(target + "WING32.DLL"));
    EXPECT_EQ(boxes.size(), 3u) << "two Retries, then Cancel";
}

TEST_F(Installer, TargetHeldOpenPromptsAndRetryCopiesOnceReleased)
{
    Place(target, "v1000", true);
    Place(source, "v1001", false);
    std::string installed = target + "wing32.dll";
    HANDLE held =
        CreateFileA(installed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    BoxWatcher watcher([&](const SeenBox&, size_t) {
        CloseHandle(held);
        return IDRETRY;
    });
    int result = UpdateSystemFile("wing32.dll", source.c_str(), target.c_str());
    const auto boxes = watcher.Stop();

    EXPECT_EQ(result, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kPromptHead + Lower(installed) + kPromptTail);
    EXPECT_TRUE(SameBytes(ReadAll(installed), ReadAll(source + "wing32.dll")));
}

TEST_F(Installer, CopyWithRetryGivesTheNewFileSize)
{
    Place(source, "v1000", false);
    char targetPath[MAX_PATH];
    lstrcpyA(targetPath, (target + "wing32.dll").c_str());
    LONG result = CopyFileWithRetry(targetPath, (source + "wing32.dll").c_str());
    EXPECT_EQ(result, LONG(ReadAll(StandIn("v1000")).size()));
}

// The step that starts the administrator's instance, played by the test: what it gives and
// how often it was asked.
DWORD gInstanceResult;
int gInstanceStarts;
DWORD StandInInstance()
{
    ++gInstanceStarts;
    return gInstanceResult;
}

// Windows (here reporting Vista or later) refuses the copy to this user, as the system
// directory refuses a standard user, here through the folder's immutable attribute. The
// administrator's instance is asked for; whatever keeps it from copying leaves the
// administrator's box, but for a file that the instance finds in use.
TEST_F(Installer, RefusedCopyAsksTheAdministratorsInstanceAndItsFailureGivesTheRightBox)
{
    struct {
        const char* what;
        DWORD result;
        const char* tail;
    } cases[] = {{"consent declined", ERROR_CANCELLED, kAdminPromptTail},
                 {"instance cannot start", ERROR_MOD_NOT_FOUND, kAdminPromptTail},
                 {"refused to the instance too", ERROR_ACCESS_DENIED, kAdminPromptTail},
                 {"file in use", ERROR_SHARING_VIOLATION, kPromptTail}};
    ASSERT_GE(LOBYTE(LOWORD(GetVersion())), 6) << "Wine reports Vista or later";
    Place(source, "v1000", false);
    struct RealStep { // back however the test ends
        ~RealStep() { CopyThroughAdministrator = nullptr; }
    } realStep;
    const FolderLock lock(target, root + "lock-done");
    ASSERT_TRUE(lock.locked);
    CopyThroughAdministrator = StandInInstance;
    for (const auto& c : cases) {
        gInstanceResult = c.result;
        gInstanceStarts = 0;
        BoxWatcher watcher([](const SeenBox&, size_t) { return IDCANCEL; });
        EXPECT_EQ(UpdateSystemFile("wing32.dll", source.c_str(), target.c_str()), 0) << c.what;
        const auto boxes = watcher.Stop();
        EXPECT_EQ(gInstanceStarts, 1) << c.what;
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].text, kPromptHead + Lower(target + "wing32.dll") + c.tail) << c.what;
    }
}

// A prompt of 256 bytes would only hold paths up to 110 characters.
TEST_F(Installer, PromptNamesALongTargetInFull)
{
    std::string dir = target;
    while (dir.size() < 200)
        dir = MakeDir(dir.substr(root.size()) + "DeepFolder\\");
    BoxWatcher watcher([](const SeenBox&, size_t) { return IDCANCEL; });
    int result = UpdateSystemFile("wing32.dll", source.c_str(), dir.c_str());
    const auto boxes = watcher.Stop();

    EXPECT_EQ(result, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GT((dir + "wing32.dll").size(), 110u);
    EXPECT_EQ(boxes[0].text, kPromptHead + Lower(dir + "wing32.dll") + kPromptTail);
}

// A caller's target string longer than any path buffer is lowered whole, but the prompt
// shows its first 259 characters and nothing more.
TEST_F(Installer, PromptCutsATargetLongerThanAPathBuffer)
{
    std::string longTarget = target + std::string(300 - target.size(), 'Q');
    std::vector<char> targetPath(longTarget.begin(), longTarget.end());
    targetPath.push_back('\0');
    BoxWatcher watcher([](const SeenBox&, size_t) { return IDCANCEL; });
    LONG result = CopyFileWithRetry(targetPath.data(), (source + "wing32.dll").c_str());
    const auto boxes = watcher.Stop();

    EXPECT_EQ(result, -1);
    EXPECT_EQ(std::string(targetPath.data()), Lower(longTarget));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kPromptHead + Lower(longTarget).substr(0, 259) + kPromptTail);
}

// A file path that does not fit its 260-byte buffer is neither cut nor copied: the check
// gives up with the box for a name that is too long. The longest path that fits (259
// characters) still works.
TEST_F(Installer, FilePathsThatDoNotFitAreRefusedWithABox)
{
    Place(source, "v1000", false);
    std::string tooLongDir = target + std::string(250 - target.size() - 1, 'L') + "\\";
    ASSERT_EQ(tooLongDir.size(), 250u); // + "wing32.dll" = 260 characters
    std::unique_ptr<BoxWatcher> watcher(CancelEveryBox());

    EXPECT_EQ(UpdateSystemFile("wing32.dll", source.c_str(), tooLongDir.c_str()), 0);
    EXPECT_EQ(UpdateSystemFile("wing32.dll", tooLongDir.c_str(), target.c_str()), 0);
    EXPECT_FALSE(Exists(target + "wing32.dll"));

    // The copy is written to a temporary file in the target folder first, whose name takes up
    // to 13 characters behind it: the longest target folder that works has 246 characters.
    std::string dir = target;
    while (dir.size() < 246 - 11)
        dir = MakeDir(dir.substr(root.size()) + "Sub\\");
    dir = MakeDir(dir.substr(root.size()) + std::string(246 - dir.size() - 1, 'F') + "\\");
    ASSERT_EQ(dir.size(), 246u);
    EXPECT_EQ(UpdateSystemFile("wing32.dll", source.c_str(), dir.c_str()), 1);
    EXPECT_TRUE(SameBytes(ReadAll(dir + "wing32.dll"), ReadAll(source + "wing32.dll")));
    const std::string deeper = MakeDir(dir.substr(root.size()) + "G\\"); // 248 characters
    EXPECT_EQ(UpdateSystemFile("wing32.dll", source.c_str(), deeper.c_str()), 0);
    EXPECT_FALSE(Exists(deeper + "wing32.dll"));

    EXPECT_EQ(watcher->Stop().size(), 3u); // one for each call that gave up
}

// ---- InstallWinG against the real system directory ----

// Keeps whatever wing32.dll the system directory holds aside while a test runs.
class InstallWinGTest : public Installer
{
  protected:
    void SetUp() override
    {
        Installer::SetUp();
        char dir[MAX_PATH];
        UINT n = GetSystemDirectoryA(dir, sizeof dir);
        ASSERT_TRUE(n > 0 && n < sizeof dir);
        installed = std::string(dir) + "\\wing32.dll";
        saved = root + "saved_wing32.dll";
        hadInstalled = MoveFileA(installed.c_str(), saved.c_str()) != 0;
        ASSERT_FALSE(Exists(installed));
        lstrcpyA(SourceDir, source.c_str());
        discDir = MakeDir("Disc\\system\\");
        discDir = MakeDir("Disc\\system\\win95\\");
        WinGInstalled = 0;
    }
    void TearDown() override
    {
        DeleteFileA(installed.c_str());
        if (hadInstalled)
            MoveFileA(saved.c_str(), installed.c_str());
        SourceDir[0] = '\0';
        WinGInstalled = 0;
        Installer::TearDown();
    }
    std::string installed, saved, discDir;
    bool hadInstalled = false;
};

TEST_F(InstallWinGTest, CopiesTheDiscCopyOnceAndThenDoesNothing)
{
    Place(discDir, "v1000", false);
    std::unique_ptr<BoxWatcher> watcher(CancelEveryBox());
    InstallWinG();
    EXPECT_EQ(WinGInstalled, 1);
    EXPECT_TRUE(SameBytes(ReadAll(installed), ReadAll(StandIn("v1000"))));

    Place(discDir, "v2000", false);
    InstallWinG();
    EXPECT_EQ(WinGInstalled, 1);
    EXPECT_TRUE(SameBytes(ReadAll(installed), ReadAll(StandIn("v1000")))) << "checked once per run";
    EXPECT_TRUE(watcher->Stop().empty());
}

TEST_F(InstallWinGTest, KeepsANewerInstalledCopy)
{
    Place(discDir, "v1000", false);
    std::string dir = installed.substr(0, installed.size() - strlen("wing32.dll"));
    Place(dir, "v2000", true);
    std::string before = ReadAll(installed);
    InstallWinG();
    EXPECT_EQ(WinGInstalled, 1);
    EXPECT_TRUE(SameBytes(ReadAll(installed), before));
}

TEST_F(InstallWinGTest, CancelledCopyLeavesTheFlagAtZero)
{
    BoxWatcher watcher([](const SeenBox&, size_t) { return IDCANCEL; });
    InstallWinG(); // no wing32.dll on the disc
    const auto boxes = watcher.Stop();
    EXPECT_EQ(WinGInstalled, 0);
    EXPECT_FALSE(Exists(installed));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, kPromptHead + Lower(installed) + kPromptTail);
}

// A launcher directory too deep for "system\\win95\\wing32.dll" to fit a path buffer: nothing
// is copied, and an "Error" box without owner says that the name is too long. The
// administrator's instance, which has no window, gives the error code instead of a box.
TEST_F(InstallWinGTest, DiscDirectoryThatDoesNotFitIsReported)
{
    Place(discDir, "v1000", false);
    std::string deep = source + std::string(237 - source.size() - 1, 'D') + "\\";
    ASSERT_EQ(deep.size(), 237u); // + "system\\win95\\wing32.dll" = 260 characters
    lstrcpyA(SourceDir, deep.c_str());
    std::unique_ptr<BoxWatcher> watcher(CancelEveryBox());
    InstallWinG();
    EXPECT_EQ(UpdateRuntimeAlone(), DWORD(ERROR_FILENAME_EXCED_RANGE));
    const auto boxes = watcher->Stop();
    EXPECT_EQ(WinGInstalled, 0);
    EXPECT_FALSE(Exists(installed));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].text, SystemText(ERROR_FILENAME_EXCED_RANGE));
}

} // namespace
