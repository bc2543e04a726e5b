// What the launcher asks of the system it runs on.
#pragma once
#include <windows.h>

#include "common/disc_names.h"

// Size asked of the calls that give the launcher's own file name: the name, or its first 259
// bytes when it is longer.
constexpr DWORD kModuleNameSize = kPathLimit;

// OwnModuleName's result for a name that the system's code page cannot spell exactly.
constexpr DWORD kUnspellableName = ~DWORD(0);

// True on Windows NT, 2000 and later; false on Windows 95, 98 and Me.
bool IsWindowsNt();

// A function of module by name, or null where it or the module (null) is missing. Cast it to its
// own type before calling it.
void (*FindFunction(HMODULE module, const char* name))();

// A function of KERNEL32 that not every Windows has, as FindFunction gives it.
void (*KernelFunction(const char* name))();

// With systemOnly, keeps every later DLL search out of the launcher's own folder and the
// current one, which anyone may write to when the disc was copied: only the system directory
// where Windows allows it (Windows 8, and 7 or Vista updated), else without the current
// directory (XP SP1 on). Windows 95 to Me have neither call and keep their search. Without,
// gives the current directory back before the game starts: a search directory set this way
// is passed on to the processes the launcher starts.
void RestrictDllSearch(bool systemOnly);

// The file name of module (null: the program) in name, a buffer of 260 bytes, with the
// length that GetModuleFileNameA reports: 0 when it cannot be had, kModuleNameSize when cut.
// On NT it is the Unicode name converted to the system's code page without best fit, so that
// it names this file and no look-alike; where the code page lacks one of its characters, its
// short (8.3) form, and where that cannot be spelt either, kUnspellableName. Windows 95 to Me
// (and NT 4, which converts only with best fit) give the ANSI name as it stands.
DWORD OwnModuleName(HMODULE module, char* name);
