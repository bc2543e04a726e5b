// The Win32 calls of the picture loader, served on the host for fuzzing (see
// win32_standin/windows.h): one file held in memory, each global block in an allocation of
// exactly its size so that the address sanitizer sees any access past it, palettes that are
// only counted, and StretchDIBits reading the rows its header describes. A handle that was
// never given out or is already released shows a fault in the caller: it aborts.
#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>

namespace
{

std::map<HGLOBAL, void*> Blocks;        // handle: the block's bytes
std::map<const void*, HGLOBAL> Handles; // the other way round
uintptr_t NextHandle = 0x1000;
std::set<HPALETTE> Palettes;

const char* FileName = "";
const uint8_t* FileBytes = nullptr;
LONG FileSize = 0;
std::map<HFILE, LONG> OpenFiles; // handle: read position

template <typename Map> typename Map::mapped_type& Known(Map& map, typename Map::key_type key)
{
    auto found = map.find(key);
    if (found == map.end())
        abort();
    return found->second;
}

} // namespace

void standin::ServeFile(const char* name, const uint8_t* bytes, size_t size)
{
    FileName = name;
    FileBytes = bytes;
    FileSize = LONG(size);
}

bool standin::AllReleased()
{
    return Blocks.empty() && OpenFiles.empty() && Palettes.empty();
}

// Without GMEM_ZEROINIT the block holds garbage, as it may on Windows.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
    void* data = malloc(bytes);
    if (!data)
        return nullptr;
    memset(data, flags & GMEM_ZEROINIT ? 0 : 0xA5, bytes);
    HGLOBAL handle = reinterpret_cast<HGLOBAL>(NextHandle++);
    Blocks[handle] = data;
    Handles[data] = handle;
    return handle;
}

void* GlobalLock(HGLOBAL block)
{
    return Known(Blocks, block);
}

BOOL GlobalUnlock(HGLOBAL block)
{
    Known(Blocks, block);
    return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    void* data = Known(Blocks, block);
    Handles.erase(data);
    Blocks.erase(block);
    free(data);
    return nullptr;
}

HGLOBAL GlobalHandle(const void* pointer)
{
    return Known(Handles, pointer);
}

// Opens the served file by its exact name; like the system, refuses names of 128 characters.
HFILE OpenFile(const char* path, OFSTRUCT* info, UINT)
{
    if (strlen(path) >= OFS_MAXPATHNAME || strcmp(path, FileName) != 0)
        return HFILE_ERROR;
    memset(info, 0, sizeof *info);
    strcpy(info->szPathName, path);
    HFILE file = 3; // the lowest free handle
    while (OpenFiles.count(file))
        ++file;
    OpenFiles[file] = 0;
    return file;
}

UINT _lread(HFILE file, void* buffer, UINT bytes)
{
    LONG& at = Known(OpenFiles, file);
    const UINT left = at < FileSize ? UINT(FileSize - at) : 0;
    const UINT count = bytes < left ? bytes : left;
    if (count > 0)
        memcpy(buffer, FileBytes + at, count);
    at += LONG(count);
    return count;
}

LONG _llseek(HFILE file, LONG offset, int origin)
{
    LONG& at = Known(OpenFiles, file);
    const int64_t to = int64_t(offset) + (origin == FILE_END       ? FileSize
                                          : origin == FILE_CURRENT ? at
                                                                   : 0);
    if (to < 0 || to > INT32_MAX)
        return HFILE_ERROR;
    return at = LONG(to);
}

HFILE _lclose(HFILE file)
{
    Known(OpenFiles, file);
    OpenFiles.erase(file);
    return 0;
}

// Reads every entry, so that a block too short for them is seen.
HPALETTE CreatePalette(const LOGPALETTE* palette)
{
    volatile BYTE seen = 0;
    for (WORD i = 0; i < palette->palNumEntries; ++i)
        seen = palette->palPalEntry[i].peFlags;
    (void)seen;
    HPALETTE handle = reinterpret_cast<HPALETTE>(NextHandle++);
    Palettes.insert(handle);
    return handle;
}

BOOL DeleteObject(HGDIOBJ object)
{
    if (Palettes.erase(static_cast<HPALETTE>(object)) == 0)
        abort();
    return TRUE;
}

HPALETTE SelectPalette(HDC, HPALETTE, BOOL)
{
    return nullptr;
}

UINT RealizePalette(HDC)
{
    return 0;
}

int SetStretchBltMode(HDC, int)
{
    return 1;
}

// Paints nothing (0) for a header other than one plane of 8-bit BI_RGB rows, as the system;
// otherwise reads the index table, the ends of the rows asked for and biSizeImage bytes when
// that says more, and gives the number of rows.
int StretchDIBits(HDC, int, int, int, int, int srcX, int srcY, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD)
{
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize != 40 || h.biPlanes != 1 || h.biBitCount != 8 || h.biCompression != 0 ||
        h.biWidth <= 0 || h.biHeight <= 0 || usage != DIB_PAL_COLORS || srcWidth <= 0)
        return 0;
    volatile uint8_t seen = reinterpret_cast<const uint8_t*>(info)[40 + 2 * 256 - 1];
    const uint8_t* rows = static_cast<const uint8_t*>(bits);
    const size_t stride = (size_t(h.biWidth) + 3) / 4 * 4;
    for (int y = srcY; y < srcY + srcHeight; ++y) {
        seen = rows[size_t(y) * stride + size_t(srcX)];
        seen = rows[size_t(y) * stride + size_t(srcX + srcWidth - 1)];
    }
    if (h.biSizeImage > stride * size_t(h.biHeight))
        seen = rows[h.biSizeImage - 1];
    (void)seen;
    return srcHeight;
}
