// A minimal read-only file reader over OpenFile/_lread/_llseek/_lclose. The stream is the
// handle of a movable global block holding the record; each call locks it for its own use.
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
