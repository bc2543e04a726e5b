/* A stand-in for the graphics runtime: a DLL that only carries a version resource. */
#include <windows.h>

__declspec(dllexport) int WINAPI CorvaneStandIn(void)
{
    return 1;
}
