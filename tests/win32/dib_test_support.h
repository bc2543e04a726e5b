// Shared by the picture tests under Wine: files in the temporary directory, a 32-bit
// DIB-section memory DC whose pixels can be read back, and RLE streams painted both by the
// launcher and by GDI's own decoder.
#pragma once
#include <windows.h>

#include "bitmap/dib.h"
#include "tests/support/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

inline std::string TempFilePath(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

inline std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::string path = TempFilePath(name);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return path;
}

// A memory DC with a top-down 32-bit DIB section selected; pixel (x, y) is 0x00RRGGBB.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
    int width = 0, height = 0;

    Canvas(int w, int h, uint32_t fill = 0) : width(w), height(h)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        previous = SelectObject(dc, bitmap);
        for (int i = 0; i < w * h; ++i)
            bits[i] = fill;
    }
    ~Canvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    uint32_t At(int x, int y)
    {
        GdiFlush();
        return bits[y * width + x] & 0xFFFFFF;
    }
};

inline uint32_t Rgb(uint8_t red, uint8_t green, uint8_t blue)
{
    return uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
}

// An RLE8 or RLE4 stream with the picture's size and palette.
struct RleStream {
    int32_t width, height;
    std::vector<uint8_t> stream;
    std::vector<bmpw::RgbQuad> palette; // 256 colours for RLE8, 16 for RLE4
};

inline std::vector<bmpw::RgbQuad> RandomPalette(uint32_t seed, size_t colours)
{
    std::mt19937 random(seed);
    std::vector<bmpw::RgbQuad> p(colours);
    for (auto& q : p)
        q = bmpw::RgbQuad{uint8_t(random()), uint8_t(random()), uint8_t(random()), 0};
    return p;
}

// Paints the stream (RLE4 when bitCount is 4, else RLE8) through LoadDib and DrawDib, and
// through GDI's own decoder onto a canvas filled with colour 0 (GDI leaves pixels that the
// stream skips untouched; the launcher's expansion leaves them 0). Compares every pixel.
inline void ExpectPaintsAsPlatform(const RleStream& e, uint16_t bitCount, const std::string& what)
{
    const bool rle4 = bitCount == 4;
    const DWORD colours = rle4 ? 16 : 256;
    bmpw::BmpFields fields;
    fields.biWidth = e.width;
    fields.biHeight = e.height;
    fields.biBitCount = bitCount;
    fields.biCompression = rle4 ? bmpw::kBiRle4 : bmpw::kBiRle8;
    std::string path =
        WriteTempFile("corvane_rle_gdi.bmp", bmpw::BuildBmp(fields, e.palette, e.stream));
    DibImage* image = LoadDib(path.c_str());
    DeleteFileA(path.c_str());
    ASSERT_NE(image, nullptr) << what;
    Canvas ours(e.width, e.height, 0xFFFFFFFF);
    EXPECT_EQ(DrawDib(ours.dc, 0, 0, image, 0, 0, e.width, e.height), e.height) << what;
    FreeDib(image);

    // Exactly the stream's bytes, with biSizeImage saying so.
    std::unique_ptr<uint8_t[]> stream(new uint8_t[e.stream.size()]);
    std::copy(e.stream.begin(), e.stream.end(), stream.get());
    std::vector<uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD));
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                                       e.width,
                                       e.height,
                                       1,
                                       bitCount,
                                       DWORD(rle4 ? BI_RLE4 : BI_RLE8),
                                       DWORD(e.stream.size()),
                                       0,
                                       0,
                                       colours,
                                       0};
    for (DWORD i = 0; i < colours; ++i)
        info->bmiColors[i] = RGBQUAD{e.palette[i].blue, e.palette[i].green, e.palette[i].red, 0};
    const bmpw::RgbQuad& zero = e.palette[0];
    Canvas platform(e.width, e.height, Rgb(zero.red, zero.green, zero.blue));
    EXPECT_EQ(StretchDIBits(platform.dc, 0, 0, e.width, e.height, 0, 0, e.width, e.height,
                            stream.get(), info, DIB_RGB_COLORS, SRCCOPY),
              e.height)
        << what;

    for (int y = 0; y < e.height; ++y)
        for (int x = 0; x < e.width; ++x)
            ASSERT_EQ(ours.At(x, y), platform.At(x, y)) << what << " pixel " << x << "," << y;
}
