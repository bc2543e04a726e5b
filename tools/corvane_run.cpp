// Starts a launcher and prints its full 32-bit exit code, which Wine's own exit status cuts
// to 8 bits.
//   corvane-run LAUNCHER             start it, wait until the user ends it
//   corvane-run LAUNCHER --hold F [--wait SECONDS]
//                                    for each window the launcher shows, its startup window
//                                    or a message box: write file F and wait until F is
//                                    deleted (a screenshot is taken meanwhile); then print a
//                                    box's caption and text and press its button, or press
//                                    Quit in the startup window
// SECONDS is how long a window may take to appear (default 30; an i686 launcher under
// emulated 32-bit Wine takes a minute or more).
// The launcher runs with its own folder as working directory, as from a disc's autorun.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace
{

const DWORD kDefaultWaitMs = 30000;
const DWORD kHoldTimeoutMs = 60000;
const WPARAM kQuitButton = 302;
const int kMostWindows = 8; // a box that does not go when answered is not held for ever

struct WindowSearch {
    DWORD pid;
    HWND dialog; // the startup window
    HWND box;    // a message box
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    char name[64];
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !IsWindowVisible(window) || !GetClassNameA(window, name, sizeof name))
        return TRUE;
    if (strcmp(name, "CorvaneStartupDialogClass") == 0)
        search->dialog = window;
    else if (strcmp(name, "#32770") == 0)
        search->box = window;
    return TRUE;
}

// The launcher's next window on screen, a message box before the startup window (a box stands
// in front); null when the launcher ended first or the time ran out.
HWND WaitForWindow(HANDLE process, DWORD pid, DWORD waitMs, bool* isBox)
{
    for (DWORD waited = 0; waited < waitMs; waited += 50) {
        WindowSearch search = {pid, nullptr, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        *isBox = search.box != nullptr;
        if (search.box || search.dialog)
            return search.box ? search.box : search.dialog;
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

// Writes the flag file and waits until it is deleted; false when it cannot be written.
bool SignalAndWait(const char* flagFile)
{
    HANDLE flag = CreateFileA(flagFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (flag == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "corvane-run: cannot write %s\n", flagFile);
        return false;
    }
    CloseHandle(flag);
    for (DWORD waited = 0; waited < kHoldTimeoutMs; waited += 100) {
        if (GetFileAttributesA(flagFile) == INVALID_FILE_ATTRIBUTES)
            break;
        Sleep(100);
    }
    DeleteFileA(flagFile);
    return true;
}

// Prints a message box's caption and text and presses Cancel where it has one, else OK;
// returns once the box is gone or the launcher has ended.
void AnswerBox(HANDLE process, HWND box, DWORD waitMs)
{
    char caption[256] = "";
    char text[1024] = "";
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    WPARAM button = GetDlgItem(box, IDCANCEL) ? IDCANCEL : IDOK;
    printf("corvane-run: message box \"%s\": %s\ncorvane-run: pressing %s\n", caption, text,
           button == IDOK ? "OK" : "Cancel");
    fflush(stdout);
    PostMessageA(box, WM_COMMAND, button, 0);
    for (DWORD waited = 0; waited < waitMs && IsWindow(box) && IsWindowVisible(box); waited += 50)
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0)
            return;
}

// Holds every window the launcher shows for its screenshot, answers message boxes and ends
// the launcher with Quit; false when it showed no window at all or stopped showing any.
bool HoldForScreenshots(HANDLE process, DWORD pid, const char* flagFile, DWORD waitMs)
{
    for (int shown = 0; shown < kMostWindows; ++shown) {
        bool isBox = false;
        HWND window = WaitForWindow(process, pid, waitMs, &isBox);
        if (!window) {
            if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0 && shown > 0)
                return true;
            fprintf(stderr, "corvane-run: the launcher %s within %lu s\n",
                    shown ? "showed no further window" : "showed no window",
                    static_cast<unsigned long>(waitMs / 1000));
            return false;
        }
        printf("corvane-run: %s is up\n", isBox ? "a message box" : "startup window");
        fflush(stdout);
        if (!SignalAndWait(flagFile))
            return false;
        if (!isBox) {
            PostMessageA(window, WM_COMMAND, kQuitButton, 0);
            return true;
        }
        AnswerBox(process, window, waitMs);
    }
    fprintf(stderr, "corvane-run: the launcher kept showing windows\n");
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const char* flagFile = nullptr;
    DWORD waitMs = kDefaultWaitMs;
    bool usage = argc < 2;
    for (int i = 2; i < argc && !usage; i += 2) {
        if (i + 1 >= argc)
            usage = true;
        else if (strcmp(argv[i], "--hold") == 0)
            flagFile = argv[i + 1];
        else if (strcmp(argv[i], "--wait") == 0 && atoi(argv[i + 1]) > 0)
            waitMs = DWORD(atoi(argv[i + 1])) * 1000;
        else
            usage = true;
    }
    if (usage) {
        fprintf(stderr, "usage: corvane-run LAUNCHER [--hold FLAGFILE [--wait SECONDS]]\n");
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
    bool held = !flagFile || HoldForScreenshots(pi.hProcess, pi.dwProcessId, flagFile, waitMs);
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
