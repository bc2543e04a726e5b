// mktitle's Windows side: decoding with the imaging component (WIC), scaling with its Fant
// scaler, files, and the launcher's window on the checked screens.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "mktitle/title_core.h"

enum class SourceResult { Read, NoCodecs, Unreadable, TooLarge };

struct TitleSource {
    int32_t decodedWidth = 0, decodedHeight = 0; // the first frame as decoded
    int32_t width = 0, height = 0;               // after fitting
    std::vector<TitleRgb> pixels;                // top row first, over the background
    std::string problem;                         // why it could not be read
};

// Reads the first frame of the picture at path, puts it over the background and fits it into
// the options' box. COM must be initialised on the calling thread.
SourceResult ReadTitleSource(const std::wstring& path, const TitleOptions& options,
                             TitleSource* source);

// Whether the two paths name one file: the same full path, or (for an existing file) the same
// file however it is named (another case, a short name, a link).
bool SameFile(const std::wstring& a, const std::wstring& b);

// Writes the bytes to path through a new file in its folder that then replaces it, so that a
// failure leaves any earlier file as it was. False with the system's error text.
bool WriteTitleFile(const std::wstring& path, const std::vector<uint8_t>& bytes,
                    std::string* problem);

// The checker's lines on the launcher's window around a width x height picture, on each of
// the screens it checks, with the dialog measured from instance's resources.
std::vector<std::string> WindowFitLines(HINSTANCE instance, int32_t width, int32_t height);

// Text for the console: the path in the console's code page.
std::string ConsoleText(const std::wstring& text);
