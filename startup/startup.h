// The startup window: its class, window procedure and dialog procedure.
#pragma once
#include <windows.h>

#include "startup/layout.h"

extern const char kStartupClassName[]; // "CorvaneStartupDialogClass"

void FillStartupClass(WNDCLASSA* wc, HINSTANCE instance);
LRESULT CALLBACK StartupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK StartupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A rectangle as the system measured it, in the layout's own type.
inline LayoutRect ToLayout(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}
