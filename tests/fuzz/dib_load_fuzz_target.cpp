// libFuzzer target over the whole picture load as the launcher makes it on Windows: any bytes
// as the file LoadDib opens, through the file reader, the checks, the palette and the packed
// block, painted once and released by FreeDib, on the host stand-in for the Win32 calls
// (win32_standin.cpp). The block must be the one the core makes of the same bytes, and
// nothing may stay allocated or open.
#include <windows.h>

#include "bitmap/dib.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

// Accepted pictures above this area are left out, as in bmp_fuzz: the code is the same at
// every size, and filling 64 MiB per input would starve the search.
static const uint32_t kFuzzMaxArea = 4u << 20;

static void Check(bool condition)
{
    if (!condition)
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > size_t(kBmpMaxFileSize))
        return 0;
    BmpLayout layout;
    const std::vector<uint8_t> contents(data + (size < 14 ? size : 14), data + size);
    const bool accepted = size >= kBmpFileHeaderSize + kBmpCoreHeaderSize &&
                          ReadBmpLayout(data, contents.data(), uint32_t(contents.size()), &layout);
    if (accepted && layout.area > kFuzzMaxArea)
        return 0;

    standin::ServeFile("D:\\title.bmp", data, size);
    DibImage* image = LoadDib("D:\\title.bmp");
    Check((image != nullptr) == accepted);
    if (image) {
        std::vector<uint8_t> packed(PackedDibSize(layout));
        UnpackBmp(layout, contents.data(), packed.data());
        Check(memcmp(image->PackedDib, packed.data(), packed.size()) == 0);
        Check(image->Palette != nullptr);
        const int width = image->PackedDib->biWidth, height = image->PackedDib->biHeight;
        Check(DrawDib(nullptr, 0, 0, image, 0, 0, width, height) == height);
        Check(FreeDib(image) == 1);
    }
    Check(standin::AllReleased());
    return 0;
}
