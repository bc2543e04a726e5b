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

} // namespace e2e
