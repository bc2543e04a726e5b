// Reducing a picture to a palette: the picture's own colours when there are few enough,
// else median cut over a histogram of the picture's colours refined by k-means, the pixels
// then mapped with Floyd-Steinberg error diffusion. Distances are plain squared RGB
// differences, the measure that the picture's signal-to-noise ratio counts.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "mktitle/title_core.h"

namespace
{

uint32_t Key(const TitleRgb& c)
{
    return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

// A cell of the histogram: the pixels whose colours share their top 5 bits per channel.
struct Cell {
    double weight;
    double sum[3];
    double mean(int channel) const { return sum[channel] / weight; }
};

// The picture's colours, each once, in order of first appearance; empty when there are
// more than limit of them.
std::vector<TitleRgb> ExactColours(const std::vector<TitleRgb>& pixels, uint32_t limit,
                                   std::unordered_map<uint32_t, uint8_t>* index)
{
    std::vector<TitleRgb> colours;
    for (const TitleRgb& p : pixels) {
        if (index->count(Key(p)))
            continue;
        if (colours.size() == limit) {
            index->clear();
            return {};
        }
        index->emplace(Key(p), uint8_t(colours.size()));
        colours.push_back(p);
    }
    return colours;
}

std::vector<Cell> Histogram(const std::vector<TitleRgb>& pixels)
{
    std::vector<Cell> grid(32 * 32 * 32, Cell{0, {0, 0, 0}});
    for (const TitleRgb& p : pixels) {
        Cell& c = grid[(p.red >> 3) << 10 | (p.green >> 3) << 5 | p.blue >> 3];
        c.weight += 1;
        c.sum[0] += p.red;
        c.sum[1] += p.green;
        c.sum[2] += p.blue;
    }
    std::vector<Cell> cells;
    for (const Cell& c : grid)
        if (c.weight > 0)
            cells.push_back(c);
    return cells;
}

// Sums over a range of cells from which the squared error around their mean follows.
struct Moments {
    double weight = 0, sum[3] = {0, 0, 0}, squares = 0;
    void add(const Cell& c)
    {
        weight += c.weight;
        for (int k = 0; k < 3; ++k) {
            sum[k] += c.sum[k];
            squares += c.sum[k] * c.mean(k);
        }
    }
    double error() const
    {
        if (weight <= 0)
            return 0;
        return squares - (sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]) / weight;
    }
};

struct Box {
    size_t begin, end;
    double error;
};

Box MakeBox(const std::vector<Cell>& cells, size_t begin, size_t end)
{
    Moments m;
    for (size_t i = begin; i < end; ++i)
        m.add(cells[i]);
    return Box{begin, end, end - begin > 1 ? m.error() : 0};
}

// Splits the box where the two halves leave the least squared error, along the channel in
// which the box spreads most.
void SplitBox(std::vector<Cell>* cells, const Box& box, Box* low, Box* high)
{
    double spread[3];
    for (int k = 0; k < 3; ++k) {
        double lowest = 255, highest = 0;
        for (size_t i = box.begin; i < box.end; ++i) {
            lowest = std::min(lowest, (*cells)[i].mean(k));
            highest = std::max(highest, (*cells)[i].mean(k));
        }
        spread[k] = highest - lowest;
    }
    const int k = spread[0] >= spread[1] && spread[0] >= spread[2] ? 0
                  : spread[1] >= spread[2]                         ? 1
                                                                   : 2;
    std::sort(cells->begin() + ptrdiff_t(box.begin), cells->begin() + ptrdiff_t(box.end),
              [k](const Cell& a, const Cell& b) { return a.mean(k) < b.mean(k); });
    Moments total;
    for (size_t i = box.begin; i < box.end; ++i)
        total.add((*cells)[i]);
    Moments left;
    size_t best = box.begin + 1;
    double bestError = -1;
    for (size_t i = box.begin; i + 1 < box.end; ++i) {
        left.add((*cells)[i]);
        Moments right = total;
        right.weight -= left.weight;
        right.squares -= left.squares;
        for (int c = 0; c < 3; ++c)
            right.sum[c] -= left.sum[c];
        const double error = left.error() + right.error();
        if (bestError < 0 || error < bestError) {
            bestError = error;
            best = i + 1;
        }
    }
    *low = MakeBox(*cells, box.begin, best);
    *high = MakeBox(*cells, best, box.end);
}

struct Colour {
    double c[3];
};

double Distance(const double* a, const Colour& b)
{
    const double r = a[0] - b.c[0], g = a[1] - b.c[1], bl = a[2] - b.c[2];
    return r * r + g * g + bl * bl;
}

size_t Nearest(const double* colour, const std::vector<Colour>& palette)
{
    size_t best = 0;
    double bestDistance = Distance(colour, palette[0]);
    for (size_t i = 1; i < palette.size(); ++i) {
        const double d = Distance(colour, palette[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

std::vector<Colour> ChoosePalette(std::vector<Cell> cells, uint32_t count)
{
    std::vector<Box> boxes = {MakeBox(cells, 0, cells.size())};
    while (boxes.size() < count) {
        auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return a.error < b.error;
        });
        if (widest->error <= 0)
            break;
        Box low, high;
        SplitBox(&cells, *widest, &low, &high);
        *widest = low;
        boxes.push_back(high);
    }
    std::vector<Colour> palette;
    for (const Box& b : boxes) {
        Moments m;
        for (size_t i = b.begin; i < b.end; ++i)
            m.add(cells[i]);
        palette.push_back(Colour{{m.sum[0] / m.weight, m.sum[1] / m.weight, m.sum[2] / m.weight}});
    }
    // k-means: each colour moves to the mean of the cells nearest to it.
    for (int round = 0; round < 8; ++round) {
        std::vector<Moments> groups(palette.size());
        for (const Cell& cell : cells) {
            const double mean[3] = {cell.mean(0), cell.mean(1), cell.mean(2)};
            groups[Nearest(mean, palette)].add(cell);
        }
        double moved = 0;
        for (size_t i = 0; i < palette.size(); ++i) {
            if (groups[i].weight <= 0)
                continue;
            const double* s = groups[i].sum;
            const Colour next = {
                {s[0] / groups[i].weight, s[1] / groups[i].weight, s[2] / groups[i].weight}};
            moved = std::max(moved, Distance(next.c, palette[i]));
            palette[i] = next;
        }
        if (moved < 0.25)
            break;
    }
    for (Colour& colour : palette)
        for (double& c : colour.c)
            c = double(int(c + 0.5));
    return palette;
}

// Floyd-Steinberg error diffusion, serpentine, each pixel mapped to the nearest colour.
std::vector<uint8_t> Diffuse(const std::vector<TitleRgb>& pixels, int32_t width, int32_t height,
                             const std::vector<Colour>& palette)
{
    std::vector<uint8_t> out(pixels.size());
    const size_t w = size_t(width);
    std::vector<double> errors(2 * 3 * (w + 2), 0.0);
    std::unordered_map<uint32_t, uint8_t> nearest; // colours seen, as the palette maps them
    for (int32_t y = 0; y < height; ++y) {
        double* here = errors.data() + 3 * (w + 2) * size_t(y & 1);
        double* next = errors.data() + 3 * (w + 2) * size_t((y + 1) & 1);
        std::fill(next, next + 3 * (w + 2), 0.0);
        const bool forward = (y & 1) == 0;
        for (int32_t i = 0; i < width; ++i) {
            const size_t x = size_t(forward ? i : width - 1 - i);
            const TitleRgb& p = pixels[size_t(y) * w + x];
            double want[3] = {p.red + here[3 * (x + 1)], p.green + here[3 * (x + 1) + 1],
                              p.blue + here[3 * (x + 1) + 2]};
            TitleRgb rounded;
            uint8_t* parts[3] = {&rounded.red, &rounded.green, &rounded.blue};
            for (int k = 0; k < 3; ++k) {
                want[k] = std::min(255.0, std::max(0.0, want[k]));
                *parts[k] = uint8_t(want[k] + 0.5);
            }
            auto found = nearest.find(Key(rounded));
            if (found == nearest.end()) {
                const double exact[3] = {double(rounded.red), double(rounded.green),
                                         double(rounded.blue)};
                if (nearest.size() >= (1u << 20)) // bounded: a few MiB at most
                    nearest.clear();
                found = nearest.emplace(Key(rounded), uint8_t(Nearest(exact, palette))).first;
            }
            const uint8_t index = found->second;
            out[size_t(y) * w + x] = index;
            // 7/16 ahead, 3/16 behind below, 5/16 below, 1/16 ahead below.
            const ptrdiff_t ahead = forward ? 1 : -1;
            for (int k = 0; k < 3; ++k) {
                const double e = want[k] - palette[index].c[k];
                const size_t at = 3 * (x + 1) + size_t(k);
                here[ptrdiff_t(at) + 3 * ahead] += e * 7 / 16;
                next[ptrdiff_t(at) - 3 * ahead] += e * 3 / 16;
                next[at] += e * 5 / 16;
                next[ptrdiff_t(at) + 3 * ahead] += e / 16;
            }
        }
    }
    return out;
}

} // namespace

TitlePicture ReduceColours(const std::vector<TitleRgb>& pixels, int32_t width, int32_t height,
                           uint32_t maxColours)
{
    TitlePicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(pixels.size());
    std::unordered_map<uint32_t, uint8_t> index;
    picture.palette = ExactColours(pixels, maxColours, &index);
    if (!picture.palette.empty()) {
        for (size_t i = 0; i < pixels.size(); ++i)
            picture.pixels[i] = index[Key(pixels[i])];
        return picture;
    }
    const std::vector<Colour> chosen = ChoosePalette(Histogram(pixels), maxColours);
    const std::vector<uint8_t> mapped = Diffuse(pixels, width, height, chosen);
    // Only the colours the pixels use, each once.
    std::vector<int> slot(chosen.size(), -1);
    std::unordered_map<uint32_t, uint8_t> byColour;
    for (size_t i = 0; i < mapped.size(); ++i) {
        int& s = slot[mapped[i]];
        if (s < 0) {
            const Colour& c = chosen[mapped[i]];
            const TitleRgb rgb = {uint8_t(c.c[0]), uint8_t(c.c[1]), uint8_t(c.c[2])};
            auto known = byColour.emplace(Key(rgb), uint8_t(picture.palette.size()));
            if (known.second)
                picture.palette.push_back(rgb);
            s = known.first->second;
        }
        picture.pixels[i] = uint8_t(s);
    }
    return picture;
}
