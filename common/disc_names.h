// The disc's fixed names and limits: where the launcher finds its settings and the runtime on
// the disc, how long a value and a path may be, and the text of the box that a disc without
// usable settings shows. The launcher reads the disc by them and disccheck.exe judges a disc
// by them, so a change here changes both. Plain definitions: the resource script includes
// this file too (its preprocessor defines RC_INVOKED and sees only the #defines).
#pragma once

// The settings: [CorvaneGame] game= and bitmap= of autorun.inf in the disc's root.
#define DISC_PROFILE_FILE "autorun.inf"
#define DISC_PROFILE_SECTION "CorvaneGame"
#define DISC_GAME_KEY "game"
#define DISC_BITMAP_KEY "bitmap"

// The disc's copy of the runtime, relative to the disc's root, which Play brings into the
// system directory.
#define DISC_RUNTIME_FOLDER "system\\win95\\"
#define DISC_RUNTIME_FILE "wing32.dll"

// String IDS_BAD_AUTORUN: what the launcher says before it ends when a setting is unusable.
#define DISC_BAD_PROFILE_TEXT "Your autorun.inf file is not correct."

#ifndef RC_INVOKED
#include <stddef.h>

// A path holds at most 259 characters, a setting's value at most 258: longer ones do not fit
// the launcher's buffers (each with room for the terminator).
constexpr size_t kPathLimit = 259;
constexpr size_t kValueLimit = 258;
constexpr int kPathBufferSize = int(kPathLimit) + 1;
constexpr int kProfileValueSize = int(kValueLimit) + 1;
#endif
