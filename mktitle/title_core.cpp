// mktitle's command line, fitting, background and the BMP it writes; see title_core.h.
#include "mktitle/title_core.h"

#include <cstdio>
#include <cwctype>

#include "demo/bmp_writer.h"

namespace
{

// Sides the launcher's reader accepts (bitmap/bmp_core.h: kBmpMaxSide).
constexpr int32_t kLargestSide = 16384;

// The text for a message: ASCII as it is, anything else as '?'.
std::string Ascii(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c > 0 && c < 128 ? char(c) : '?';
    return out;
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& c : text)
        c = wchar_t(std::towlower(wint_t(c)));
    return text;
}

// A whole decimal number from first to last, within [low, high].
bool ReadNumber(const std::wstring& text, size_t first, size_t last, int64_t low, int64_t high,
                int64_t* value)
{
    if (first >= last || last - first > 9)
        return false;
    int64_t n = 0;
    for (size_t i = first; i < last; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        n = n * 10 + (text[i] - L'0');
    }
    *value = n;
    return n >= low && n <= high;
}

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

bool ReadColour(std::wstring text, TitleRgb* colour)
{
    if (!text.empty() && text[0] == L'#')
        text.erase(0, 1);
    if (text.size() != 6)
        return false;
    uint8_t parts[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        parts[i] = uint8_t(high * 16 + low);
    }
    *colour = TitleRgb{parts[0], parts[1], parts[2]};
    return true;
}

bool ReadBox(const std::wstring& text, int32_t* width, int32_t* height)
{
    const size_t x = Lower(text).find(L'x');
    int64_t w = 0, h = 0;
    if (x == std::wstring::npos || !ReadNumber(text, 0, x, 1, kLargestSide, &w) ||
        !ReadNumber(text, x + 1, text.size(), 1, kLargestSide, &h))
        return false;
    *width = int32_t(w);
    *height = int32_t(h);
    return true;
}

std::string Thousands(size_t value)
{
    std::string digits = std::to_string(value);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(size_t(at), ",");
    return digits;
}

} // namespace

const char* TitleUsage()
{
    return "usage: mktitle IN OUT.bmp [/colors N] [/fit WxH] [/background RRGGBB]\n"
           "  Makes the launcher's title picture from any picture Windows reads (PNG, JPEG,\n"
           "  GIF, BMP, TIFF, ICO): an 8-bit BMP, run-length encoded when that is smaller.\n"
           "  /colors N       at most N colours, 2 to 256 (default 236: a 256-colour screen\n"
           "                  shows 236 of a picture's colours exactly)\n"
           "  /fit WxH        scales the picture down to fit W x H pixels, never up\n"
           "  /background RRGGBB  the colour behind transparent pixels (default C0C0C0)\n";
}

bool ParseTitleArguments(const std::vector<std::wstring>& args, TitleOptions* o,
                         std::string* problem)
{
    std::vector<std::wstring> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool option = arg.size() > 1 && (arg[0] == L'/' || arg[0] == L'-');
        const std::wstring name = option ? Lower(arg.substr(1)) : std::wstring();
        if (!option) {
            files.push_back(arg);
            continue;
        }
        if (name == L"?" || name == L"h" || name == L"help" || name == L"-help") {
            o->help = true;
            return true;
        }
        if (name != L"colors" && name != L"colours" && name != L"fit" && name != L"background") {
            *problem = "unknown option " + Ascii(arg);
            return false;
        }
        if (i + 1 == args.size()) {
            *problem = Ascii(arg) + " without its value";
            return false;
        }
        const std::wstring& value = args[++i];
        int64_t colours = 0;
        if (name == L"fit" && !ReadBox(value, &o->fitWidth, &o->fitHeight)) {
            *problem = "/fit takes WxH, two whole numbers from 1 to 16384 (/fit 640x400)";
            return false;
        }
        if (name == L"background" && !ReadColour(value, &o->background)) {
            *problem = "/background takes a colour as RRGGBB in hexadecimal (/background C0C0C0)";
            return false;
        }
        if (name[0] == L'c') {
            if (!ReadNumber(value, 0, value.size(), 2, 256, &colours)) {
                *problem = "/colors takes a whole number from 2 to 256";
                return false;
            }
            o->colours = uint32_t(colours);
        }
    }
    if (files.size() != 2) {
        *problem = files.size() < 2 ? "IN and OUT are both needed" : "more than IN and OUT given";
        return false;
    }
    o->input = files[0];
    o->output = files[1];
    return true;
}

