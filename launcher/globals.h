// Paths that WinMain fills before the startup dialog opens and that are only read afterwards.
#pragma once

constexpr int kPathBufferSize = 260; // 259 characters and the terminator
constexpr int kProfileValueSize = 259; // values arrive with at most 258 characters

extern char SourceDir[kPathBufferSize];  // the launcher's own directory, ending in '\', or ""
extern char GameFile[kPathBufferSize];   // [CorvaneGame] game=
extern char BitmapFile[kPathBufferSize]; // [CorvaneGame] bitmap=
