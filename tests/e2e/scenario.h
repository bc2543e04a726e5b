// Helpers shared by the scenario files: a disc folder per test and common expectations.
#pragma once
#include "tests/e2e/harness.h"

#include <gtest/gtest.h>

namespace e2e
{

// C:\e2e\<test name>\ (parameterised tests: the name with '/' turned into '-').
inline std::string TestDiscRoot()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info->name();
    for (char& c : name)
        if (c == '/')
            c = '-';
    return WorkRoot() + name + "\\";
}

// A folder under base whose full path, trailing backslash included, is exactly length
// characters long (segments of at most 100 characters).
inline std::string PaddedDir(const std::string& base, size_t length)
{
    std::string dir = base;
    while (dir.size() < length) {
        size_t room = length - dir.size(); // characters still to add, '\' included
        size_t segment = room > 101 ? 100 : room - 1;
        if (room > 101 && room - 101 < 2)
            segment = 90; // never leave a remainder too short for a name and its backslash
        dir += std::string(segment ? segment : 1, 'd') + "\\";
    }
    return dir;
}

constexpr DWORD kErrorFilenameExcedRange = 206;

inline bool IsClassAtom(DWORD code)
{
    return code >= 0xC000 && code <= 0xFFFF;
}

// Starts the launcher at exePath and waits for its startup dialog.
inline ::testing::AssertionResult OpenDialog(Launcher* launcher, const std::string& exePath,
                                             HWND* dialog)
{
    *dialog = nullptr;
    if (!StartLauncher(launcher, exePath))
        return ::testing::AssertionFailure() << "cannot start " << exePath;
    *dialog = WaitForStartupDialog(*launcher);
    if (*dialog == nullptr)
        return ::testing::AssertionFailure() << "no startup dialog";
    return ::testing::AssertionSuccess();
}

// Presses Play, waits for the launcher to end with Play's identifier and reads what the game
// was started with.
inline void PlayAndReadGame(Launcher& launcher, HWND dialog, GameRecord* record)
{
    PressButton(dialog, 301);
    DWORD code = 0;
    ASSERT_TRUE(WaitForExit(launcher, kExitTimeoutMs, &code));
    EXPECT_EQ(code, 301u);
    ASSERT_TRUE(ReadGameRecord(launcher.recordFile, record));
}

// The launcher showed exactly count "Error" boxes, each with the system's text for an
// over-long name.
inline void ExpectNameTooLongBoxes(const std::vector<Box>& boxes, size_t count)
{
    ASSERT_EQ(boxes.size(), count);
    for (const Box& box : boxes) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, SystemText(kErrorFilenameExcedRange));
        EXPECT_EQ(box.icon, "error");
    }
}

} // namespace e2e
