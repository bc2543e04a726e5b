// The launcher's shared state; see globals.h for who writes each.
#include "common/globals.h"

char SourceDir[kPathBufferSize];
char GameFile[kPathBufferSize];
char BitmapFile[kPathBufferSize];
HWND StartupDialog;
