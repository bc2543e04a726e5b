// The start-up timer's judgement of captured frames and its summary of a series of timings.
#include "bench/startup/startup_measure.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace
{

using startup_bench::Area;
using startup_bench::Frame;
using startup_bench::MostlyColour;
using startup_bench::ShowsButton;
using startup_bench::ShowsPicture;
using startup_bench::Summarise;

constexpr uint32_t kBackground = 0x00FFFFFF;

// A small picture whose neighbouring pixels all differ, so that any shift shows.
std::vector<uint32_t> MakePicture(int32_t width, int32_t height)
{
    std::vector<uint32_t> picture;
    for (int32_t i = 0; i < width * height; ++i)
        picture.push_back((0x00010203u * uint32_t(i + 1)) & 0x00FFFFFFu);
    return picture;
}

// A frame of the background colour with the picture pasted at (left, top).
std::vector<uint32_t> FrameWith(int32_t frameWidth, int32_t frameHeight,
                                const std::vector<uint32_t>& picture, int32_t width, int32_t height,
                                int32_t left, int32_t top)
{
    std::vector<uint32_t> pixels(size_t(frameWidth) * size_t(frameHeight), kBackground);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            pixels[size_t(top + y) * size_t(frameWidth) + size_t(left + x)] =
                picture[size_t(y) * size_t(width) + size_t(x)];
    return pixels;
}

// The picture counts as shown only where it stands whole and exact; a place partly or wholly
// outside the frame is refused without reading past the frame.
TEST(StartupFrames, PictureIsShownOnlyWholeExactAndInside)
{
    const int32_t fw = 20, fh = 12, w = 7, h = 5, left = 4, top = 3;
    const std::vector<uint32_t> picture = MakePicture(w, h);
    const std::vector<uint32_t> pixels = FrameWith(fw, fh, picture, w, h, left, top);
    const struct {
        std::string name;
        int32_t left, top;
        int changedPixel; // index into the frame to alter, or -1
        bool shown;
    } cases[] = {
        {"in place", left, top, -1, true},
        {"first pixel differs", left, top, top * fw + left, false},
        {"last pixel differs", left, top, (top + h - 1) * fw + left + w - 1, false},
        {"pixel beside the picture differs", left, top, top * fw + left + w, true},
        {"one column right", left + 1, top, -1, false},
        {"one row up", left, top - 1, -1, false},
        {"left of the frame", -1, top, -1, false},
        {"above the frame", left, -1, -1, false},
        {"past the right edge", fw - w + 1, top, -1, false},
        {"past the bottom edge", left, fh - h + 1, -1, false},
        {"near the largest place", std::numeric_limits<int32_t>::max() - 2, top, -1, false},
        {"at the largest place", left, std::numeric_limits<int32_t>::max(), -1, false},
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> shown = pixels;
        if (c.changedPixel >= 0)
            shown[size_t(c.changedPixel)] ^= 0x00000101u;
        const Frame frame = {fw, fh, shown.data()};
        EXPECT_EQ(ShowsPicture(frame, c.left, c.top, picture, w, h), c.shown) << c.name;
    }
}

// A picture whose size does not match its pixels, or that has none, is never shown.
TEST(StartupFrames, PictureOfNoOrWrongSizeIsNotShown)
{
    const std::vector<uint32_t> picture = MakePicture(3, 3);
    const std::vector<uint32_t> pixels = FrameWith(8, 8, picture, 3, 3, 0, 0);
    const Frame frame = {8, 8, pixels.data()};
    EXPECT_TRUE(ShowsPicture(frame, 0, 0, picture, 3, 3));
    EXPECT_FALSE(ShowsPicture(frame, 0, 0, picture, 3, 4));
    EXPECT_FALSE(ShowsPicture(frame, 0, 0, picture, 9, 1));
    EXPECT_FALSE(ShowsPicture(frame, 0, 0, {}, 0, 0));
    EXPECT_FALSE(ShowsPicture(Frame{}, 0, 0, picture, 3, 3));
}

// An area holds a colour when half of its pixels or more have it, and shows a button when
// besides some do not; an empty area, or one not wholly inside the frame, does neither.
TEST(StartupFrames, AreaHoldsAColourOrAButtonFromHalfOfItsPixels)
{
    const int32_t fw = 10, fh = 6;
    const uint32_t face = 0x00C0C0C0;
    const Area area = {2, 1, 8, 5}; // 6 x 4 = 24 pixels
    const struct {
        std::string name;
        int facePixels; // how many of the area's pixels, in reading order, show the face
        Area area;
        bool holds;
        bool button; // a drawn button: the face, and edges or text of other colours
    } cases[] = {
        {"all", 24, area, true, false},
        {"all but one", 23, area, true, true},
        {"exactly half", 12, area, true, true},
        {"one short of half", 11, area, false, false},
        {"none", 0, area, false, false},
        {"empty area", 24, {3, 3, 3, 5}, false, false},
        {"reversed area", 24, {8, 1, 2, 5}, false, false},
        {"left of the frame", 24, {-1, 1, 5, 5}, false, false},
        {"past the right edge", 24, {2, 1, fw + 1, 5}, false, false},
        {"past the bottom edge", 24, {2, 1, 8, fh + 1}, false, false},
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> pixels(size_t(fw) * size_t(fh), kBackground);
        int painted = 0;
        for (int32_t y = area.top; y < area.bottom; ++y)
            for (int32_t x = area.left; x < area.right; ++x)
                if (painted < c.facePixels) {
                    pixels[size_t(y) * size_t(fw) + size_t(x)] = face;
                    ++painted;
                }
        const Frame frame = {fw, fh, pixels.data()};
        EXPECT_EQ(MostlyColour(frame, c.area, face), c.holds) << c.name;
        EXPECT_EQ(ShowsButton(frame, c.area, face), c.button) << c.name;
    }
}

// Median and quartiles lie between the two nearest ranks of the sorted series, whatever order
// the timings came in.
TEST(StartupSummary, MedianQuartilesAndExtremesOfUnsortedSeries)
{
    const struct {
        std::string name;
        std::vector<double> values;
        double median, lower, upper, min, max;
    } cases[] = {
        {"one value", {7}, 7, 7, 7, 7, 7},
        {"odd count", {5, 1, 3}, 3, 2, 4, 1, 5},
        {"even count", {4, 1, 3, 2}, 2.5, 1.75, 3.25, 1, 4},
        {"repeated values", {2, 2, 9, 2, 2}, 2, 2, 2, 2, 9},
        {"fifteen runs", {15, 1, 14, 2, 13, 3, 12, 4, 11, 5, 10, 6, 9, 7, 8}, 8, 4.5, 11.5, 1, 15},
    };
    for (const auto& c : cases) {
        const startup_bench::Summary s = Summarise(c.values);
        EXPECT_EQ(s.count, int(c.values.size())) << c.name;
        EXPECT_DOUBLE_EQ(s.median, c.median) << c.name;
        EXPECT_DOUBLE_EQ(s.lowerQuartile, c.lower) << c.name;
        EXPECT_DOUBLE_EQ(s.upperQuartile, c.upper) << c.name;
        EXPECT_DOUBLE_EQ(s.min, c.min) << c.name;
        EXPECT_DOUBLE_EQ(s.max, c.max) << c.name;
    }
    const startup_bench::Summary none = Summarise({});
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.median, 0);
}

} // namespace
