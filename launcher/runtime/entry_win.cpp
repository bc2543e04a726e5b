// The process entry point of launcher.exe, which links no C runtime: it hands WinMain what a
// runtime's start-up would and ends the process with WinMain's result.
#include <windows.h>

#include "common/system_functions.h"
#include "launcher/launch_paths.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace
{

// Keeps every later DLL search out of the launcher's own folder and the current one, which
// anyone may write to when the disc was copied: only the system directory where Windows
// allows it (Windows 8, and 7 or Vista updated), else without the current directory (XP SP1
// on). Windows 95 to Me have neither call and keep their search.
void RestrictDllSearch()
{
    typedef BOOL(WINAPI * SetDefaultDirectories)(DWORD);
    typedef BOOL(WINAPI * SetDirectory)(const char*);
    const SetDefaultDirectories setDefault =
        SetDefaultDirectories(KernelFunction("SetDefaultDllDirectories"));
    if (setDefault) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
        return;
    }
    const SetDirectory setDirectory = SetDirectory(KernelFunction("SetDllDirectoryA"));
    if (setDirectory)
        setDirectory("");
}

} // namespace

extern "C" void LauncherEntry()
{
    RestrictDllSearch();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    char* arguments = const_cast<char*>(CommandLineArguments(GetCommandLineA()));
    ExitProcess(UINT(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, show)));
}
