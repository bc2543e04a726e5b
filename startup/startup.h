// The startup window: its class, window procedure and dialog procedure.
#pragma once
#include <windows.h>

struct DibImage;

extern const char kStartupClassName[]; // "CorvaneStartupDialogClass"
extern DibImage* StartupImage;
extern RECT ImageRect;
extern HWND StartupDialog;

void FillStartupClass(WNDCLASSA* wc, HINSTANCE instance);
LRESULT CALLBACK StartupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK StartupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
