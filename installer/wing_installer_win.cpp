// Stand-in until the installer lands.
#include "installer/wing_installer.h"

int WinGInstalled = 0;

void InstallWinG() {}
