// Whether a file's first bytes are those of a Windows program for a given machine.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint16_t kMachineI386 = 0x014C;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kSubsystemWindowsGui = 2;
constexpr uint16_t kSubsystemWindowsConsole = 3;

// Bytes from the start of a file that are enough to judge it.
constexpr size_t kProgramHeadBytes = 64 * 1024;

enum class ProgramKind {
    Program,      // a Windows program (GUI or console) for the expected machine
    NotMz,        // no "MZ" at the start: not a Windows program at all
    Truncated,    // the headers run past the end of what was read
    NotPe,        // an old (DOS or 16-bit) program: no "PE" header
    WrongMachine, // a Windows program for another machine
    Only64Bit,    // an x86-64 program beside an x86 launcher: 64-bit Windows starts it, 32-bit not
    Library,      // a DLL or a file not marked executable
    NotWindows,   // a subsystem other than Windows GUI or console
};

struct ProgramImage {
    ProgramKind kind;
    uint16_t machine;   // from the PE header, 0 before it
    uint16_t subsystem; // from the optional header, 0 before it
};

// Judges the first length bytes of a file (kProgramHeadBytes, or the whole file when it is
// shorter) as a program that a launcher built for launcherMachine starts: a 32-bit x86
// launcher starts 32-bit x86 programs (and, on 64-bit Windows only, x86-64 ones); an x86-64
// launcher runs on 64-bit Windows only, which starts both.
ProgramImage CheckProgramImage(const uint8_t* bytes, size_t length, uint16_t launcherMachine);

// "32-bit x86", "64-bit x86", "64-bit ARM", or "machine 0x...." (buffer for the last).
const char* MachineName(uint16_t machine, char* buffer, size_t size);
