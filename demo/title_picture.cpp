#include "demo/title_picture.h"

#include <cmath>
#include <cstring>

namespace demo
{
namespace
{

// Palette layout: each band of indices holds one shaded colour ramp.
constexpr int kSky = 0; // 0..95: zenith blue down to a warm horizon
constexpr int kSkyCount = 96;
constexpr int kSun = 96; // 96..127: sun and its glow
constexpr int kSunCount = 32;
constexpr int kHill = 128; // 128..223: three hill ranges of 32 shades each
constexpr int kHillCount = 32;
constexpr int kText = 224; // 224..247: lettering, gold from top to bottom
constexpr int kTextCount = 24;
constexpr int kShadow = 248; // lettering shadow
constexpr int kBird = 249;   // birds in the sky

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

bmpw::RgbQuad Quad(Rgb c)
{
    auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); };
    return bmpw::RgbQuad{clamp(c.b), clamp(c.g), clamp(c.r), 0};
}

// Fills band [first, first + count) with a ramp through three colours.
void Ramp(std::vector<bmpw::RgbQuad>& palette, int first, int count, Rgb a, Rgb b, Rgb c)
{
    for (int i = 0; i < count; ++i) {
        double t = double(i) / double(count - 1);
        Rgb col = t < 0.5 ? Mix(a, b, t * 2) : Mix(b, c, (t - 0.5) * 2);
        palette[size_t(first + i)] = Quad(col);
    }
}

std::vector<bmpw::RgbQuad> MakePalette()
{
    std::vector<bmpw::RgbQuad> palette(256, bmpw::RgbQuad{0, 0, 0, 0});
    Ramp(palette, kSky, kSkyCount, {18, 32, 84}, {120, 96, 170}, {255, 176, 110});
    Ramp(palette, kSun, kSunCount, {255, 190, 110}, {255, 226, 150}, {255, 252, 228});
    Ramp(palette, kHill, kHillCount, {150, 120, 170}, {120, 100, 150}, {86, 72, 120});
    Ramp(palette, kHill + kHillCount, kHillCount, {76, 110, 120}, {52, 88, 96}, {34, 64, 74});
    Ramp(palette, kHill + 2 * kHillCount, kHillCount, {40, 90, 48}, {26, 66, 36}, {12, 38, 22});
    Ramp(palette, kText, kTextCount, {255, 244, 190}, {250, 200, 80}, {196, 110, 30});
    palette[kShadow] = Quad({28, 18, 40});
    palette[kBird] = Quad({30, 26, 48});
    return palette;
}

// A 5 x 7 pixel font with just the letters of the title.
struct Glyph {
    char letter;
    const char* rows[7];
};

const Glyph kFont[] = {
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
};

const Glyph* FindGlyph(char letter)
{
    for (const Glyph& g : kFont)
        if (g.letter == letter)
            return &g;
    return nullptr;
}

void Put(bmpw::Picture& p, int x, int y, uint8_t v)
{
    if (x >= 0 && y >= 0 && x < p.width && y < p.height)
        p.at(x, y) = v;
}

void DrawSky(bmpw::Picture& p)
{
    for (int y = 0; y < p.height; ++y) {
        int shade = y * (kSkyCount - 1) / 200;
        if (shade > kSkyCount - 1)
            shade = kSkyCount - 1;
        for (int x = 0; x < p.width; ++x)
            p.at(x, y) = uint8_t(kSky + shade);
    }
}

void DrawSun(bmpw::Picture& p, int cx, int cy, int radius)
{
    for (int y = cy - 2 * radius; y <= cy + 2 * radius; ++y) {
        for (int x = cx - 2 * radius; x <= cx + 2 * radius; ++x) {
            double d = std::sqrt(double((x - cx) * (x - cx) + (y - cy) * (y - cy)));
            if (d <= radius) {
                Put(p, x, y, uint8_t(kSun + kSunCount - 1 - int(d * 8 / radius)));
            } else if (d <= 1.6 * radius && (x + y) % 2 == 0) {
                // A dithered halo around the disc.
                Put(p, x, y, uint8_t(kSun + int((1.6 * radius - d) * 10 / radius)));
            }
        }
    }
}

// One hill range: a ridge line from a sum of waves, shaded darker towards the bottom.
void DrawHills(bmpw::Picture& p, int band, double base, double a1, double f1, double a2, double f2,
               double phase)
{
    for (int x = 0; x < p.width; ++x) {
        double ridge = base + a1 * std::sin(x * f1 + phase) + a2 * std::sin(x * f2 + 2 * phase);
        int top = int(ridge);
        for (int y = top < 0 ? 0 : top; y < p.height; ++y) {
            int shade = (y - top) * kHillCount / (p.height - top + 1);
            p.at(x, y) = uint8_t(kHill + band * kHillCount + shade);
        }
    }
}

// A small bird: two wing strokes meeting in a point.
void DrawBird(bmpw::Picture& p, int x, int y, int span)
{
    for (int i = 0; i <= span; ++i) {
        int lift = (i * 2) / 3;
        Put(p, x - i, y - lift + (i > span / 2 ? 1 : 0), kBird);
        Put(p, x + i, y - lift + (i > span / 2 ? 1 : 0), kBird);
    }
    Put(p, x, y + 1, kBird);
}

void DrawWord(bmpw::Picture& p, const char* word, int scale, int top)
{
    int letters = int(std::strlen(word));
    int advance = 6 * scale;
    int width = letters * advance - scale;
    int left = (p.width - width) / 2;
    for (int pass = 0; pass < 2; ++pass) {
        int shift = pass == 0 ? scale / 2 + 1 : 0; // shadow first, then the gold letters
        for (int i = 0; i < letters; ++i) {
            const Glyph* g = FindGlyph(word[i]);
            if (!g)
                continue;
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (g->rows[row][col] != '#')
                        continue;
                    for (int dy = 0; dy < scale; ++dy) {
                        for (int dx = 0; dx < scale; ++dx) {
                            int x = left + i * advance + col * scale + dx + shift;
                            int y = top + row * scale + dy + shift;
                            uint8_t v = kShadow;
                            if (pass == 1)
                                v = uint8_t(kText + (y - top) * kTextCount / (7 * scale));
                            Put(p, x, y, v);
                        }
                    }
                }
            }
        }
    }
}

} // namespace

bmpw::Picture DrawTitlePicture()
{
    bmpw::Picture p;
    p.width = kTitleWidth;
    p.height = kTitleHeight;
    p.pixels.assign(size_t(p.width) * size_t(p.height), 0);
    p.palette = MakePalette();
    DrawSky(p);
    DrawSun(p, 300, 176, 34);
    DrawHills(p, 0, 180, 14, 0.021, 6, 0.057, 0.4);
    DrawHills(p, 1, 208, 12, 0.016, 5, 0.043, 2.1);
    DrawHills(p, 2, 236, 10, 0.012, 4, 0.049, 4.0);
    DrawBird(p, 96, 132, 7);
    DrawBird(p, 118, 120, 5);
    DrawBird(p, 140, 138, 6);
    DrawWord(p, "CORVANE", 7, 34);
    return p;
}

std::vector<uint8_t> TitlePictureFile()
{
    return bmpw::WriteRle8Bmp(DrawTitlePicture());
}

} // namespace demo
