// Shared by the installer tests in process and end to end: where the stand-in wing32.dll
// files built with chosen versions lie, the Retry/Cancel prompt's text around the
// lower-cased target path, a byte comparison of whole DLLs, and the temporary files that a
// failed copy could leave behind.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

const char kPromptHead[] = "Unable to copy file to ";
const char kPromptTail[] = ".\n\nThis may occur if the file is currently open.  Please close any "
                           "programs that might have this file open and then retry.";
// The same prompt where Windows refused the copy to the user and to an administrator's
// instance, or the user declined to give the permission.
const char kAdminPromptTail[] = ".\n\nOnly an administrator may change this file.  Retry asks "
                                "for permission again; Cancel starts the game without it.";
// The same prompt on Windows NT 4 to XP, which cannot ask for the permission.
const char kRunAsPromptTail[] = ".\n\nOnly an administrator may change this file.  To copy it, "
                                "start this program as an administrator (Run as); Cancel starts "
                                "the game without it.";

// The stand-in DLL built with the given version directory name ("v1000", "none", ...).
inline std::string StandIn(const char* name)
{
    std::string path = std::string("Z:") + CORVANE_STANDIN_DIR + "/" + name + "/wing32.dll";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Compares two files' bytes without printing them (they are whole DLLs).
inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "contents differ (" << actual.size() << " bytes, expected " << expected.size() << ")";
}

// The temporary files in a folder (its path ending in '\').
inline std::vector<std::string> TemporaryFiles(const std::string& dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "*.tmp").c_str(), &found);
    for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
        names.push_back(found.cFileName);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return names;
}
