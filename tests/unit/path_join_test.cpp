#include "common/path_join.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

TEST(PathJoin, JoinsWithoutSeparator)
{
    char buf[260];
    ASSERT_TRUE(JoinPath(buf, sizeof buf, "D:\\", "GAME\\START.EXE"));
    EXPECT_STREQ(buf, "D:\\GAME\\START.EXE");
}

TEST(PathJoin, LongestThatFitsAndOneMore)
{
    char buf[260];
    std::string a(200, 'a'), b(59, 'b');
    ASSERT_TRUE(JoinPath(buf, sizeof buf, a.c_str(), b.c_str()));
    EXPECT_EQ(strlen(buf), 259u);
    b += 'b';
    memset(buf, 'x', sizeof buf);
    EXPECT_FALSE(JoinPath(buf, sizeof buf, a.c_str(), b.c_str()));
    EXPECT_STREQ(buf, "");
}

TEST(PathJoin, EmptyPartsAndTinyBuffers)
{
    char buf[4];
    ASSERT_TRUE(JoinPath(buf, sizeof buf, "", &"autorun.inf"[8]));
    EXPECT_STREQ(buf, "inf");
    EXPECT_FALSE(JoinPath(buf, 0, "", ""));
    ASSERT_TRUE(JoinPath(buf, 1, "", ""));
    EXPECT_STREQ(buf, "");
    EXPECT_FALSE(JoinPath(buf, 1, "a", ""));
    EXPECT_STREQ(buf, "");
}
