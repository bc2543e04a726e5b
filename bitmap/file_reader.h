// A minimal read-only file reader over OpenFile/_lread/_llseek/_lclose. The stream is the
// handle of a movable global block holding the record; each call locks it for its own use.
#pragma once
#include <windows.h>

typedef HGLOBAL FileStream;

FileStream FileOpen(const char* path);
LONG FileRead(FileStream stream, void* destination, DWORD itemSize, DWORD itemCount);
LONG FileSeek(FileStream stream, LONG offset, int origin);
void FileClose(FileStream stream);
LONG FileGetSize(const char* path); // 0 when the file cannot be opened
