// Running a command on the Unix side of Wine from a Windows test program, for what Windows
// itself cannot arrange: a folder that refuses new files even to root, a disk that is full.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// The Unix path of a Windows path, as Wine maps it; "" when there is none.
inline std::string UnixPath(const std::string& path)
{
    typedef char*(CDECL * UnixNameFunction)(const WCHAR*);
    const UnixNameFunction unixName =
        reinterpret_cast<UnixNameFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring wide(path.begin(), path.end());
    char* name = unixName ? unixName(wide.c_str()) : nullptr;
    if (!name)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs script with /bin/sh and tells whether it succeeded within timeoutMs. Wine starts a
// Unix program named by its Unix path as it starts a Windows one, but tells nothing of how it
// ended: the script leaves doneFile (a Windows path) behind when it succeeded.
inline bool RunUnixShell(const std::string& script, const std::string& doneFile, DWORD timeoutMs)
{
    const std::string unixDone = UnixPath(doneFile);
    if (unixDone.empty())
        return false;
    DeleteFileA(doneFile.c_str());
    std::string command = "/bin/sh -c \"(" + script + ") && : > '" + unixDone + "'\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (DeleteFileA(doneFile.c_str()))
            return true;
        Sleep(20);
    }
    return false;
}

// Makes a folder refuse new files even to root, as Windows' system directory refuses them to
// a standard user (ERROR_ACCESS_DENIED), or lifts that again: the folder's immutable
// attribute. doneFile is a scratch file outside the folder.
inline bool LockFolder(const std::string& dir, bool locked, const std::string& doneFile,
                       DWORD timeoutMs = 5000)
{
    const std::string unixDir = UnixPath(dir);
    return !unixDir.empty() &&
           RunUnixShell(std::string("chattr ") + (locked ? "+i" : "-i") + " '" + unixDir + "'",
                        doneFile, timeoutMs);
}

// A folder that refuses new files (LockFolder) for as long as this lives.
struct FolderLock {
    FolderLock(const std::string& folder, const std::string& doneFile, DWORD timeoutMs = 5000)
        : dir(folder), done(doneFile), timeout(timeoutMs),
          locked(LockFolder(dir, true, done, timeout))
    {
    }
    ~FolderLock() { LockFolder(dir, false, done, timeout); }
    std::string dir, done;
    DWORD timeout;
    bool locked;
};
