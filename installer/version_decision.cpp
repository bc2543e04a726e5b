#include "installer/version_decision.h"

#include <cstring>

// Tests in a fixed order so that an unreadable version on either side always copies and
// the two halves compare unsigned, most significant first.
bool NeedsCopy(const FileVersion& installed, const FileVersion& disc)
{
    if (!disc.available)
        return true;
    if (!installed.available)
        return true;
    if (installed.ms < disc.ms)
        return true;
    if (installed.ms != disc.ms)
        return false;
    return installed.ls < disc.ls;
}

bool EnsureTrailingBackslash(char* dir, size_t cap)
{
    size_t len = strnlen(dir, cap);
    if (len == 0 || len >= cap)
        return false;
    if (dir[len - 1] == '\\')
        return true;
    if (len + 1 >= cap)
        return false;
    dir[len] = '\\';
    dir[len + 1] = '\0';
    return true;
}

bool TakeSystemDirectory(char* dir, size_t cap, unsigned reported, unsigned asked)
{
    if (reported == 0 || reported >= asked || asked >= cap)
        return false;
    dir[reported] = '\0';
    return EnsureTrailingBackslash(dir, cap);
}
