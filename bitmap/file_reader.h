// A minimal read-only file reader over OpenFile/_lread/_llseek/_lclose. The stream is the
// handle of a movable global block holding the record; each call locks it for its own use.
// These calls are kept on purpose: every Windows from 95 on exports them from KERNEL32 with
// the same behaviour and they need no C runtime, and a record locked only while a call runs
// leaves the system free to move it (OpenFile's 127-character path limit comes with them).
#pragma once
#include <windows.h>

typedef HGLOBAL FileStream;

// The record inside the stream's block, in this order.
struct FileStreamRecord {
    HFILE FileHandle; // from OpenFile
    LONG Position;    // offset of the next byte FileRead reads
    LONG Extent;      // size found by FileOpen, raised by any seek that passes it
};

FileStream FileOpen(const char* path);
// Bytes read (not items), or -1; a request beyond 0x7FFFFFFF bytes is refused with -1.
LONG FileRead(FileStream stream, void* destination, DWORD itemSize, DWORD itemCount);
LONG FileSeek(FileStream stream, LONG offset, int origin);
void FileClose(FileStream stream);
LONG FileGetSize(const char* path); // 0 when the file cannot be opened
