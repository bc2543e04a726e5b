// disccheck.exe and mktitle.exe (which links the checker's code) start on Windows XP: mktitle
// so that a system without the imaging component hears what it needs instead of the loader's
// refusal. The C++ runtime's thread library asks kernel32 for GetTickCount64, which XP lacks;
// its import is answered here with the 32-bit tick count, which serves the library's timed
// waits, and neither program makes any.
#include <windows.h>

namespace
{

ULONGLONG WINAPI TickCount()
{
    return GetTickCount();
}

} // namespace

// The import slot the library calls through, by its linker name; defined here, it keeps the
// import library's entry, and so the import, out of the program.
#if defined(_WIN64)
extern "C" ULONGLONG(WINAPI* const kTickCountImport)() __asm__("__imp_GetTickCount64");
#else
extern "C" ULONGLONG(WINAPI* const kTickCountImport)() __asm__("__imp__GetTickCount64@0");
#endif
extern "C" ULONGLONG(WINAPI* const kTickCountImport)() = TickCount;
