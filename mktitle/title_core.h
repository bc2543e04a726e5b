// mktitle's logic without the platform: its command line, fitting a picture into a box,
// putting transparent pixels over the background, reducing a picture to a palette of at
// most N colours with error diffusion, and writing the 8-bit BMP the launcher shows (plain
// rows or BI_RLE8, whichever is smaller).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Colours Windows leaves a picture on a 256-colour screen: 256 less its 20 static colours.
constexpr uint32_t kTitleDefaultColours = 236;

constexpr int kTitleExitMade = 0;
constexpr int kTitleExitUnreadable = 1; // IN cannot be read or decoded, or is too large
constexpr int kTitleExitUsage = 2;      // bad command line, OUT would be IN
constexpr int kTitleExitUnwritable = 3; // OUT cannot be written
constexpr int kTitleExitNoCodecs = 4;   // the system has no imaging component

struct TitleRgb {
    uint8_t red, green, blue;
};

struct TitleOptions {
    std::wstring input, output;
    uint32_t colours = kTitleDefaultColours; // 2..256
    int32_t fitWidth = 0, fitHeight = 0;     // both 0: no fitting
    TitleRgb background = {0xC0, 0xC0, 0xC0};
    bool help = false; // /? asked for the usage
};

// The usage text, several lines, each ending in a newline.
const char* TitleUsage();

// Reads the arguments after the program's name. Options are /colors N, /fit WxH and
// /background RRGGBB (also with "-", in any case); exactly two other arguments, IN and OUT.
// False with problem set on a bad command line.
bool ParseTitleArguments(const std::vector<std::wstring>& args, TitleOptions* options,
                         std::string* problem);

// The size a width x height picture gets in a box: scaled down to fit, proportions kept
// (rounded, at least 1 pixel), never up. False when it already fits and stays as it is.
bool FitTitleSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight,
                  int32_t* fitWidth, int32_t* fitHeight);

// Puts pixels in blue, green, red, alpha order (not premultiplied) over the background, in
// place: each ends opaque.
void PutOverBackground(uint8_t* bgra, size_t count, TitleRgb background);

// The colours of opaque pixels in blue, green, red, alpha order.
std::vector<TitleRgb> RgbPixels(const uint8_t* bgra, size_t count);

// A picture of at most 256 colours: the colours its pixels use and its rows, top row first.
struct TitlePicture {
    int32_t width = 0, height = 0;
    std::vector<TitleRgb> palette; // each colour once, each used by some pixel
    std::vector<uint8_t> pixels;   // width * height indices into palette
};

// Reduces width x height pixels (top row first) to at most maxColours colours. A picture with
// no more colours than that keeps them exactly; any other gets a palette chosen for it
// (median cut refined by k-means) and Floyd-Steinberg error diffusion.
TitlePicture ReduceColours(const std::vector<TitleRgb>& pixels, int32_t width, int32_t height,
                           uint32_t maxColours);

struct TitleFile {
    std::vector<uint8_t> bytes; // the whole BMP file
    bool rle8;                  // BI_RLE8, else plain rows
    size_t plainBytes;          // pixel data as plain rows
    size_t rleBytes;            // pixel data as BI_RLE8
};

// The BMP file: 14-byte file header, 40-byte info header, a colour table of the picture's
// colours (biClrUsed), then BI_RLE8 when that is smaller than the plain rows, else these.
TitleFile WriteTitleBmp(const TitlePicture& picture);

// "title.bmp: 420 x 300 pixels, 236 colours, BI_RLE8 (51,234 bytes; plain rows 126,000)"
std::string TitleSummary(const std::string& name, const TitlePicture& picture,
                         const TitleFile& file);
