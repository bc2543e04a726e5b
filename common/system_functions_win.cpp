#include "common/system_functions.h"

#include <cstring>

namespace
{

// Converts a Unicode path into name (kModuleNameSize bytes) only when the system's code page
// spells each of its characters exactly: no look-alike, no default character.
bool SpellExactly(const WCHAR* path, char* name)
{
    BOOL usedDefault = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, -1, name, kModuleNameSize,
                               nullptr, &usedDefault) != 0 &&
           !usedDefault;
}

} // namespace

bool IsWindowsNt()
{
    return (GetVersion() & 0x80000000u) == 0;
}

void (*FindFunction(HMODULE module, const char* name))()
{
    return module ? reinterpret_cast<void (*)()>(GetProcAddress(module, name)) : nullptr;
}

void (*KernelFunction(const char* name))()
{
    return FindFunction(GetModuleHandleA("KERNEL32"), name);
}

void RestrictDllSearch(bool systemOnly)
{
    typedef BOOL(WINAPI * SetDefaultDirectories)(DWORD);
    typedef BOOL(WINAPI * SetDirectory)(const char*);
    const SetDefaultDirectories setDefault =
        SetDefaultDirectories(KernelFunction("SetDefaultDllDirectories"));
    if (setDefault && systemOnly) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
        return;
    }
    const SetDirectory setDirectory = SetDirectory(KernelFunction("SetDllDirectoryA"));
    if (setDirectory)
        setDirectory(systemOnly ? "" : nullptr);
}

DWORD OwnModuleName(HMODULE module, char* name)
{
    typedef DWORD(WINAPI * ModuleNameW)(HMODULE, WCHAR*, DWORD);
    typedef DWORD(WINAPI * ShortPathW)(const WCHAR*, WCHAR*, DWORD);
    const ModuleNameW moduleName =
        IsWindowsNt() ? ModuleNameW(KernelFunction("GetModuleFileNameW")) : nullptr;
    if (!moduleName)
        return GetModuleFileNameA(module, name, kModuleNameSize);
    WCHAR wide[kModuleNameSize + 1];
    DWORD length = moduleName(module, wide, kModuleNameSize);
    if (length == 0 || length >= kModuleNameSize)
        return length;
    if (!SpellExactly(wide, name)) {
        if (GetLastError() == ERROR_INVALID_FLAGS)
            return GetModuleFileNameA(module, name, kModuleNameSize);
        const ShortPathW shortPath = ShortPathW(KernelFunction("GetShortPathNameW"));
        length = shortPath ? shortPath(wide, wide, kModuleNameSize) : 0;
        if (length == 0 || length >= kModuleNameSize || !SpellExactly(wide, name))
            return kUnspellableName;
    }
    return DWORD(strlen(name));
}
