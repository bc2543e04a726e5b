// The launcher's own directory and the game's command line, formed in fixed-size buffers.
#pragma once
#include <cstddef>

enum class ModuleDirStatus {
    Found,       // dir holds the directory, ending in a backslash ("" when the name has none)
    Unavailable, // the module file name could not be had: dir is ""
    TooLong,     // the name was cut to fit its buffer and names no real directory: dir is ""
};

// Takes the directory part of the module file name that GetModuleFileNameA left in name
// (a buffer of nameSize bytes) with result length. Reads no byte at or beyond nameSize: a
// name that fills the buffer, or has no terminator inside it, was cut and is refused.
ModuleDirStatus DirectoryFromModuleName(char* dir, size_t dirCap, const char* name, size_t nameSize,
                                        unsigned long length);

// The program part of a game= value: the whole value when wholeIsProgram and it does not
// begin with a quote; otherwise up to its first blank, or the text inside a leading pair of
// quotes (to the end when the quote is not closed). Gives its start and length, and in rest
// what follows it (the arguments, behind the closing quote when there is one).
const char* GameProgram(const char* gameFile, bool wholeIsProgram, size_t* length,
                        const char** rest);

// The command line that starts the game named by gameFile (relative to sourceDir, possibly
// followed by arguments). wholeIsProgram says that sourceDir and the whole of gameFile name a
// file: the profile reader drops quotes that enclose a whole value, so game="My Game\START.EXE"
// arrives without them and only the file tells that the blank belongs to its name. When
// neither sourceDir nor the program part has a blank and gameFile begins with no quote, it is
// sourceDir and gameFile joined as they stand. Otherwise the program path (sourceDir and the
// program part of gameFile, see GameProgram) is put in quotes and the rest of gameFile follows
// unchanged, so that no shorter path before a blank can be run instead.
// False, with dst "", when the result does not fit in dstCap bytes.
bool BuildGameCommandLine(char* dst, size_t dstCap, const char* sourceDir, const char* gameFile,
                          bool wholeIsProgram);

// What follows the program's name in a process's command line, as a C runtime's start-up
// hands it to WinMain: the name ends at its closing quote when it begins with one, otherwise
// at the first blank or control character; the blanks after it are skipped.
const char* CommandLineArguments(const char* commandLine);
