// Times, on Windows, the picture core's BI_RLE8 expansion and whole in-memory load of the
// benchmark pictures, a byte-loop expander, memset and memcpy of the output's size, and the
// platform's own decoding: SetDIBitsToDevice of the same BI_RLE8 data (or plain rows) into an
// 8-bit DIB section selected into a memory DC. Each result is checked once, untimed, against
// the expected rows. Prints tab-separated lines:
//   result  <picture or size>  <measure>  <nanoseconds per operation>  <output bytes>
//   check   <picture>          <measure>  ok | differs
#include "bench/bench_pictures.h"
#include "bitmap/bmp_core.h"
#include "bitmap/dib.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{

using benchpic::BenchPicture;

// Keeps the compiler from dropping or merging work on memory it cannot see used.
inline void Touch(const void* p)
{
    asm volatile("" : : "r"(p) : "memory");
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Nanoseconds per call of work: the repeat count is doubled until one batch takes at least
// 50 ms, then the best of fifteen batches is taken (other work on the machine only ever adds
// time, and short batches are more often left alone by it).
template <typename Work> double TimePerCall(Work work)
{
    LARGE_INTEGER start, stop;
    long repeats = 1;
    for (;;) {
        QueryPerformanceCounter(&start);
        for (long i = 0; i < repeats; ++i)
            work();
        QueryPerformanceCounter(&stop);
        if (Seconds(start, stop) >= 0.05)
            break;
        repeats *= 2;
    }
    double best = 0;
    for (int batch = 0; batch < 15; ++batch) {
        QueryPerformanceCounter(&start);
        for (long i = 0; i < repeats; ++i)
            work();
        QueryPerformanceCounter(&stop);
        double perCall = Seconds(start, stop) * 1e9 / double(repeats);
        if (batch == 0 || perCall < best)
            best = perCall;
    }
    return best;
}

size_t Area(const BenchPicture& p)
{
    return size_t(p.stride) * size_t(p.height);
}

void Result(const std::string& what, const char* measure, double nanoseconds, size_t bytes)
{
    printf("result\t%s\t%s\t%.1f\t%zu\n", what.c_str(), measure, nanoseconds, bytes);
    fflush(stdout);
}

void Check(const std::string& what, const char* measure, bool ok)
{
    printf("check\t%s\t%s\t%s\n", what.c_str(), measure, ok ? "ok" : "differs");
    fflush(stdout);
}

// Checks rows against the expected ones, saying where the first difference lies.
void CheckRows(const std::string& what, const char* measure, const uint8_t* rows,
               const BenchPicture& p)
{
    size_t at = 0;
    while (at < Area(p) && rows[at] == p.rows[at])
        ++at;
    if (at == Area(p)) {
        Check(what, measure, true);
        return;
    }
    printf("check\t%s\t%s\tdiffers at row %zu, column %zu: %u instead of %u\n", what.c_str(),
           measure, at / size_t(p.stride), at % size_t(p.stride), unsigned(rows[at]),
           unsigned(p.rows[at]));
    fflush(stdout);
}

// The streams write every byte of the area, so repeated expansions into one block give the
// same rows without clearing it.
void TimeExpansion(const std::string& name, const BenchPicture& p, const char* measure,
                   int32_t (*decode)(uint8_t*, const uint8_t*, uint32_t, int32_t, int32_t))
{
    std::vector<uint8_t> area(Area(p), 0);
    decode(area.data(), p.stream.data(), uint32_t(p.stream.size()), p.stride, p.height);
    CheckRows(name, measure, area.data(), p);
    Result(name, measure, TimePerCall([&] {
               decode(area.data(), p.stream.data(), uint32_t(p.stream.size()), p.stride, p.height);
               Touch(area.data());
           }),
           Area(p));
}

// The launcher's load from a file held in memory: checks, palette, the zero-filled packed
// block from the global heap with its rows, and the release of both.
void TimeLoad(const std::string& name, const BenchPicture& p)
{
    const uint8_t* contents = p.file.data() + kBmpFileHeaderSize;
    uint32_t length = uint32_t(p.file.size() - kBmpFileHeaderSize);
    auto load = [&](bool check) {
        BmpLayout layout;
        if (!ReadBmpLayout(p.file.data(), contents, length, &layout))
            return false;
        HPALETTE palette = CreateDibPalette(contents, &layout);
        BITMAPINFOHEADER* packed = UnpackDib(contents, &layout);
        bool ok = palette && packed;
        if (check && ok) {
            const uint8_t* rows =
                reinterpret_cast<const uint8_t*>(packed) + PackedDibSize(layout) - Area(p);
            ok = memcmp(rows, p.rows.data(), Area(p)) == 0;
        }
        Touch(packed);
        ReleaseDibParts(palette, packed);
        return ok;
    };
    Check(name, "load", load(true));
    Result(name, "load", TimePerCall([&] { load(false); }), Area(p));
}

// The rows alone into a packed block held from before (header, index table, rows copied or
// expanded): the load without its allocations and palette. The streams write every byte.
void TimeUnpack(const std::string& name, const BenchPicture& p)
{
    const uint8_t* contents = p.file.data() + kBmpFileHeaderSize;
    BmpLayout layout;
    if (!ReadBmpLayout(p.file.data(), contents, uint32_t(p.file.size() - kBmpFileHeaderSize),
                       &layout)) {
        Check(name, "unpack", false);
        return;
    }
    std::vector<uint8_t> packed(PackedDibSize(layout), 0);
    UnpackBmp(layout, contents, packed.data());
    CheckRows(name, "unpack", packed.data() + packed.size() - Area(p), p);
    Result(name, "unpack", TimePerCall([&] {
               UnpackBmp(layout, contents, packed.data());
               Touch(packed.data());
           }),
           Area(p));
}

// A BITMAPINFO with the picture's colours, for the DIB section and for the data.
std::vector<uint8_t> InfoFor(const BenchPicture& p, DWORD compression, DWORD sizeImage)
{
    std::vector<uint8_t> block(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    BITMAPINFO* info = reinterpret_cast<BITMAPINFO*>(block.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = p.width;
    info->bmiHeader.biHeight = p.height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 8;
    info->bmiHeader.biCompression = compression;
    info->bmiHeader.biSizeImage = sizeImage;
    for (int i = 0; i < 256; ++i)
        info->bmiColors[i] = RGBQUAD{p.palette[size_t(i)].blue, p.palette[size_t(i)].green,
                                     p.palette[size_t(i)].red, 0};
    return block;
}

// GDI's own decoding of the same data into an 8-bit DIB section of the picture's colours.
void TimeGdi(const std::string& name, const BenchPicture& p)
{
    bool rle = p.kind != benchpic::Kind::Plain;
    std::vector<uint8_t> target = InfoFor(p, BI_RGB, 0);
    std::vector<uint8_t> source =
        rle ? InfoFor(p, BI_RLE8, DWORD(p.stream.size())) : InfoFor(p, BI_RGB, 0);
    const uint8_t* data = rle ? p.stream.data() : p.rows.data();
    HDC dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(target.data()),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !section || !bits) {
        Check(name, "gdi", false);
        if (section)
            DeleteObject(section);
        if (dc)
            DeleteDC(dc);
        return;
    }
    HGDIOBJ previous = SelectObject(dc, section);
    auto paint = [&] {
        return SetDIBitsToDevice(dc, 0, 0, DWORD(p.width), DWORD(p.height), 0, 0, 0, UINT(p.height),
                                 data, reinterpret_cast<BITMAPINFO*>(source.data()),
                                 DIB_RGB_COLORS);
    };
    memset(bits, 0, Area(p));
    int painted = paint();
    GdiFlush();
    if (painted != p.height)
        Check(name, "gdi", false);
    else
        CheckRows(name, "gdi", static_cast<const uint8_t*>(bits), p);
    Result(name, "gdi", TimePerCall([&] {
               paint();
               GdiFlush();
           }),
           Area(p));
    SelectObject(dc, previous);
    DeleteObject(section);
    DeleteDC(dc);
}

// The system C library's own memset and memcpy, called as such: the picture core here calls
// launcher.exe's routines, linked in so that its timings are those of the shipped file, and
// a build for size would otherwise put a string instruction in their place.
template <typename Function> Function SystemRoutine(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryA("msvcrt.dll"), name)));
}
void* (*volatile libraryMemset)(void*, int,
                                size_t) = SystemRoutine<void* (*)(void*, int, size_t)>("memset");
