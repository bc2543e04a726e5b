// disccheck DISC_FOLDER: tells a disc author whether the launcher will work from that folder,
// one finding per line and a last summary line. Exit code 0 when the disc will work, 1 when
// it will not, 2 on bad usage. Started on a console of its own (a double click in
// Explorer), it waits for Enter before that console closes with it.
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
    std::fputs("usage: disccheck DISC_FOLDER\n"
               "(in Explorer: drag the disc folder onto disccheck.exe)\n",
               stderr);
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

// Whether the checker has a console window to itself, which closes when it ends: no other
// process shares it (a command prompt or a script does) and both its input and its output are
// that console, so that a run with redirected or missing input never waits. Windows has
// GetConsoleProcessList from XP on; where it lacks it, nothing is waited for. Under Wine a
// console of its own is the terminal the checker was started from, which stays open.
bool OwnConsole()
{
    using ListProcesses = DWORD(WINAPI*)(DWORD*, DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto list = kernel ? reinterpret_cast<ListProcesses>(reinterpret_cast<void (*)()>(
                                   GetProcAddress(kernel, "GetConsoleProcessList")))
                             : nullptr;
    if (!list || (ntdll && GetProcAddress(ntdll, "wine_get_version")))
        return false;
    DWORD ids[2], mode = 0;
    return list(ids, 2) == 1 && GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) &&
           GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode);
}

// The checker's run; its exit code.
int Check(int argc, char** argv)
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

} // namespace

int main(int argc, char** argv)
{
    const int result = Check(argc, argv);
    if (OwnConsole()) {
        std::fputs("\nPress Enter to close this window.\n", stdout);
        std::fflush(stdout);
        int c;
        do
            c = std::getchar();
        while (c != '\n' && c != EOF);
    }
    return result;
}
