// Loading a BMP file into a DibImage, painting it through its palette and releasing it.
#include "bitmap/dib.h"

#include "bitmap/file_reader.h"
#include "common/global_memory.h"
#include "common/path_join.h"

#include <string.h>

namespace
{

// Reads the rest of the file, after the 14-byte header already in fileHeader, into buffer.
// Fills layout and gives true when the picture can be shown.
bool ReadPicture(FileStream file, uint8_t* buffer, LONG size, uint8_t* fileHeader,
                 BmpLayout* layout)
{
    LONG got = FileRead(file, buffer, 1, size);
    return got >= 0 && ReadBmpLayout(fileHeader, buffer, uint32_t(got), layout);
}

// Fills a zero-filled record from a read picture: its palette, then its packed block.
// Releases what it made and gives false on failure.
bool BuildImage(DibImage* image, const uint8_t* buffer, const BmpLayout& layout)
{
    image->Palette = CreateDibPalette(buffer, &layout);
    if (!image->Palette)
        return false;
    image->PackedDib = UnpackDib(buffer, &layout);
    if (!image->PackedDib) {
        DeleteObject(image->Palette);
        return false;
    }
    return true;
}

} // namespace

// Loads a palettized BMP file (1, 4 or 8 bits; plain, BI_RLE8 or BI_RLE4) into a new
// DibImage of 8-bit rows; null on any failure, with everything acquired on the way released.
DibImage* LoadDib(const char* path)
{
    char copy[kPathBufferSize];
    if (!path || strlen(path) >= sizeof copy)
        return nullptr;
    memcpy(copy, path, strlen(path) + 1);

    // The file is opened twice on purpose: FileGetSize measures it first, so that a size the
    // loader refuses costs no memory and the buffer is allocated whole before the read.
    LONG fileSize = FileGetSize(copy);
    if (fileSize < LONG(kBmpFileHeaderSize + kBmpCoreHeaderSize) || fileSize > kBmpMaxFileSize)
        return nullptr;
    LONG size = fileSize - LONG(kBmpFileHeaderSize);
    uint8_t* buffer = static_cast<uint8_t*>(AllocateLocked(GMEM_FIXED, SIZE_T(size)));
    if (!buffer)
        return nullptr;
    FileStream file = FileOpen(copy);
    if (!file) {
        ReleaseLocked(buffer);
        return nullptr;
    }

    // The file header has its own 14 bytes: the buffer holds only what follows it, which
    // is 12 bytes for the shortest file read.
    DibImage* image = nullptr;
    uint8_t fileHeader[kBmpFileHeaderSize];
    BmpLayout layout;
    if (FileRead(file, fileHeader, 1, sizeof fileHeader) == LONG(sizeof fileHeader) &&
        fileHeader[0] == 'B' && fileHeader[1] == 'M') {
        image = static_cast<DibImage*>(AllocateLocked(GMEM_FIXED, sizeof(DibImage)));
        if (image && !(ReadPicture(file, buffer, size, fileHeader, &layout) &&
                       BuildImage(image, buffer, layout))) {
            ReleaseLocked(image);
            image = nullptr;
        }
    }
    FileClose(file);
    ReleaseLocked(buffer);
    return image;
}

// A logical palette of 256 entries from the file's colour table; entries the table does not
// have are black. Null for a null picture or when the palette cannot be made.
HPALETTE CreateDibPalette(const uint8_t* contents, const BmpLayout* layout)
{
    if (!contents || !layout)
        return nullptr;
    LOGPALETTE* logical = static_cast<LOGPALETTE*>(AllocateLocked(
        GMEM_FIXED, sizeof(LOGPALETTE) + (kBmpPackedColors - 1) * sizeof(PALETTEENTRY)));
    if (!logical)
        return nullptr;
    BmpColor colors[kBmpPackedColors];
    ReadBmpColors(*layout, contents, colors);
    logical->palVersion = 0x300;
    logical->palNumEntries = WORD(kBmpPackedColors);
    PALETTEENTRY* entries = logical->palPalEntry;
    for (uint32_t i = 0; i < kBmpPackedColors; ++i)
        entries[i] = PALETTEENTRY{colors[i].red, colors[i].green, colors[i].blue, 0};
    HPALETTE palette = CreatePalette(logical);
    ReleaseLocked(logical);
    return palette;
}

// The packed block for painting: 40-byte header, identity index table, bottom-up 8-bit rows
// (RLE expanded, 1- and 4-bit pixels widened). Null for a null picture or when the block cannot be
// had.
BITMAPINFOHEADER* UnpackDib(const uint8_t* contents, const BmpLayout* layout)
{
    if (!contents || !layout)
        return nullptr;
    uint8_t* packed = static_cast<uint8_t*>(AllocateLocked(GMEM_FIXED, PackedDibSize(*layout)));
    if (!packed)
        return nullptr;
    UnpackBmp(*layout, contents, packed);
    return reinterpret_cast<BITMAPINFOHEADER*>(packed);
}

// Paints width x height pixels of the picture from (srcX, srcY), counted from its top-left
// corner, at (x, y) through the picture's palette, unscaled (scale 1 or less) or enlarged
// with whole pixels (no blending between neighbours); the device context gets its previous
// palette and stretch mode back. 0 when there is no picture.
int DrawDib(HDC dc, int x, int y, const DibImage* image, int srcX, int srcY, int width, int height,
            int scale)
{
    if (!image || !image->PackedDib)
        return 0;
    const BITMAPINFOHEADER* header = image->PackedDib;
    if (header->biBitCount > 8)
        return 0;
    const BYTE* rows =
        reinterpret_cast<const BYTE*>(header) + kBmpInfoHeaderSize + 2 * (1u << header->biBitCount);
    HPALETTE previous = SelectPalette(dc, image->Palette, FALSE);
    RealizePalette(dc);
    if (scale < 1)
        scale = 1;
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    int bottomUpY = header->biHeight - height - srcY;
    int result =
        StretchDIBits(dc, x, y, width * scale, height * scale, srcX, bottomUpY, width, height, rows,
                      reinterpret_cast<const BITMAPINFO*>(header), DIB_PAL_COLORS, SRCCOPY);
    SetStretchBltMode(dc, previousMode);
    SelectPalette(dc, previous, FALSE);
    return result;
}

void ReleaseDibParts(HPALETTE palette, BITMAPINFOHEADER* packed)
{
    if (packed)
        ReleaseLocked(packed);
    if (palette)
        DeleteObject(palette);
}

// Releases the picture's block, its palette and the record; 1 when there was a record.
int FreeDib(DibImage* image)
{
    if (!image)
        return 0;
    ReleaseDibParts(image->Palette, image->PackedDib);
    ReleaseLocked(image);
    return 1;
}
