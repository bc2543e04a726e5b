// What the launcher asks of a file by its name.
#pragma once
#include <windows.h>

// Whether path names a file, not a folder, that can be seen now.
bool IsFile(const char* path);
