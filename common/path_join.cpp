#include "common/path_join.h"

#include <cstring>

bool JoinPath(char* dst, size_t cap, const char* a, const char* b)
{
    if (cap == 0)
        return false;
    size_t la = strlen(a);
    size_t lb = strlen(b);
    if (la >= cap || lb >= cap - la) {
        dst[0] = '\0';
        return false;
    }
    memmove(dst, a, la);
    memmove(dst + la, b, lb);
    dst[la + lb] = '\0';
    return true;
}
