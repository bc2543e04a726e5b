// The launcher played from a CD-ROM drive that holds the demo disc's image, as
// tests/cd_image_test.sh mounts it; skipped unless CORVANE_CD_DRIVE names that drive.
#include "tests/e2e/scenario.h"

#include <cstdlib>

namespace e2e
{
namespace
{

TEST(CdImage, LauncherPlaysFromTheCdDrive)
{
    const char* drive = std::getenv("CORVANE_CD_DRIVE");
    if (!drive || !*drive)
        GTEST_SKIP() << "no CD-ROM drive with the demo disc's image (CORVANE_CD_DRIVE)";
    const std::string root = std::string(drive) + "\\";
    ASSERT_EQ(GetDriveTypeA(root.c_str()), UINT(DRIVE_CDROM));

    // Play installs the disc's wing32.dll; the system directory gets its old state back.
    char dir[MAX_PATH];
    const UINT n = GetSystemDirectoryA(dir, sizeof dir);
    ASSERT_TRUE(n > 0 && n < sizeof dir);
    const std::string installed = std::string(dir) + "\\wing32.dll";
    const std::string saved = WorkRoot() + "cd_saved_wing32.dll";
    DeleteFileA(saved.c_str());
    const bool hadInstalled = MoveFileA(installed.c_str(), saved.c_str()) != 0;

    Launcher launcher;
    HWND dialog = nullptr;
    EXPECT_TRUE(OpenDialog(&launcher, root + "launcher.exe", &dialog));
    if (dialog) {
        GameRecord record;
        PlayAndReadGame(launcher, dialog, &record);
        EXPECT_EQ(Lower(record.command), Lower(root + "GAME\\START.EXE"));
        EXPECT_TRUE(FileExists(installed));
    }

    DeleteFileA(installed.c_str());
    if (hadInstalled)
        MoveFileA(saved.c_str(), installed.c_str());
}

} // namespace
} // namespace e2e
