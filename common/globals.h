// The launcher's state that more than one layer reads, each with one writer: the settings
// step of WinMain (launcher/) fills the three paths before the startup dialog opens, and the
// startup window (startup/) sets its own handle; every other layer only reads them. State
// that only one layer and the entry use lives beside that layer: the picture and its place in
// startup/startup.h, the runtime check's result in installer/wing_installer.h.
#pragma once
#include <windows.h>

#include "common/path_join.h"

extern char SourceDir[kPathBufferSize];  // the launcher's own directory, ending in '\', or ""
extern char GameFile[kPathBufferSize];   // [CorvaneGame] game=
extern char BitmapFile[kPathBufferSize]; // [CorvaneGame] bitmap=
extern HWND StartupDialog;               // the startup window, owner of the runtime's copy prompt
