// The portable half of the start-up timing: when a captured frame shows a window painted, and
// what a series of timings comes to. The Windows driver captures and times; this judges.
#pragma once
#include <cstdint>
#include <vector>

namespace startup_bench
{

// A captured screen area: width x height pixels as 0x00RRGGBB, rows top-down.
struct Frame {
    int32_t width = 0;
    int32_t height = 0;
    const uint32_t* pixels = nullptr;
};

// An area of a frame: right and bottom exclusive.
struct Area {
    int32_t left, top, right, bottom;
};

// True when the frame shows the width x height picture (0x00RRGGBB, rows top-down) with its
// top-left corner at (left, top), pixel for pixel. A picture that does not lie wholly inside
// the frame, or an empty one, is not shown.
bool ShowsPicture(const Frame& frame, int32_t left, int32_t top,
                  const std::vector<uint32_t>& picture, int32_t width, int32_t height);

// True when at least half of the area's pixels have the colour (0x00RRGGBB): a button's face
// or a window's background once it is painted, whatever text or focus mark lies on it. An
// empty area, or one not wholly inside the frame, is not.
bool MostlyColour(const Frame& frame, const Area& area, uint32_t colour);

// True when the area shows a push button drawn on a face of that colour: half of its pixels
// or more have the colour, and some do not (its edges and its text). A dialog erases the
// ground beneath its buttons with the same colour, so an area all of the colour shows only
// the erased dialog, not yet the button.
bool ShowsButton(const Frame& frame, const Area& area, uint32_t face);

// What a series of timings comes to, in the timings' own unit.
struct Summary {
    int count = 0;
    double median = 0, min = 0, max = 0;
    double lowerQuartile = 0, upperQuartile = 0;
};

// The series' median, extremes and quartiles (linear between the two nearest ranks).
// All zero for an empty series.
Summary Summarise(std::vector<double> values);

} // namespace startup_bench
