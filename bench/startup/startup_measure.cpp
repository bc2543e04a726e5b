#include "bench/startup/startup_measure.h"

#include <algorithm>

namespace startup_bench
{

namespace
{

// Whether the area lies wholly inside the frame and holds at least one pixel.
bool InsideFrame(const Frame& frame, const Area& area)
{
    return frame.pixels && area.left >= 0 && area.top >= 0 && area.left < area.right &&
           area.top < area.bottom && area.right <= frame.width && area.bottom <= frame.height;
}

uint32_t PixelAt(const Frame& frame, int32_t x, int32_t y)
{
    return frame.pixels[size_t(y) * size_t(frame.width) + size_t(x)];
}

int64_t AreaSize(const Area& area)
{
    return int64_t(area.right - area.left) * (area.bottom - area.top);
}

// How many pixels of the area, which lies inside the frame, have the colour.
int64_t CountColour(const Frame& frame, const Area& area, uint32_t colour)
{
    int64_t matching = 0;
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
            matching += PixelAt(frame, x, y) == colour;
    return matching;
}

// The value at fraction q of the sorted series, between its two nearest ranks.
double Quantile(const std::vector<double>& sorted, double q)
{
    const double rank = q * double(sorted.size() - 1);
    const size_t below = size_t(rank);
    const size_t above = std::min(below + 1, sorted.size() - 1);
    const double share = rank - double(below);
    return sorted[below] + (sorted[above] - sorted[below]) * share;
}

} // namespace

bool ShowsPicture(const Frame& frame, int32_t left, int32_t top,
                  const std::vector<uint32_t>& picture, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0 || picture.size() != size_t(width) * size_t(height))
        return false;
    // Widened so that a place near the limits of int32_t cannot wrap into the frame.
    const int64_t right = int64_t(left) + width, bottom = int64_t(top) + height;
    if (right > frame.width || bottom > frame.height)
        return false;
    if (!InsideFrame(frame, {left, top, int32_t(right), int32_t(bottom)}))
        return false;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            if (PixelAt(frame, left + x, top + y) != picture[size_t(y) * size_t(width) + size_t(x)])
                return false;
    return true;
}

bool MostlyColour(const Frame& frame, const Area& area, uint32_t colour)
{
    return InsideFrame(frame, area) && 2 * CountColour(frame, area, colour) >= AreaSize(area);
}

bool ShowsButton(const Frame& frame, const Area& area, uint32_t face)
{
    if (!InsideFrame(frame, area))
        return false;
    const int64_t matching = CountColour(frame, area, face);
    return 2 * matching >= AreaSize(area) && matching < AreaSize(area);
}

Summary Summarise(std::vector<double> values)
{
    Summary summary;
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    summary.count = int(values.size());
    summary.min = values.front();
    summary.max = values.back();
    summary.median = Quantile(values, 0.5);
    summary.lowerQuartile = Quantile(values, 0.25);
    summary.upperQuartile = Quantile(values, 0.75);
    return summary;
}

} // namespace startup_bench
