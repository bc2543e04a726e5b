// disccheck DISC_FOLDER: tells a disc author whether the launcher will work from that folder,
// one finding per line and a last summary line. Exit code 0 when the disc will work, 1 when
// it will not, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <string>

#include "disccheck/disc_reader.h"

namespace
{

int Usage(const char* problem)
{
    if (problem)
        std::fprintf(stderr, "disccheck: %s\n", problem);
    std::fputs("usage: disccheck DISC_FOLDER\n", stderr);
    return kExitUsage;
}

// The folder's full path ending in a backslash; false when it is no folder. A quote at the
// end is what a quoted folder ending in a backslash ("D:\my disc\") leaves after the
// command line is split; no name holds one, so it is dropped.
bool DiscFolder(std::string argument, std::string* folder)
{
    if (!argument.empty() && argument.back() == '"')
        argument.pop_back();
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(argument.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return false;
    const DWORD attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *folder = full;
    if (folder->back() != '\\')
        *folder += '\\';
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return Usage(nullptr);
    std::string folder;
    if (!DiscFolder(argv[1], &folder))
        return Usage((std::string(argv[1]) + " is not a folder").c_str());

    DiscFacts facts;
    GatherDiscFacts(GetModuleHandleA(nullptr), folder, &facts);
    const std::vector<Finding> findings = CheckDisc(facts);
    std::printf("disc folder: %s\n", folder.c_str());
    for (const Finding& finding : findings)
        std::printf("%s\n", FormatFinding(finding).c_str());
    std::printf("%s\n", SummaryLine(findings).c_str());
    return ExitCodeFor(findings);
}
