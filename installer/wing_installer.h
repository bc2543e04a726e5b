// Keeps wing32.dll in the system directory at least as new as the disc's copy.
#pragma once
#include <windows.h>

#include "installer/version_decision.h"

extern int WinGInstalled;

void InstallWinG();
int UpdateSystemFile(const char* fileName, const char* sourceDir, const char* targetDir);
LONG CopyFileWithRetry(char* targetPath, const char* sourcePath);

// The fixed file version of the file at path, or an unavailable one when the file is
// missing or its version information cannot be read.
FileVersion ReadFileVersion(const char* path);
