// Starts a launcher and prints its full 32-bit exit code, which Wine's own exit status cuts
// to 8 bits.
//   corvane-run LAUNCHER            start it, wait until the user ends it
//   corvane-run LAUNCHER --hold F   once its window is up, write file F and wait until F is
//                                   deleted (a screenshot is taken meanwhile), then press Quit
// The launcher runs with its own folder as working directory, as from a disc's autorun.
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace
{

const DWORD kWindowTimeoutMs = 30000;
const DWORD kHoldTimeoutMs = 60000;
const WPARAM kQuitButton = 302;

struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    char name[64];
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && GetClassNameA(window, name, sizeof name) &&
        strcmp(name, "CorvaneStartupDialogClass") == 0 && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The launcher's startup dialog once it is on screen; null when the launcher ended first or
// the time ran out.
HWND WaitForDialog(HANDLE process, DWORD pid)
{
    for (DWORD waited = 0; waited < kWindowTimeoutMs; waited += 50) {
        WindowSearch search = {pid, nullptr};
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

bool HoldForScreenshot(HANDLE process, DWORD pid, const char* flagFile)
{
    HWND dialog = WaitForDialog(process, pid);
    if (!dialog) {
        fprintf(stderr, "corvane-run: the launcher showed no startup window\n");
        return false;
    }
    HANDLE flag = CreateFileA(flagFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (flag == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "corvane-run: cannot write %s\n", flagFile);
        return false;
    }
    CloseHandle(flag);
    printf("corvane-run: startup window is up\n");
    fflush(stdout);
    for (DWORD waited = 0; waited < kHoldTimeoutMs; waited += 100) {
        if (GetFileAttributesA(flagFile) == INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(100);
    }
    DeleteFileA(flagFile);
    PostMessageA(dialog, WM_COMMAND, kQuitButton, 0);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && strcmp(argv[2], "--hold") == 0)) {
        fprintf(stderr, "usage: corvane-run LAUNCHER [--hold FLAGFILE]\n");
        return 2;
    }
    char directory[MAX_PATH];
    char* filePart = nullptr;
    if (!GetFullPathNameA(argv[1], sizeof directory, directory, &filePart) || !filePart) {
        fprintf(stderr, "corvane-run: bad launcher path %s\n", argv[1]);
        return 2;
    }
    *filePart = '\0';
    char commandLine[MAX_PATH + 3];
    _snprintf(commandLine, sizeof commandLine, "\"%s\"", argv[1]);
    commandLine[sizeof commandLine - 1] = '\0';

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(argv[1], commandLine, nullptr, nullptr, FALSE, 0, nullptr, directory, &si,
                        &pi)) {
        fprintf(stderr, "corvane-run: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    bool held = argc != 4 || HoldForScreenshot(pi.hProcess, pi.dwProcessId, argv[3]);
    if (!held && WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 0xDEAD);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    printf("launcher exit code: %lu (0x%lX)\n", static_cast<unsigned long>(code),
           static_cast<unsigned long>(code));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return held ? 0 : 1;
}
