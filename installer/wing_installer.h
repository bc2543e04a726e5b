// Keeps the runtime (wing32.dll, DISC_RUNTIME_FILE) in the system directory at least as new
// as the disc's copy. "The runtime" names that file throughout; InstallWinG, WinGInstalled
// and UpdateSystemFile keep their established names.
#pragma once
#include <windows.h>

#include "installer/version_decision.h"

// Play's check: brings the runtime in the system directory up to the disc's copy beside the
// launcher, once per run; a path that does not fit its buffer is reported in an "Error" box.
void InstallWinG();

// 1 once the runtime was found or made up to date in this run: InstallWinG sets it, WinMain
// clears it at the start of a run.
extern int WinGInstalled;

// The whole command line (after the program's name) with which the launcher starts itself as
// an administrator to bring the runtime up to date and end. Users have no use for it; every
// other command line is ignored.
extern const char kRuntimeCopyArgument[];

// True when arguments are exactly kRuntimeCopyArgument.
bool IsRuntimeCopyRequest(const char* arguments);

// What the administrator's instance of the launcher does: brings the runtime in the system
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
