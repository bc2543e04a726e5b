// Keeps wing32.dll in the system directory at least as new as the disc's copy.
#pragma once
#include <windows.h>

#include "installer/version_decision.h"

// Play's check: brings wing32.dll in the system directory up to the disc's copy beside the
// launcher, once per run; a path that does not fit its buffer is reported in an "Error" box.
void InstallWinG();

// What the administrator's instance of the launcher does: brings wing32.dll in the system
// directory up to the disc's copy beside its own file by the same version rule, with no
// window. 0 when the installed copy is now at least as new, else the Win32 error code
// (ERROR_FILENAME_EXCED_RANGE, with no box, when a path does not fit its buffer).
DWORD UpdateRuntimeAlone();
int UpdateSystemFile(const char* fileName, const char* sourceDir, const char* targetDir);
LONG CopyFileWithRetry(char* targetPath, const char* sourcePath);

// The step of CopyFileWithRetry that starts the administrator's instance of this program and
// waits for it: 0 when the installed copy is now good, else the instance's error, or the
// error that kept it from starting (ERROR_CANCELLED when the user declined). Null, as it
// stays in the launcher, for the instance of this program; tests put their own step there.
extern DWORD (*CopyThroughAdministrator)();

// The fixed file version of the file at path, or an unavailable one when the file is
// missing or its version information cannot be read.
FileVersion ReadFileVersion(const char* path);
