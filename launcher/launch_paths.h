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

// Answers whether path, relative to the disc root, names a file (not a folder).
typedef bool (*NamesFileFunction)(const char* path, const void* context);

// The length of the program that game= names by its files: the longest leading part of
// gameFile, ending at a blank, a quote or the end, that namesFile says is a file; 0 when no
// leading part names one. The profile reader drops the first and last quote of a value that
// is quoted at both ends, so game="My Game\START.EXE" "-w" arrives as My Game\START.EXE" "-w
// and only the files tell where the program ends.
size_t ProgramFileLength(const char* gameFile, NamesFileFunction namesFile, const void* context);

// The program part of a game= value whose leading fileLength characters name a file (see
// ProgramFileLength): that part, with rest behind the quote that ended it, if any. With
// fileLength 0: up to its first blank, or the text inside a leading pair of quotes (to the
// end when the quote is not closed), and rest what follows it.
const char* GameProgram(const char* gameFile, size_t fileLength, size_t* length, const char** rest);

// The command line that starts the game named by gameFile (relative to sourceDir, possibly
// followed by arguments), whose leading fileLength characters name the program's file (0
// when none does; then the program part is up to the first blank, or inside a leading pair of
// quotes). When neither sourceDir nor the program part has a blank and the program did not
// end at a quote, sourceDir and gameFile joined as they stand. Otherwise the program, with
// sourceDir before it, is put in quotes and the rest of gameFile follows; where the program
// ended at a quote that the profile reader left behind, the closing quote that the reader
// dropped is put back at the end. So no shorter path before a blank is ever run instead of a
// program that the value names.
// False, with dst "", when the result does not fit in dstCap bytes.
bool BuildGameCommandLine(char* dst, size_t dstCap, const char* sourceDir, const char* gameFile,
                          size_t fileLength);

// What follows the program's name in a process's command line, as a C runtime's start-up
// hands it to WinMain: the name ends at its closing quote when it begins with one, otherwise
// at the first blank or control character; the blanks after it are skipped.
const char* CommandLineArguments(const char* commandLine);
