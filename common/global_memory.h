// Blocks of the system's global heap, as the launcher uses them: allocated zero-filled and
// locked while in use.
#pragma once
#include <windows.h>

// A zero-filled block of the given GlobalAlloc flags (GMEM_ZEROINIT is added), locked; null
// when either step fails, with nothing left allocated.
void* AllocateLocked(UINT flags, SIZE_T size);

// Unlocks and frees a block by the pointer that locking it gave.
void ReleaseLocked(void* pointer);
