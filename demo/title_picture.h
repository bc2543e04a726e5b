// The demo disc's title picture, drawn in code: an evening sky over hills with the word
// CORVANE across it, 420 x 280 pixels in 256 colours.
#pragma once
#include "demo/bmp_writer.h"

namespace demo
{

constexpr int kTitleWidth = 420;
constexpr int kTitleHeight = 280;

// The picture with its palette; the same every time.
bmpw::Picture DrawTitlePicture();

// The picture as a complete RLE8 BMP file.
std::vector<uint8_t> TitlePictureFile();

} // namespace demo
