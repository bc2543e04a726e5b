// launcher.exe's own memory and string routines, built here under other names beside the
// host's C library and compared with it at every length and alignment that their word loops
// and byte tails can meet.
#define C_ROUTINE(name) own_##name
#include "launcher/runtime/c_routines.cpp"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace
{

constexpr size_t kSpan = 96;

std::vector<unsigned char> Pattern()
{
    std::vector<unsigned char> bytes(kSpan);
    for (size_t i = 0; i < kSpan; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + 1);
    return bytes;
}

TEST(CRoutines, CopyMoveAndFillMatchTheHostAtEveryAlignmentAndLength)
{
    for (size_t from = 0; from < 9; ++from) {
        for (size_t to = 0; to < 9; ++to) {
            for (size_t n = 0; n + 16 < kSpan; ++n) {
                SCOPED_TRACE(testing::Message() << "from " << from << " to " << to << " n " << n);
                std::vector<unsigned char> want = Pattern(), got = Pattern();
                memmove(&want[to], &want[from], n); // overlapping both ways
                EXPECT_EQ(own_memmove(&got[to], &got[from], n), &got[to]);
                ASSERT_EQ(got, want);

                const std::vector<unsigned char> source = Pattern();
                want = std::vector<unsigned char>(kSpan, 0xEE);
                got = want;
                memcpy(&want[to], &source[from], n);
                EXPECT_EQ(own_memcpy(&got[to], &source[from], n), &got[to]);
                ASSERT_EQ(got, want);

                memset(&want[to], int(0x180 + from), n); // only the low byte counts
                own_memset(&got[to], int(0x180 + from), n);
                ASSERT_EQ(got, want);
            }
        }
    }
}

TEST(CRoutines, SearchesStopAtTheirBounds)
{
    const char text[] = "ab\\cd\\\0tail";
    EXPECT_EQ(own_strlen(text), 6u);
    EXPECT_EQ(own_strlen(""), 0u);
    EXPECT_EQ(own_strnlen(text, 4), 4u);
    EXPECT_EQ(own_strnlen(text, 100), 6u);
    EXPECT_EQ(own_strchr(text, '\\'), text + 2);
    EXPECT_EQ(own_strchr(text, '\0'), text + 6);
    EXPECT_EQ(own_strchr(text, 't'), nullptr);
    EXPECT_EQ(own_memchr(text, 't', sizeof text), text + 7);
    EXPECT_EQ(own_memchr(text, 't', 7), nullptr);
    EXPECT_EQ(own_memchr(text, 0x100 + 'c', 7), text + 3);
}

} // namespace
