// The file reader against real files in the temporary directory.
#include "bitmap/file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, dir);
    EXPECT_GT(n, 0u);
    return std::string(dir) + name;
}

std::string MakeFile(const char* name, const std::string& bytes)
{
    std::string path = TempPath(name);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return path;
}

// Reads the record the way the reader does: lock, copy, unlock.
FileStreamRecord Peek(FileStream stream)
{
    FileStreamRecord copy{};
    const FileStreamRecord* record = static_cast<const FileStreamRecord*>(GlobalLock(stream));
    EXPECT_NE(record, nullptr);
    if (record) {
        copy = *record;
        GlobalUnlock(stream);
    }
    return copy;
}

class FileReader : public ::testing::Test
{
  protected:
    void SetUp() override { path = MakeFile("corvane_reader.bin", "0123456789"); }
    void TearDown() override { DeleteFileA(path.c_str()); }
    std::string path;
};

TEST_F(FileReader, OpenStartsAtZeroWithTheFileSizeAsExtent)
{
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    FileStreamRecord r = Peek(s);
    EXPECT_EQ(r.Position, 0);
    EXPECT_EQ(r.Extent, 10);
    EXPECT_EQ(GlobalFlags(s) & GMEM_LOCKCOUNT, 0u); // not left locked between calls
    FileClose(s);
    EXPECT_EQ(FileGetSize(path.c_str()), 10);
}

TEST(FileReaderOpen, MissingFileGivesNullAndSizeZero)
{
    std::string missing = TempPath("corvane_no_such_file.bin");
    DeleteFileA(missing.c_str());
    EXPECT_EQ(FileOpen(missing.c_str()), nullptr);
    EXPECT_EQ(FileGetSize(missing.c_str()), 0);
}

TEST(FileReaderOpen, EmptyFileOpensWithExtentZero)
{
    std::string empty = MakeFile("corvane_empty.bin", "");
    FileStream s = FileOpen(empty.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Peek(s).Extent, 0);
    char c = 'x';
    EXPECT_EQ(FileRead(s, &c, 1, 1), 0);
    FileClose(s);
    EXPECT_EQ(FileGetSize(empty.c_str()), 0);
    DeleteFileA(empty.c_str());
}

// OpenFile takes at most 127 characters; a longer path is a file that cannot be opened.
TEST(FileReaderOpen, PathOfOpenFileLimitIsRefused)
{
    std::string name(130, 'a');
    EXPECT_EQ(FileOpen(("C:\\" + name).c_str()), nullptr);
    EXPECT_EQ(FileGetSize(("C:\\" + name).c_str()), 0);
}

TEST_F(FileReader, ReadMovesPositionByBytesRead)
{
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    char buf[16] = {};
    EXPECT_EQ(FileRead(s, buf, 2, 2), 4); // bytes, not items
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(Peek(s).Position, 4);
    // Asking for more than is left gives what was left and ends at the file's size.
    EXPECT_EQ(FileRead(s, buf, 1, 16), 6);
    EXPECT_EQ(std::string(buf, 6), "456789");
    EXPECT_EQ(Peek(s).Position, 10);
    // At the end: 0, position kept.
    EXPECT_EQ(FileRead(s, buf, 1, 1), 0);
    EXPECT_EQ(Peek(s).Position, 10);
    EXPECT_EQ(Peek(s).Extent, 10);
    FileClose(s);
}

TEST_F(FileReader, ZeroItemSizeOrCountReadsNothing)
{
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(FileRead(s, buf, 0, 4), 0);
    EXPECT_EQ(FileRead(s, buf, 4, 0), 0);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(Peek(s).Position, 0);
    FileClose(s);
}

TEST_F(FileReader, OneItemOfNBytesEqualsNItemsOfOneByte)
{
    char a[8] = {}, b[8] = {};
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FileRead(s, a, 8, 1), 8);
    FileClose(s);
    s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FileRead(s, b, 1, 8), 8);
    FileClose(s);
    EXPECT_EQ(std::string(a, 8), std::string(b, 8));
}

// A request whose size does not fit the signed result is refused before reading.
TEST_F(FileReader, OversizedRequestIsRefused)
{
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    char buf[1] = {'x'};
    EXPECT_EQ(FileRead(s, buf, 0x10000, 0x10000), -1); // 2^32 wraps to 0 in 32 bits
    EXPECT_EQ(FileRead(s, buf, 0x80000000u, 1), -1);
    EXPECT_EQ(buf[0], 'x');
    EXPECT_EQ(Peek(s).Position, 0);
    FileClose(s);
}

TEST_F(FileReader, SeekFollowsOriginAndRaisesExtentPastTheEnd)
{
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FileSeek(s, 3, FILE_BEGIN), 3);
    EXPECT_EQ(FileSeek(s, 2, FILE_CURRENT), 5);
    EXPECT_EQ(FileSeek(s, -1, FILE_END), 9);
    EXPECT_EQ(Peek(s).Extent, 10);
    char c = 0;
    EXPECT_EQ(FileRead(s, &c, 1, 1), 1);
    EXPECT_EQ(c, '9');
    EXPECT_EQ(FileSeek(s, 25, FILE_BEGIN), 25);
    EXPECT_EQ(Peek(s).Position, 25);
    EXPECT_EQ(Peek(s).Extent, 25);
    EXPECT_EQ(FileRead(s, &c, 1, 1), 0);
    EXPECT_EQ(FileSeek(s, 5, FILE_BEGIN), 5); // going back keeps the raised extent
    EXPECT_EQ(Peek(s).Extent, 25);
    FileClose(s);
}

TEST_F(FileReader, FailedSeekChangesNothing)
{
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FileSeek(s, 4, FILE_BEGIN), 4);
    EXPECT_EQ(FileSeek(s, -20, FILE_BEGIN), -1);
    EXPECT_EQ(FileSeek(s, -20, FILE_CURRENT), -1);
    FileStreamRecord r = Peek(s);
    EXPECT_EQ(r.Position, 4);
    EXPECT_EQ(r.Extent, 10);
    char c = 0;
    EXPECT_EQ(FileRead(s, &c, 1, 1), 1);
    EXPECT_EQ(c, '4');
    FileClose(s);
}

// The file stays open while a stream holds it (so it cannot be deleted), and FileGetSize
// leaves nothing open behind it: the file can be deleted right after.
TEST_F(FileReader, GetSizeLeavesNothingOpen)
{
    FileStream s = FileOpen(path.c_str());
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    FileClose(s);

    EXPECT_EQ(FileGetSize(path.c_str()), 10);
    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
    CloseHandle(exclusive);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(FileReaderNull, NullStreamFailsWithoutTouchingAnything)
{
    char c = 'x';
    EXPECT_EQ(FileRead(nullptr, &c, 1, 1), -1);
    EXPECT_EQ(FileSeek(nullptr, 0, FILE_BEGIN), -1);
    FileClose(nullptr);
    EXPECT_EQ(c, 'x');
}

} // namespace
