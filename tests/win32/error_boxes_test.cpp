#include "common/error_boxes.h"

#include <gtest/gtest.h>
#include <string>

#include "launcher/launcher.h"
#include "resources/resource_ids.h"
#include "tests/win32/launcher_box_watcher.h"

namespace
{

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

// A plain error box: no owner, one OK button, not topmost.
void ExpectPlainErrorBox(const SeenBox& box)
{
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(box.topmost);
}

// The boxes ShowSystemError shows with code as the last error.
std::vector<SeenBox> SystemErrorBoxes(DWORD code)
{
    BoxWatcher watcher;
    SetLastError(code);
    ShowSystemError();
    return watcher.Stop();
}

TEST(ShowSystemError, ShowsTheSystemTextForTheLastErrorUnderError)
{
    for (DWORD code : {DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_FILENAME_EXCED_RANGE), DWORD(0)}) {
        SCOPED_TRACE(code);
        const std::string expected = SystemText(code);
        ASSERT_FALSE(expected.empty());
        const auto boxes = SystemErrorBoxes(code);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].text, expected); // as the system gives it, nothing trimmed
        ExpectPlainErrorBox(boxes[0]);
    }
}

// A code without system text would leave the area unfilled: the box names the code instead.
TEST(ShowSystemError, NamesTheCodeWhenTheSystemHasNoText)
{
    const DWORD code = 0x2FFFFFFF;
    ASSERT_EQ(SystemText(code), "");
    const auto boxes = SystemErrorBoxes(code);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "System error 805306367.");
}

TEST(ShowStringMessage, ShowsTheStringUnderCaption400)
{
    BoxWatcher watcher;
    ShowStringMessage(Self(), IDS_BAD_AUTORUN);
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Corvane");
    EXPECT_EQ(boxes[0].text, "Your autorun.inf file is not correct.");
    ExpectPlainErrorBox(boxes[0]);
}

TEST(ShowStringMessage, ShowsNothingWhenTextOrCaptionIsMissing)
{
    BoxWatcher watcher;
    ShowStringMessage(Self(), 403); // not in the table
    // A module with no string 400 at all: the caption is missing.
    HMODULE version = GetModuleHandleA("version.dll");
    ASSERT_NE(version, nullptr);
    char probe[8];
    ASSERT_EQ(LoadStringA(version, IDS_CAPTION, probe, sizeof probe), 0);
    ShowStringMessage(version, IDS_CAPTION);
    EXPECT_TRUE(watcher.Stop().empty());
}

// After the startup dialog a WM_QUIT is pending, and a box shown then returns unseen.
TEST(DropPendingQuit, KeepsTheNextBoxOnScreenAndTheLastError)
{
    BoxWatcher watcher;
    PostQuitMessage(0);
    SetLastError(ERROR_FILE_NOT_FOUND);
    DropPendingQuit();
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    ShowSystemError();
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, SystemText(ERROR_FILE_NOT_FOUND));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
