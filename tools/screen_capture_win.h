// The pixels that the screen shows, for the programs that check or time what a window draws.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

// The pixels of a screen rectangle as 0x00RRGGBB values, rows top-down.
bool CaptureScreen(const RECT& rect, std::vector<uint32_t>* pixels);
