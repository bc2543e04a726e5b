// Keeps wing32.dll in the system directory at least as new as the disc's copy.
#pragma once
#include <windows.h>

extern int WinGInstalled;

void InstallWinG();
int UpdateSystemFile(const char* fileName, const char* sourceDir, const char* targetDir);
LONG CopyFileWithRetry(char* targetPath, const char* sourcePath);
