// A host stand-in for the part of <windows.h> that the picture loader's Windows files
// (bitmap/file_reader_win.cpp, bitmap/dib_win.cpp, common/global_memory_win.cpp) use, so that
// they build unchanged on the host for fuzzing. Types have their Win32 sizes; win32_standin.cpp
// serves the calls.
#pragma once
#include <stddef.h>
#include <stdint.h>

typedef int32_t LONG; // 32 bits, as on Windows
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef size_t SIZE_T;
typedef int HFILE;
typedef void* HGLOBAL;
typedef void* HGDIOBJ;
typedef struct HPALETTE__* HPALETTE;
typedef struct HDC__* HDC;

#define FALSE 0
#define TRUE 1
#define HFILE_ERROR ((HFILE)-1)
#define OF_READ 0
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define DIB_PAL_COLORS 1
#define SRCCOPY 0x00CC0020
#define COLORONCOLOR 3
#define OFS_MAXPATHNAME 128

struct OFSTRUCT {
    BYTE cBytes, fFixedDisk;
    WORD nErrCode, Reserved1, Reserved2;
    char szPathName[OFS_MAXPATHNAME];
};
struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};
struct LOGPALETTE {
    WORD palVersion, palNumEntries;
    PALETTEENTRY palPalEntry[1];
};
struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth, biHeight;
    WORD biPlanes, biBitCount;
    DWORD biCompression, biSizeImage;
    LONG biXPelsPerMeter, biYPelsPerMeter;
    DWORD biClrUsed, biClrImportant;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    DWORD bmiColors[1];
};

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);
HGLOBAL GlobalHandle(const void* pointer);

HFILE OpenFile(const char* path, OFSTRUCT* info, UINT style);
UINT _lread(HFILE file, void* buffer, UINT bytes);
LONG _llseek(HFILE file, LONG offset, int origin);
HFILE _lclose(HFILE file);

HPALETTE CreatePalette(const LOGPALETTE* palette);
BOOL DeleteObject(HGDIOBJ object);
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

// The stand-in's own controls, for the fuzz target.
namespace standin
{
// The one file that OpenFile opens, by this exact name; the bytes must outlive its use.
void ServeFile(const char* name, const uint8_t* bytes, size_t size);
// Whether every global block, file handle and palette made so far has been released.
bool AllReleased();
} // namespace standin
