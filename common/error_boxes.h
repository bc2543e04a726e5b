// The message boxes through which the launcher tells the user of a failure. None has an
// owner window; the launcher's own windows take no input while one is up, and each returns
// when its box has been dismissed.
#pragma once
#include <windows.h>

// Text areas hold 148 characters and the terminator.
constexpr int kBoxTextSize = 149;

// An "Error" box with the system's text for the thread's last-error code. Call it right
// after the failed call, before any other system call.
void ShowSystemError();

// An "Error" box with the given text.
void ShowErrorBox(const char* text);

// "Error": the caption of the boxes above and of the runtime's copy prompt.
extern const char kErrorCaption[];

// Tells the user that a path would not fit its buffer: ShowSystemError for
// ERROR_FILENAME_EXCED_RANGE, which stays the thread's last-error code.
void ShowPathTooLong();

// A box with string `message` of instance's string table under the caption of string 400;
// nothing is shown when either string is missing.
void ShowStringMessage(HINSTANCE instance, UINT message);
