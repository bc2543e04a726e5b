#include "common/global_memory.h"

void* AllocateLocked(UINT flags, SIZE_T size)
{
    HGLOBAL block = GlobalAlloc(flags | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    void* pointer = GlobalLock(block);
    if (!pointer)
        GlobalFree(block);
    return pointer;
}

void ReleaseLocked(void* pointer)
{
    HGLOBAL block = GlobalHandle(pointer);
    GlobalUnlock(block);
    GlobalFree(block);
}
