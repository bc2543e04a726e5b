// The startup window: its class, window procedure and dialog procedure.
#pragma once
#include <windows.h>

#include "startup/layout.h"

extern const char kStartupClassName[]; // "CorvaneStartupDialogClass"

struct DibImage;

// The window's picture and where it goes. The window procedure loads and frees the picture
// and the dialog procedure places it; WinMain clears the picture before the dialog opens.
extern DibImage* StartupImage; // the title picture while the startup window holds it, or null
extern RECT ImageRect;         // where the picture goes, client coordinates

void FillStartupClass(WNDCLASSA* wc, HINSTANCE instance);
LRESULT CALLBACK StartupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK StartupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A rectangle as the system measured it, in the layout's own type.
inline LayoutRect ToLayout(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}