void* (*volatile libraryMemcpy)(void*, const void*, size_t) =
    SystemRoutine<void* (*)(void*, const void*, size_t)>("memcpy");

void TimeBlockOperations(const std::string& sizeName, size_t size)
{
    std::vector<uint8_t> from(size, 1), to(size, 2);
    int value = 0;
    Result(sizeName, "memset", TimePerCall([&] {
               libraryMemset(to.data(), ++value & 0xFF, size);
               Touch(to.data());
           }),
           size);
    Result(sizeName, "memcpy", TimePerCall([&] {
               libraryMemcpy(to.data(), from.data(), size);
               Touch(to.data());
           }),
           size);
}

} // namespace

int main()
{
    printf("build\t%s\t%d-bit\n", sizeof(void*) == 4 ? "i686" : "x86_64", int(sizeof(void*) * 8));
    for (benchpic::Size size : benchpic::kSizes) {
        TimeBlockOperations(std::to_string(size.width) + "x" + std::to_string(size.height),
                            size_t((size.width + 3) / 4 * 4) * size_t(size.height));
        for (benchpic::Kind kind : benchpic::kKinds) {
            BenchPicture p = benchpic::MakeBenchPicture(kind, size);
            std::string name = benchpic::PictureName(kind, size);
            if (kind != benchpic::Kind::Plain) {
                TimeExpansion(name, p, "decode", &DecodeRle8);
                TimeExpansion(name, p, "byteloop", &benchpic::ByteLoopRle8);
            }
            TimeUnpack(name, p);
            TimeLoad(name, p);
            TimeGdi(name, p);
        }
    }
    return 0;
}
