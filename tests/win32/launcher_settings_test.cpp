#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "common/globals.h"
#include "launcher/launcher.h"
#include "tests/win32/launcher_box_watcher.h"

namespace
{

// A fresh folder under the temporary directory, ending in a backslash.
std::string FreshDir(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "corvane_" + name + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    DeleteFileA((dir + "autorun.inf").c_str());
    return dir;
}

void WriteText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
}

using Boxes = std::vector<std::string>;

// The given member of each box, in order.
Boxes Each(const std::vector<SeenBox>& boxes, std::string SeenBox::*member)
{
    Boxes out;
    for (const SeenBox& box : boxes)
        out.push_back(box.*member);
    return out;
}

struct ProfileCase {
    const char* rule;
    const char* content; // null: no autorun.inf
    Boxes captions;
    Boxes texts; // of the boxes before string 402's, when the file was read
};

const char kNoSection[] = "autorun.inf has no [CorvaneGame] section, or it is empty.";

// One "Error" box right after each read that yields nothing, then string 402. A file that was
// read is told what it lacks, a missing section once.
TEST(ReadGameSettings, ReportsEachFailedReadThenTheIncorrectFile)
{
    // clang-format off
    const ProfileCase cases[] = {
        {"file missing", nullptr, {"Error", "Error", "Corvane"}, {}},
        {"section missing", "[autorun]\r\nopen=launcher.exe\r\n", {"Error", "Corvane"}, {kNoSection}},
        {"section empty", "[CorvaneGame]\r\n[autorun]\r\nopen=x\r\n", {"Error", "Corvane"}, {kNoSection}},
        {"game empty", "[CorvaneGame]\r\ngame=\r\nbitmap=title.bmp\r\n", {"Error", "Corvane"},
         {"game= in [CorvaneGame] of autorun.inf is empty."}},
        {"bitmap missing", "[CorvaneGame]\r\ngame=GAME\\START.EXE\r\n", {"Error", "Corvane"},
         {"autorun.inf has no bitmap= line in [CorvaneGame]."}},
        {"both lacking", "[CorvaneGame]\r\nbitmap= \r\nother=1\r\n", {"Error", "Error", "Corvane"},
         {"autorun.inf has no game= line in [CorvaneGame].", "bitmap= in [CorvaneGame] of autorun.inf is empty."}},
        {"both present", "[CorvaneGame]\r\ngame = GAME\\START.EXE -x \r\nbitmap=title.bmp\r\n", {}, {}},
    };
    // clang-format on
    const std::string dir = FreshDir("profile");
    const std::string profile = dir + "autorun.inf";
    for (const ProfileCase& c : cases) {
        SCOPED_TRACE(c.rule);
        DeleteFileA(profile.c_str());
        if (c.content)
            WriteText(profile, c.content);
        SetLastError(ERROR_INVALID_PARAMETER); // a stale code from before is not the read's
        BoxWatcher watcher;
        const bool ok = ReadGameSettings(GetModuleHandleA(nullptr), profile.c_str());
        const auto boxes = watcher.Stop();
        EXPECT_EQ(ok, c.captions.empty());
        EXPECT_EQ(Each(boxes, &SeenBox::caption), c.captions);
        if (!boxes.empty()) {
            EXPECT_EQ(boxes.back().text, "Your autorun.inf file is not correct.");
        }
        if (c.content) {
            Boxes told = Each(boxes, &SeenBox::text);
            if (!told.empty())
                told.pop_back(); // string 402
            EXPECT_EQ(told, c.texts);
        }
    }
    EXPECT_STREQ(GameFile, "GAME\\START.EXE -x");
    EXPECT_STREQ(BitmapFile, "title.bmp");
}

TEST(ReadGameSettings, MissingFileNamesTheSystemsReason)
{
    const std::string profile = FreshDir("nofile") + "autorun.inf";
    BoxWatcher watcher;
    ReadGameSettings(GetModuleHandleA(nullptr), profile.c_str());
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, SystemText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(boxes[1].text, SystemText(ERROR_FILE_NOT_FOUND));
}

TEST(ReadGameSettings, LongValuesArriveCutTo258Characters)
{
    const std::string profile = FreshDir("long") + "autorun.inf";
    const std::string game(300, 'g');
    WriteText(profile, "[CorvaneGame]\r\ngame=" + game + "\r\nbitmap=b.bmp\r\n");
    BoxWatcher watcher;
    EXPECT_TRUE(ReadGameSettings(GetModuleHandleA(nullptr), profile.c_str()));
    EXPECT_TRUE(watcher.Stop().empty());
    EXPECT_EQ(std::string(GameFile), game.substr(0, 258));
}

struct StartCase {
    const char* rule;
    std::string sourceDir;
    std::string gameFile;
    DWORD error; // 0: starts, no box
};

// The game's start runs after the dialog, with its WM_QUIT still pending: a failure box
// must still be seen.
TEST(StartGame, ReportsAFailedStartEvenWithAQuitPending)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    const StartCase cases[] = {
        {"program missing", FreshDir("nogame"), "GAME\\START.EXE", ERROR_FILE_NOT_FOUND},
        {"command line too long", "C:\\" + std::string(250, 'd') + "\\", "GAME\\START.EXE",
         ERROR_FILENAME_EXCED_RANGE},
        {"program starts", std::string(system) + "\\", "cmd.exe /c exit 0", 0},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.rule);
        BoxWatcher watcher;
        PostQuitMessage(0);
        StartGame(c.sourceDir.c_str(), c.gameFile.c_str());
        const auto boxes = watcher.Stop();
        if (c.error == 0) {
            EXPECT_TRUE(boxes.empty());
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].text, SystemText(c.error));
        EXPECT_EQ(boxes[0].owner, nullptr);
    }
}

} // namespace
