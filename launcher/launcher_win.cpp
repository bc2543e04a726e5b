#include "launcher/launcher.h"

#include "common/error_boxes.h"
#include "common/files.h"
#include "common/globals.h"
#include "installer/wing_installer.h"
#include "launcher/launch_paths.h"
#include "resources/resource_ids.h"
#include "startup/startup.h"

namespace
{

const char kSection[] = "CorvaneGame";
const char kProfileName[] = "autorun.inf";
constexpr DWORD kModuleNameSize = 259; // the name, or its first 259 bytes when it is longer

// Fills SourceDir with the directory of the launcher's own file ("" when its name cannot be
// had). False when the name was too long for its buffer: a cut name is no directory at all.
bool FillSourceDir(HINSTANCE instance)
{
    char moduleName[kPathBufferSize] = {};
    const DWORD length = GetModuleFileNameA(instance, moduleName, kModuleNameSize);
    return DirectoryFromModuleName(SourceDir, sizeof SourceDir, moduleName, kModuleNameSize,
                                   length) != ModuleDirStatus::TooLong;
}

// Whether sourceDir followed by the whole game= value names a file (not a folder): the
// profile reader hands game="My Game\START.EXE" over without its quotes.
bool NamesFile(const char* sourceDir, const char* gameFile)
{
    char path[kPathBufferSize];
    return JoinPath(path, sizeof path, sourceDir, gameFile) && IsFile(path);
}

} // namespace

bool ActivateRunningLauncher()
{
    HWND running = FindWindowA(kStartupClassName, nullptr);
    if (!running)
        return false;
    // The window belongs to another process: SetActiveWindow reaches only the caller's own.
    SetForegroundWindow(running);
    return true;
}

bool ReadLauncherSettings(HINSTANCE instance)
{
    if (!FillSourceDir(instance)) {
        // autorun.inf elsewhere must not be read instead.
        ShowPathTooLong();
        return false;
    }

    char profilePath[kPathBufferSize];
    if (!JoinPath(profilePath, sizeof profilePath, SourceDir, kProfileName)) {
        ShowPathTooLong();
        return false;
    }
    return ReadGameSettings(instance, profilePath);
}

bool ReadGameSettings(HINSTANCE instance, const char* profilePath)
{
    const DWORD gameCount =
        GetPrivateProfileStringA(kSection, "game", "", GameFile, kProfileValueSize, profilePath);
    if (gameCount == 0)
        ShowSystemError();
    const DWORD bitmapCount = GetPrivateProfileStringA(kSection, "bitmap", "", BitmapFile,
                                                       kProfileValueSize, profilePath);
    if (bitmapCount == 0)
        ShowSystemError();
    if (gameCount == 0 || bitmapCount == 0) {
        ShowStringMessage(instance, IDS_BAD_AUTORUN);
        return false;
    }
    return true;
}

void StartGame(const char* sourceDir, const char* gameFile)
{
    DropPendingQuit();
    char commandLine[kPathBufferSize];
    if (!BuildGameCommandLine(commandLine, sizeof commandLine, sourceDir, gameFile,
                              NamesFile(sourceDir, gameFile))) {
        ShowPathTooLong();
        return;
    }
    if (static_cast<UINT>(WinExec(commandLine, SW_SHOWNORMAL)) < 32)
        ShowSystemError();
}

void DropPendingQuit()
{
    const DWORD code = GetLastError();
    MSG message;
    PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    SetLastError(code);
}

int UpdateRuntimeAsRequested(HINSTANCE instance)
{
    if (!FillSourceDir(instance))
        return ERROR_FILENAME_EXCED_RANGE;
    return int(UpdateRuntimeAlone());
}
