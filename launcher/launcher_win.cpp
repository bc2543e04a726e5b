#include "launcher/launcher.h"

#include "common/disc_names.h"
#include "common/error_boxes.h"
#include "common/files.h"
#include "common/globals.h"
#include "common/system_functions.h"
#include "installer/wing_installer.h"
#include "launcher/launch_paths.h"
#include "resources/resource_ids.h"
#include "startup/startup.h"

namespace
{

const char kSection[] = DISC_PROFILE_SECTION;

// Why the launcher's own name cannot be used when Windows cannot spell it in the system's
// code page: every ANSI call would name another file, or none.
const char kUnspellableFolder[] =
    "This folder's name cannot be used. The disc's files work from a folder whose name uses "
    "only the letters of the system's language.";
// What a profile that was read lacks.
const char kNoSection[] =
    DISC_PROFILE_FILE " has no [" DISC_PROFILE_SECTION "] section, or it is empty.";
const char kNoLine[] = DISC_PROFILE_FILE " has no %s= line in [" DISC_PROFILE_SECTION "].";
const char kEmptyValue[] = "%s= in [" DISC_PROFILE_SECTION "] of " DISC_PROFILE_FILE " is empty.";

// Fills SourceDir with the directory of the launcher's own file ("" when its name cannot be
// had). 0, or why no directory may be used: ERROR_FILENAME_EXCED_RANGE for a name cut to fit
// its buffer, ERROR_INVALID_NAME for one that the system's code page cannot spell.
DWORD FillSourceDir(HINSTANCE instance)
{
    char moduleName[kPathBufferSize] = {};
    const DWORD length = OwnModuleName(instance, moduleName);
    if (length == kUnspellableName)
        return ERROR_INVALID_NAME;
    return DirectoryFromModuleName(SourceDir, sizeof SourceDir, moduleName, kModuleNameSize,
                                   length) == ModuleDirStatus::TooLong
               ? ERROR_FILENAME_EXCED_RANGE
               : 0;
}

// Whether path, relative to the directory given as context, names a file (not a folder).
bool NamesFileIn(const char* path, const void* directory)
{
    char full[kPathBufferSize];
    return JoinPath(full, sizeof full, static_cast<const char*>(directory), path) && IsFile(full);
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
    // autorun.inf elsewhere must not be read instead.
    const DWORD refused = FillSourceDir(instance);
    if (refused == ERROR_INVALID_NAME) {
        ShowErrorBox(kUnspellableFolder);
        return false;
    }
    if (refused != 0) {
        ShowPathTooLong();
        return false;
    }

    char profilePath[kPathBufferSize];
    if (!JoinPath(profilePath, sizeof profilePath, SourceDir, DISC_PROFILE_FILE)) {
        ShowPathTooLong();
        return false;
    }
    return ReadGameSettings(instance, profilePath);
}

bool ReadGameSettings(HINSTANCE instance, const char* profilePath)
{
    bool sectionTold = false;
    const DWORD gameCount = ReadSetting(DISC_GAME_KEY, GameFile, profilePath, &sectionTold);
    const DWORD bitmapCount = ReadSetting(DISC_BITMAP_KEY, BitmapFile, profilePath, &sectionTold);
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
                              ProgramFileLength(gameFile, NamesFileIn, sourceDir))) {
        ShowPathTooLong();
        return;
    }
    RestrictDllSearch(false);
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
    const DWORD refused = FillSourceDir(instance);
    return int(refused != 0 ? refused : UpdateRuntimeAlone());
}
