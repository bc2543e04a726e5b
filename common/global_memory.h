// Blocks of the system's global heap, as the launcher uses them: allocated zero-filled and
// locked while in use.
#pragma once
#include <windows.h>

// Unlocks and frees a block by the pointer that locking it gave.
void ReleaseLocked(void* pointer);
