// The C library routines that the launcher's code (and the compiler, for block copies and
// fills) calls, so that launcher.exe needs no C runtime DLL: Windows 95 as first shipped has
// none. Plain loops: the copies (memcpy, memmove) move a machine word at a time where both
// sides are aligned, and the fill (memset) once its destination is; the others go byte by
// byte. This file is built with -ffreestanding -fno-builtin -fno-tree-loop-distribute-patterns,
// so that the compiler does not turn a loop back into a call to the routine it implements.
#include <stddef.h>
#include <stdint.h>

// The unit tests build this file with other names, beside the host's own C library.
#ifndef C_ROUTINE
#define C_ROUTINE(name) name
#endif

namespace
{

typedef size_t __attribute__((may_alias)) Word;
constexpr size_t kWord = sizeof(Word);

bool Aligned(const void* a, const void* b)
{
    return ((uintptr_t(a) | uintptr_t(b)) & (kWord - 1)) == 0;
}

void CopyForward(unsigned char* d, const unsigned char* s, size_t n)
{
    if (Aligned(d, s)) {
        for (; n >= kWord; n -= kWord, d += kWord, s += kWord)
            *reinterpret_cast<Word*>(d) = *reinterpret_cast<const Word*>(s);
    }
    for (; n; --n)
        *d++ = *s++;
}

} // namespace

extern "C" {

void* C_ROUTINE(memcpy)(void* dst, const void* src, size_t n)
{
    CopyForward(static_cast<unsigned char*>(dst), static_cast<const unsigned char*>(src), n);
    return dst;
}

void* C_ROUTINE(memmove)(void* dst, const void* src, size_t n)
{
    unsigned char* d = static_cast<unsigned char*>(dst);
    const unsigned char* s = static_cast<const unsigned char*>(src);
    if (d <= s || d >= s + n) {
        CopyForward(d, s, n);
        return dst;
    }
    // The destination overlaps the source's end: copy from the back.
    d += n;
    s += n;
    if (Aligned(d, s)) {
        for (; n >= kWord; n -= kWord) {
            d -= kWord;
            s -= kWord;
            *reinterpret_cast<Word*>(d) = *reinterpret_cast<const Word*>(s);
        }
    }
    for (; n; --n)
        *--d = *--s;
    return dst;
}

void* C_ROUTINE(memset)(void* dst, int value, size_t n)
{
    unsigned char* d = static_cast<unsigned char*>(dst);
    const unsigned char byte = static_cast<unsigned char>(value);
    for (; n && (uintptr_t(d) & (kWord - 1)); --n)
        *d++ = byte;
    const Word pattern = Word(-1) / 0xFF * byte;
    for (; n >= kWord; n -= kWord, d += kWord)
        *reinterpret_cast<Word*>(d) = pattern;
    for (; n; --n)
        *d++ = byte;
    return dst;
}

void* C_ROUTINE(memchr)(const void* src, int value, size_t n)
{
    const unsigned char* s = static_cast<const unsigned char*>(src);
    for (; n; --n, ++s) {
        if (*s == static_cast<unsigned char>(value))
            return const_cast<unsigned char*>(s);
    }
    return nullptr;
}

size_t C_ROUTINE(strlen)(const char* s)
{
    const char* p = s;
    while (*p)
        ++p;
    return size_t(p - s);
}

size_t C_ROUTINE(strnlen)(const char* s, size_t cap)
{
    size_t n = 0;
    while (n < cap && s[n])
        ++n;
    return n;
}

char* C_ROUTINE(strchr)(const char* s, int value)
{
    const char c = static_cast<char>(value);
    for (;; ++s) {
        if (*s == c)
            return const_cast<char*>(s);
        if (!*s)
            return nullptr;
    }
}

} // extern "C"
