#include "common/global_memory.h"

void ReleaseLocked(void* pointer)
{
    HGLOBAL block = GlobalHandle(pointer);
    GlobalUnlock(block);
    GlobalFree(block);
}
