// Title pictures: loading a BMP into a packed DIB with a palette, painting and releasing it.
#pragma once
#include <windows.h>

#include "bitmap/bmp_core.h"

struct DibImage {
    BITMAPINFOHEADER* PackedDib; // header, 16-bit palette index table, 8-bit rows
    HPALETTE Palette;
};

DibImage* LoadDib(const char* path); // null on any failure
// Paints width x height pixels of the picture from (srcX, srcY), counted from its top-left
// corner, at (x, y) through its palette, each pixel a scale x scale block of the device
// (unscaled for a scale of 1 or less).
int DrawDib(HDC dc, int x, int y, const DibImage* image, int srcX, int srcY, int width, int height,
            int scale = 1);
int FreeDib(DibImage* image); // 1 when a record was released, 0 for null

// The loader's steps, given the file's contents after its 14-byte file header and the
// layout ReadBmpLayout found in them; null for null arguments or on failure.
HPALETTE CreateDibPalette(const uint8_t* contents, const BmpLayout* layout);
BITMAPINFOHEADER* UnpackDib(const uint8_t* contents, const BmpLayout* layout);
// Releases what the two steps gave; either may be null.
void ReleaseDibParts(HPALETTE palette, BITMAPINFOHEADER* packed);
