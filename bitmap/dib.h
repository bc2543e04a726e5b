// Title pictures: loading a BMP into a packed DIB with a palette, painting and releasing it.
#pragma once
#include <windows.h>

struct DibImage {
    BITMAPINFOHEADER* PackedDib; // header, 16-bit palette index table, 8-bit rows
    HPALETTE Palette;
};

DibImage* LoadDib(const char* path); // null on any failure
int DrawDib(HDC dc, int x, int y, const DibImage* image, int srcX, int srcY, int width,
            int height);
int FreeDib(DibImage* image); // 1 when a record was released, 0 for null
