/* A version.dll planted beside launcher.exe, as an attacker would leave it in a writable
 * folder: its three functions that the launcher's version read uses append their name to the
 * file that CORVANE_PLANTED_RECORD names, and report no version. Wine's own user32 imports the
 * Unicode functions (Windows' does not), so they are here too, silent. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

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

__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(const char* path, DWORD* handle)
{
    (void)path, (void)handle;
    Record("GetFileVersionInfoSizeA");
    return 0;
}

__declspec(dllexport) BOOL WINAPI
    GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data)
{
    (void)path, (void)handle, (void)size, (void)data;
    Record("GetFileVersionInfoA");
    return FALSE;
}

__declspec(dllexport) BOOL WINAPI
    VerQueryValueA(const void* block, const char* name, void** found, UINT* length)
{
    (void)block, (void)name, (void)found, (void)length;
    Record("VerQueryValueA");
    return FALSE;
}

__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(const WCHAR* path, DWORD* handle)
{
    (void)path, (void)handle;
    return 0;
}

__declspec(dllexport) BOOL WINAPI
    GetFileVersionInfoW(const WCHAR* path, DWORD handle, DWORD size, void* data)
{
    (void)path, (void)handle, (void)size, (void)data;
    return FALSE;
}

__declspec(dllexport) BOOL WINAPI
    VerQueryValueW(const void* block, const WCHAR* name, void** found, UINT* length)
{
    (void)block, (void)name, (void)found, (void)length;
    return FALSE;
}
