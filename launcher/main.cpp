// The launcher's entry: one pass from the instance rule to the start of the game.
#include <windows.h>

#include "common/globals.h"
#include "installer/wing_installer.h"
#include "launcher/launcher.h"
#include "resources/resource_ids.h"
#include "startup/startup.h"

// The exit code: 1 beside a running launcher, 0 when the class cannot be registered, the
// class atom when the run ends before the dialog (autorun.inf unusable, a path too long, a
// folder whose name the system's code page cannot spell),
// otherwise the identifier that ended the dialog
// (301 Play, 302 Quit, 1 IDOK, 2 IDCANCEL, -1 when the dialog cannot be made).
// The one command line that is not ignored is the launcher's own request to itself, as an
// administrator, to copy the runtime; that instance skips the instance rule, since the window
// of the launcher that asked is open, and ends with 0 or the copy's error code.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (IsRuntimeCopyRequest(commandLine))
        return UpdateRuntimeAsRequested(instance);
    if (ActivateRunningLauncher())
        return 1;

    WNDCLASSA windowClass;
    FillStartupClass(&windowClass, instance);
    const ATOM atom = RegisterClassA(&windowClass);
    if (atom == 0)
        return 0;
    StartupImage = nullptr;
    WinGInstalled = 0;

    if (!ReadLauncherSettings(instance))
        return atom;

    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_STARTUP), nullptr, StartupDlgProc, 0);
    if (result == IDC_PLAY || result == IDOK)
        StartGame(SourceDir, GameFile);
    return static_cast<int>(result);
}
