#include "installer/version_decision.h"

#include <cstring>
#include <gtest/gtest.h>

namespace
{

const FileVersion kNone = {false, 0, 0};

FileVersion V(uint32_t ms, uint32_t ls)
{
    return FileVersion{true, ms, ls};
}

struct DecisionCase {
    const char* rule;
    FileVersion installed;
    FileVersion disc;
    bool copy;
};

const DecisionCase kDecisionCases[] = {
    {"nothing installed", kNone, V(0x00010000, 0), true},
    {"disc copy unreadable", V(0x00010000, 0), kNone, true},
    {"disc copy unreadable, installed far newer", V(0xFFFFFFFF, 0xFFFFFFFF), kNone, true},
    {"neither readable", kNone, kNone, true},
    {"unversioned installed copy is replaced even when newer in fact", kNone, V(0, 1), true},
    {"equal versions are kept", V(0x00010000, 0x00000001), V(0x00010000, 0x00000001), false},
    {"equal zero versions are kept", V(0, 0), V(0, 0), false},
    {"installed MS newer, LS smaller", V(0x00020000, 0), V(0x00010000, 0xFFFFFFFF), false},
    {"installed MS newer, LS equal", V(0x00020000, 5), V(0x00010000, 5), false},
    {"installed MS newer, LS larger", V(0x00020000, 9), V(0x00010000, 5), false},
    {"equal MS, installed LS smaller", V(0x00010000, 0x00000000), V(0x00010000, 0x00000001), true},
    {"equal MS, installed LS larger", V(0x00010000, 0x00000002), V(0x00010000, 0x00000001), false},
    {"installed MS smaller, LS larger", V(0x00010000, 0xFFFFFFFF), V(0x00020000, 0), true},
    {"installed MS minor part smaller", V(0x00010001, 0), V(0x00010002, 0), true},
    {"top bit of installed MS counts as larger", V(0x80000000, 0), V(0x7FFFFFFF, 0xFFFFFFFF),
     false},
    {"top bit of disc MS counts as larger", V(0x7FFFFFFF, 0xFFFFFFFF), V(0x80000000, 0), true},
    {"top bit of LS counts as larger", V(1, 0x80000000), V(1, 0x7FFFFFFF), false},
    {"top bit of disc LS counts as larger", V(1, 0x7FFFFFFF), V(1, 0x80000000), true},
};

TEST(VersionDecision, CopiesUnlessInstalledPairIsAtLeastDiscPair)
{
    for (const DecisionCase& c : kDecisionCases)
        EXPECT_EQ(NeedsCopy(c.installed, c.disc), c.copy) << c.rule;
}

TEST(SystemDirectory, GetsOneTrailingBackslash)
{
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\windows\\system32", "C:\\windows\\system32\\"},
        {"C:\\windows\\system32\\", "C:\\windows\\system32\\"},
        {"C:\\", "C:\\"},
        {"X", "X\\"},
    };
    for (const auto& c : cases) {
        char dir[260];
        strcpy(dir, c.in);
        EXPECT_TRUE(EnsureTrailingBackslash(dir, sizeof dir)) << c.in;
        EXPECT_STREQ(dir, c.out);
    }
}

TEST(SystemDirectory, RefusesWhatCannotBeMadeADirectory)
{
    char dir[8];
    dir[0] = '\0';
    EXPECT_FALSE(EnsureTrailingBackslash(dir, sizeof dir)) << "empty name";

    strcpy(dir, "ABCDEF\\"); // full, but already ends in a backslash
    EXPECT_TRUE(EnsureTrailingBackslash(dir, sizeof dir));
    EXPECT_STREQ(dir, "ABCDEF\\");

    char full[9] = "ABCDEFG"; // 7 characters, no room for one more in 8 bytes
    full[8] = '#';            // guard byte past the buffer handed over
    EXPECT_FALSE(EnsureTrailingBackslash(full, 8));
    EXPECT_STREQ(full, "ABCDEFG");
    EXPECT_EQ(full[8], '#');

    char unterminated[4] = {'A', 'B', 'C', 'D'};
    EXPECT_FALSE(EnsureTrailingBackslash(unterminated, sizeof unterminated));
    EXPECT_EQ(memcmp(unterminated, "ABCD", 4), 0);
}

} // namespace

namespace
{

// GetSystemDirectoryA answers the name's length, 0 on failure, or the size it needs
// (terminator included) when the buffer was too small; only the first is a name.
TEST(SystemDirectory, OnlyAReportedLengthBelowTheAskedSizeIsAName)
{
    const unsigned asked = 259;
    char dir[260];

    strcpy(dir, "C:\\windows\\system32");
    EXPECT_TRUE(TakeSystemDirectory(dir, sizeof dir, 19, asked));
    EXPECT_STREQ(dir, "C:\\windows\\system32\\");

    strcpy(dir, "C:\\");
    EXPECT_TRUE(TakeSystemDirectory(dir, sizeof dir, 3, asked));
    EXPECT_STREQ(dir, "C:\\");

    memset(dir, 'a', sizeof dir);
    dir[258] = '\0'; // longest name that fits: 258 characters, then one backslash
    EXPECT_TRUE(TakeSystemDirectory(dir, sizeof dir, 258, asked));
    EXPECT_EQ(strlen(dir), 259u);
    EXPECT_EQ(dir[258], '\\');

    memset(dir, 'a', sizeof dir); // what a too-small buffer may hold: no terminator at all
    EXPECT_FALSE(TakeSystemDirectory(dir, sizeof dir, 260, asked)) << "needed size, 259 chars";
    EXPECT_FALSE(TakeSystemDirectory(dir, sizeof dir, 259, asked)) << "needed size equal to ask";
    EXPECT_FALSE(TakeSystemDirectory(dir, sizeof dir, 4000, asked));
    EXPECT_FALSE(TakeSystemDirectory(dir, sizeof dir, 0, asked)) << "call failed";
    EXPECT_FALSE(TakeSystemDirectory(dir, sizeof dir, 10, 260)) << "no room left for '\\'";
}

} // namespace
