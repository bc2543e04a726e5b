// The path globals that WinMain fills from its own location and autorun.inf.
#include "launcher/globals.h"

char SourceDir[kPathBufferSize];
char GameFile[kPathBufferSize];
char BitmapFile[kPathBufferSize];
