// The copy-or-keep decision of the installer and the path steps around it, free of any
// platform call.
#pragma once
#include <cstddef>
#include <cstdint>

// A file's fixed file version as read from its version resource. available is false when
// the file is missing or carries no readable version; ms and ls are then 0.
struct FileVersion {
    bool available;
    uint32_t ms; // dwFileVersionMS: first two parts, high and low 16 bits
    uint32_t ls; // dwFileVersionLS: last two parts
};

// True when the disc's copy must be copied over the installed one: either version is
// unavailable, or the installed pair (most significant first) is below the disc's pair.
bool NeedsCopy(const FileVersion& installed, const FileVersion& disc);

// Appends a backslash to the directory name in dir (a buffer of cap bytes) unless it
// already ends in one. False, with dir unchanged, when the name is empty or there is no room.
bool EnsureTrailingBackslash(char* dir, size_t cap);

// Accepts the system directory name that GetSystemDirectoryA wrote into dir (cap bytes)
// when asked with a size of `asked` bytes and answering `reported`, and makes it end in one
// backslash. False when the call failed (0) or the name did not fit (the needed size came
// back instead); dir is not a name then. cap must exceed asked, leaving room for the '\'.
bool TakeSystemDirectory(char* dir, size_t cap, unsigned reported, unsigned asked);
