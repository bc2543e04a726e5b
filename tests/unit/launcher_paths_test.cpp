#include "launcher/launch_paths.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace
{

struct CommandCase {
    const char* rule;
    const char* sourceDir;
    const char* gameFile; // as the profile reader hands it over
    const char* commandLine;
    const char* files = ""; // the files under sourceDir, each followed by '|'
};

// Whether path is one of the files in the '|'-ended list given as context.
bool InList(const char* path, const void* files)
{
    const std::string list = "|" + std::string(static_cast<const char*>(files));
    return list.find("|" + std::string(path) + "|") != std::string::npos;
}

const CommandCase kCommandCases[] = {
    {"root of a drive", "D:\\", "GAME\\START.EXE", "D:\\GAME\\START.EXE"},
    {"no blank: joined as it stands, arguments included", "D:\\", "GAME\\START.EXE -w  x",
     "D:\\GAME\\START.EXE -w  x"},
    {"no blank: a quoted program is quoted with the root", "D:\\", "\"My Game\\START.EXE\" -w",
     "\"D:\\My Game\\START.EXE\" -w", "My Game\\START.EXE|"},
    {"empty directory: the value alone", "", "GAME\\START.EXE /x", "GAME\\START.EXE /x"},
    {"blank in directory: program quoted", "C:\\Disc Copy\\", "GAME\\START.EXE",
     "\"C:\\Disc Copy\\GAME\\START.EXE\""},
    {"blank in directory: arguments follow the quotes", "C:\\Disc Copy\\", "GAME\\START.EXE -w 2",
     "\"C:\\Disc Copy\\GAME\\START.EXE\" -w 2"},
    {"tab counts as a blank", "C:\\Disc\tCopy\\", "START.EXE\t-w",
     "\"C:\\Disc\tCopy\\START.EXE\"\t-w"},
    {"quoted program with a blank of its own", "C:\\Disc Copy\\", "\"My Game\\start.exe\" -x",
     "\"C:\\Disc Copy\\My Game\\start.exe\" -x"},
    {"unclosed quote: the rest is the program", "C:\\A B\\", "\"My Game\\start.exe",
     "\"C:\\A B\\My Game\\start.exe\""},
    // The program is the longest leading part that names a file, quoted.
    {"game=\"My Game\\START.EXE\" \"-w\": the dropped closing quote goes back", "D:\\",
     "My Game\\START.EXE\" \"-w", "\"D:\\My Game\\START.EXE\" \"-w\"",
     "My.exe|My Game\\START.EXE|"},
    {"unquoted blanks: the file, never D:\\My.exe", "D:\\", "My Game\\START.EXE -windowed",
     "\"D:\\My Game\\START.EXE\" -windowed", "My|My.exe|My Game\\START.EXE|"},
    {"game=\"My Game\\START.EXE\" arrives whole", "D:\\", "My Game\\START.EXE",
     "\"D:\\My Game\\START.EXE\"", "My Game\\START.EXE|"},
    {"no blank in the program: as it stands, quoted arguments too", "D:\\",
     "GAME\\START.EXE -level 3 \"two words\"", "D:\\GAME\\START.EXE -level 3 \"two words\"",
     "GAME\\START.EXE|"},
    {"a part ending in a blank before a quote is none", "D:\\", "My Game\\START.EXE \"x\"",
     "\"D:\\My Game\\START.EXE\" \"x\"", "My Game\\START.EXE |My Game\\START.EXE|"},
    {"no extension: Windows adds .exe, as today", "D:\\", "GAME\\START -w", "D:\\GAME\\START -w",
     "GAME\\START.EXE|"},
};

TEST(GameCommandLine, QuotesTheProgramThatTheValueNamesByItsFile)
{
    for (const CommandCase& c : kCommandCases) {
        SCOPED_TRACE(c.rule);
        char buf[260];
        const size_t fileLength = ProgramFileLength(c.gameFile, InList, c.files);
        ASSERT_TRUE(BuildGameCommandLine(buf, sizeof buf, c.sourceDir, c.gameFile, fileLength));
        EXPECT_STREQ(buf, c.commandLine);
    }
}

// 259 characters fit a 260-byte buffer, 260 do not; quoting adds two.
TEST(GameCommandLine, RefusesWhatDoesNotFitAndWritesNothingBeyond)
{
    const std::string plainDir = "D:\\" + std::string(200, 'd') + "\\";
    const std::string blankDir = "D:\\a b" + std::string(197, 'd') + "\\";
    for (const std::string& dir : {plainDir, blankDir}) {
        const size_t room = 259 - dir.size() - (dir == blankDir ? 2 : 0);
        char buf[300];
        memset(buf, 'x', sizeof buf);
        const std::string fits(room, 'g');
        ASSERT_TRUE(BuildGameCommandLine(buf, 260, dir.c_str(), fits.c_str(), 0));
        EXPECT_EQ(strlen(buf), 259u);
        EXPECT_EQ(buf[260], 'x');
        memset(buf, 'x', sizeof buf);
        const std::string tooLong = fits + "g";
        EXPECT_FALSE(BuildGameCommandLine(buf, 260, dir.c_str(), tooLong.c_str(), 0));
        EXPECT_STREQ(buf, "");
        EXPECT_EQ(buf[260], 'x');
    }
}

struct DirCase {
    const char* rule;
    const char* name;
    unsigned long length;
    ModuleDirStatus status;
    const char* dir;
};

const DirCase kDirCases[] = {
    {"drive root", "D:\\launcher.exe", 15, ModuleDirStatus::Found, "D:\\"},
    {"nested, last backslash wins", "C:\\A B\\c\\launcher.exe", 21, ModuleDirStatus::Found,
     "C:\\A B\\c\\"},
    {"no backslash", "launcher.exe", 12, ModuleDirStatus::Found, ""},
    {"name not available", "", 0, ModuleDirStatus::Unavailable, ""},
};

TEST(ModuleDirectory, KeepsEverythingUpToTheLastBackslash)
{
    for (const DirCase& c : kDirCases) {
        SCOPED_TRACE(c.rule);
        char name[260] = {};
        strcpy(name, c.name);
        char dir[260];
        memset(dir, 'x', sizeof dir);
        EXPECT_EQ(DirectoryFromModuleName(dir, sizeof dir, name, 259, c.length), c.status);
        EXPECT_STREQ(dir, c.dir);
    }
}

// A name that fills all 259 bytes (with or without a terminator) was cut: it is refused, and
// no byte after the 259 given is read (the buffer ends there).
TEST(ModuleDirectory, RefusesACutName)
{
    char* exact = new char[259];
    memset(exact, 'a', 259);
    exact[2] = '\\';
    char dir[260];
    EXPECT_EQ(DirectoryFromModuleName(dir, sizeof dir, exact, 259, 259), ModuleDirStatus::TooLong);
    EXPECT_STREQ(dir, "");
    // Newer systems terminate the cut name and still report the full size.
    exact[258] = '\0';
    EXPECT_EQ(DirectoryFromModuleName(dir, sizeof dir, exact, 259, 259), ModuleDirStatus::TooLong);
    // A length short of the size but no terminator anywhere is no name either.
    memset(exact, 'a', 259);
    EXPECT_EQ(DirectoryFromModuleName(dir, sizeof dir, exact, 259, 100), ModuleDirStatus::TooLong);
    delete[] exact;
}

TEST(ModuleDirectory, LongestUncutNameIsUsed)
{
    std::string name = "C:\\" + std::string(240, 'd') + "\\" + std::string(14, 'f');
    ASSERT_EQ(name.size(), 258u);
    char buf[260] = {};
    memcpy(buf, name.c_str(), name.size());
    char dir[260];
    EXPECT_EQ(DirectoryFromModuleName(dir, sizeof dir, buf, 259, 258), ModuleDirStatus::Found);
    EXPECT_EQ(std::string(dir), name.substr(0, 244));
}

// What WinMain gets as its command line: the arguments behind the program's name.
TEST(CommandLineArguments, SkipTheProgramNameQuotedOrNotAndTheBlanksAfterIt)
{
    const char* const cases[][2] = {
        {"launcher.exe", ""},
        {"D:\\launcher.exe -a b", "-a b"},
        {"\"C:\\A B\\launcher.exe\"  -a \"b c\"", "-a \"b c\""},
        {"\"C:\\A B\\launcher.exe\"x y", "x y"},
        {"\"C:\\unclosed quote", ""},
        {"launcher.exe\t\t-w", "-w"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(CommandLineArguments(c[0]), c[1]) << c[0];
}

} // namespace
