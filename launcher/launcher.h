// The steps of WinMain that read the launcher's settings and start the game.
#pragma once
#include <windows.h>

// The instance rule: when a startup dialog of another launcher is open, brings it to the
// foreground and returns true.
bool ActivateRunningLauncher();

// Fills SourceDir from the module file name, taken exactly (see OwnModuleName), and reads
// game and bitmap from autorun.inf beside it. On failure the user has been told in boxes and
// the result is false: a name that does not fit its buffer is reported as too long, one that
// the system's code page cannot spell in one box that says the folder's name cannot be used.
bool ReadLauncherSettings(HINSTANCE instance);

// Reads GameFile and BitmapFile from [CorvaneGame] of the profile at profilePath: an "Error"
// box after each read that yields nothing (the system's text when the file cannot be read,
// else what it lacks: the section, told once, the key's line or its value), then string 402.
// False when either failed.
bool ReadGameSettings(HINSTANCE instance, const char* profilePath);

// Starts sourceDir + gameFile with WinExec, quoted as BuildGameCommandLine says (the program
// the longest leading part of gameFile that names a file); tells the user when it cannot be
// started.
void StartGame(const char* sourceDir, const char* gameFile);

// The administrator's instance that a refused copy of the runtime starts: brings the runtime
// up to date from the disc beside the launcher's own file and gives 0 or the Win32 error code
// (ERROR_INVALID_NAME where its folder's name cannot be spelt exactly). It shows nothing and
// reads no autorun.inf.
int UpdateRuntimeAsRequested(HINSTANCE instance);

// Takes a pending WM_QUIT out of the queue: while one is pending, a message box returns at
// once and nobody sees it. Keeps the thread's last-error code.
void DropPendingQuit();
