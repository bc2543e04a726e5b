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
// What a profile that was read lacks.
const char kNoSection[] = "autorun.inf has no [CorvaneGame] section, or the section is empty.";
const char kNoLine[] = "autorun.inf has no %s= line in its [CorvaneGame] section.";
const char kEmptyValue[] = "%s= in the [CorvaneGame] section of autorun.inf is empty.";

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

// Reads key of [CorvaneGame] into value and gives the count of characters read. When that is
// 0, an "Error" box says why: the system's text when the file could not be read, else what
// the file lacks. A missing section is told once: *sectionTold is set.
DWORD ReadSetting(const char* key, char* value, const char* profilePath, bool* sectionTold)
{
    SetLastError(0);
    const DWORD count =
        GetPrivateProfileStringA(kSection, key, "", value, kProfileValueSize, profilePath);
    if (count != 0)
        return count;
    // A file that was read sets no error code for what it lacks (Windows may set "file not
    // found" for a missing key: the file itself is there).
    const DWORD code = GetLastError();
    if (code != 0 && !(code == ERROR_FILE_NOT_FOUND && IsFile(profilePath))) {
        SetLastError(code);
        ShowSystemError();
        return 0;
    }
    // The section's key names, and the key's value with a default that no empty value gives;
    // a count of 0 is all either read has to tell.
    char probe[3];
    const char* format = kEmptyValue;
    if (GetPrivateProfileStringA(kSection, nullptr, "", probe, sizeof probe, profilePath) == 0) {
        if (*sectionTold)
            return 0;
        *sectionTold = true;
        format = kNoSection;
    } else if (GetPrivateProfileStringA(kSection, key, "?", probe, sizeof probe, profilePath)) {
        format = kNoLine;
    }
    char text[kBoxTextSize];
    wsprintfA(text, format, key);
    ShowErrorBox(text);
    return 0;
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
    bool sectionTold = false;
    const DWORD gameCount = ReadSetting("game", GameFile, profilePath, &sectionTold);
    const DWORD bitmapCount = ReadSetting("bitmap", BitmapFile, profilePath, &sectionTold);
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
