// The process entry point of launcher.exe, which links no C runtime: it hands WinMain what a
// runtime's start-up would and ends the process with WinMain's result.
#include <windows.h>

#include "common/system_functions.h"
#include "launcher/launch_paths.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

extern "C" void LauncherEntry()
{
    RestrictDllSearch(true);
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    char* arguments = const_cast<char*>(CommandLineArguments(GetCommandLineA()));
    ExitProcess(UINT(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, show)));
}
