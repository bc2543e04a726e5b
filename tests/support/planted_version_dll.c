/* A version.dll planted beside launcher.exe, as an attacker would leave it in a writable
 * folder: its three functions that the launcher's version read uses append their name to the
 * file that CORVANE_PLANTED_RECORD names, and report no version. Wine's own user32 imports the
 * Unicode functions (Windows' does not), so they are here too, silent. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#pragma GCC diagnostic ignored "-Wunused-parameter"

static void Record(const char* name)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("CORVANE_PLANTED_RECORD", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, name, lstrlenA(name), &written, NULL);
    WriteFile(file, "\n", 1, &written, NULL);
    CloseHandle(file);
}

/* Returns 0 (no size, FALSE), after recording the call where recorded is 1. */
#define PLANTED(type, name, recorded, ...)                                                         \
    __declspec(dllexport) type WINAPI name(__VA_ARGS__)                                            \
    {                                                                                              \
        if (recorded)                                                                              \
            Record(#name);                                                                         \
        return 0;                                                                                  \
    }

PLANTED(DWORD, GetFileVersionInfoSizeA, 1, const char* path, DWORD* handle)
PLANTED(BOOL, GetFileVersionInfoA, 1, const char* path, DWORD handle, DWORD size, void* data)
PLANTED(BOOL, VerQueryValueA, 1, const void* block, const char* name, void** found, UINT* length)
PLANTED(DWORD, GetFileVersionInfoSizeW, 0, const WCHAR* path, DWORD* handle)
PLANTED(BOOL, GetFileVersionInfoW, 0, const WCHAR* path, DWORD handle, DWORD size, void* data)
PLANTED(BOOL, VerQueryValueW, 0, const void* block, const WCHAR* name, void** found, UINT* length)
