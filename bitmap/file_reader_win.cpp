// The file reader: a record in a movable global block, locked only while one call runs.
#include "bitmap/file_reader.h"

#include <stdint.h>

#include "common/global_memory.h"

// Opens a file for reading and measures it with two seeks; null when the record cannot be
// made or the file cannot be opened.
FileStream FileOpen(const char* path)
{
    FileStreamRecord* record =
        static_cast<FileStreamRecord*>(AllocateLocked(GMEM_MOVEABLE, sizeof(FileStreamRecord)));
    if (!record)
        return nullptr;
    OFSTRUCT scratch;
    record->FileHandle = OpenFile(path, &scratch, OF_READ);
    if (record->FileHandle == HFILE_ERROR) {
        ReleaseLocked(record);
        return nullptr;
    }
    record->Position = 0;
    record->Extent = 0;
    HGLOBAL block = GlobalHandle(record);
    GlobalUnlock(block);
    FileSeek(block, 0, FILE_END);
    FileSeek(block, 0, FILE_BEGIN);
    return block;
}

// One _lread of itemSize * itemCount bytes into destination. A request that does not fit
// the signed 32-bit result is refused with -1 before anything is read.
LONG FileRead(FileStream stream, void* destination, DWORD itemSize, DWORD itemCount)
{
    uint64_t wanted = uint64_t(itemSize) * uint64_t(itemCount);
    if (wanted > 0x7FFFFFFFu)
        return -1;
    FileStreamRecord* record = static_cast<FileStreamRecord*>(GlobalLock(stream));
    if (!record)
        return -1;
    UINT got = _lread(record->FileHandle, destination, UINT(wanted));
    if (got != UINT(HFILE_ERROR))
        record->Position += LONG(got);
    GlobalUnlock(stream);
    return got == UINT(HFILE_ERROR) ? -1 : LONG(got);
}

// Moves the read position as _llseek does; a seek past the end raises Extent with it.
LONG FileSeek(FileStream stream, LONG offset, int origin)
{
    FileStreamRecord* record = static_cast<FileStreamRecord*>(GlobalLock(stream));
    if (!record)
        return -1;
    LONG result = _llseek(record->FileHandle, offset, origin);
    if (result != HFILE_ERROR) {
        record->Position = result;
        if (record->Position > record->Extent)
            record->Extent = record->Position;
    }
    GlobalUnlock(stream);
    return result;
}

// Closes the file and frees the record; the stream must not be used afterwards.
void FileClose(FileStream stream)
{
    FileStreamRecord* record = static_cast<FileStreamRecord*>(GlobalLock(stream));
    if (!record)
        return;
    _lclose(record->FileHandle);
    ReleaseLocked(record);
}

// The size of a file in bytes, or 0 when it cannot be opened; nothing stays open.
LONG FileGetSize(const char* path)
{
    FileStream stream = FileOpen(path);
    if (!stream)
        return 0;
    LONG extent = 0;
    FileStreamRecord* record = static_cast<FileStreamRecord*>(GlobalLock(stream));
    if (record) {
        extent = record->Extent;
        GlobalUnlock(stream);
    }
    FileClose(stream);
    return extent;
}