bool FitTitleSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight,
                  int32_t* fitWidth, int32_t* fitHeight)
{
    *fitWidth = width;
    *fitHeight = height;
    if (width <= boxWidth && height <= boxHeight)
        return false;
    // The side that the box limits most is the box's; the other keeps the proportion.
    const int64_t w = width, h = height;
    if (w * boxHeight >= h * boxWidth) {
        *fitWidth = boxWidth;
        *fitHeight = int32_t((h * boxWidth * 2 + w) / (w * 2));
    } else {
        *fitHeight = boxHeight;
        *fitWidth = int32_t((w * boxHeight * 2 + h) / (h * 2));
    }
    if (*fitWidth < 1)
        *fitWidth = 1;
    if (*fitHeight < 1)
        *fitHeight = 1;
    return true;
}

void PutOverBackground(uint8_t* bgra, size_t count, TitleRgb background)
{
    const uint32_t behind[3] = {background.blue, background.green, background.red};
    for (uint8_t* p = bgra; p != bgra + 4 * count; p += 4) {
        const uint32_t a = p[3];
        for (int k = 0; k < 3; ++k)
            p[k] = uint8_t((p[k] * a + behind[k] * (255 - a) + 127) / 255);
        p[3] = 255;
    }
}

std::vector<TitleRgb> RgbPixels(const uint8_t* bgra, size_t count)
{
    std::vector<TitleRgb> out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = TitleRgb{bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]};
    return out;
}

TitleFile WriteTitleBmp(const TitlePicture& p)
{
    bmpw::Picture picture;
    picture.width = p.width;
    picture.height = p.height;
    picture.pixels = p.pixels;
    for (const TitleRgb& c : p.palette)
        picture.palette.push_back(bmpw::RgbQuad{c.blue, c.green, c.red, 0});
    const std::vector<uint8_t> plain = bmpw::PlainRows(picture), rle = bmpw::EncodeRle8(picture);
    TitleFile file;
    file.rle8 = rle.size() < plain.size();
    file.plainBytes = plain.size();
    file.rleBytes = rle.size();
    bmpw::BmpFields fields; // bottom row first, 8 bits, 72 dpi
    fields.biWidth = p.width;
    fields.biHeight = p.height;
    fields.biCompression = file.rle8 ? bmpw::kBiRle8 : bmpw::kBiRgb;
    fields.biClrUsed = fields.biClrImportant = uint32_t(p.palette.size());
    file.bytes = bmpw::BuildBmp(fields, picture.palette, file.rle8 ? rle : plain);
    return file;
}

std::string TitleSummary(const std::string& name, const TitlePicture& p, const TitleFile& file)
{
    char text[160];
    std::snprintf(text, sizeof text, "%d x %d pixels, %u colour%s, ", p.width, p.height,
                  unsigned(p.palette.size()), p.palette.size() == 1 ? "" : "s");
    std::string data =
        file.rle8 ? "BI_RLE8 (" + Thousands(file.rleBytes) + " bytes of pixel data; plain rows " +
                        Thousands(file.plainBytes) + ")"
                  : "plain rows (" + Thousands(file.plainBytes) + " bytes of pixel data; BI_RLE8 " +
                        Thousands(file.rleBytes) + ")";
    return name + ": " + text + data + ", " + Thousands(file.bytes.size()) + " bytes";
}
