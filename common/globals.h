// The launcher's state that more than one layer reads. Each has one writer: WinMain fills the
// paths before the startup dialog opens, the startup window sets its picture, place and
// handle, and Play's runtime check sets WinGInstalled; every other layer only reads them.
#pragma once
#include <windows.h>

#include "common/path_join.h"

struct DibImage;

extern char SourceDir[kPathBufferSize];  // the launcher's own directory, ending in '\', or ""
extern char GameFile[kPathBufferSize];   // [CorvaneGame] game=
extern char BitmapFile[kPathBufferSize]; // [CorvaneGame] bitmap=
extern DibImage* StartupImage; // the title picture while the startup window holds it, or null
extern RECT ImageRect;         // where the picture goes, client coordinates
extern HWND StartupDialog;     // the startup window, owner of the runtime's copy prompt
extern int WinGInstalled;      // 1 once wing32.dll was found or made up to date in this run
