// Reading a program's DOS and PE headers from bytes; see program_image.h.
#include "disccheck/program_image.h"

#include <cstdio>

namespace
{

constexpr size_t kDosHeaderSize = 0x40;
constexpr size_t kPeOffsetField = 0x3C;
constexpr size_t kCoffHeaderSize = 20;
constexpr size_t kSubsystemOffset = 68; // in the optional header, PE32 and PE32+ alike
constexpr uint16_t kFileExecutable = 0x0002;
constexpr uint16_t kFileDll = 0x2000;

uint16_t Get16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(Get16(p)) | uint32_t(Get16(p + 2)) << 16;
}

} // namespace

ProgramImage CheckProgramImage(const uint8_t* bytes, size_t length, uint16_t launcherMachine)
{
    ProgramImage image = {ProgramKind::NotMz, 0, 0};
    if (length < 2 || bytes[0] != 'M' || bytes[1] != 'Z')
        return image;
    image.kind = ProgramKind::Truncated;
    if (length < kDosHeaderSize)
        return image;
    const uint64_t pe = Get32(bytes + kPeOffsetField);
    if (pe + 4 + kCoffHeaderSize > length)
        return image;
    const uint8_t* signature = bytes + pe;
    if (signature[0] != 'P' || signature[1] != 'E' || signature[2] != 0 || signature[3] != 0) {
        image.kind = ProgramKind::NotPe;
        return image;
    }
    const uint8_t* coff = signature + 4;
    image.machine = Get16(coff);
    const uint16_t optionalSize = Get16(coff + 16);
    const uint16_t characteristics = Get16(coff + 18);
    const uint64_t optional = pe + 4 + kCoffHeaderSize;
    if (optionalSize < kSubsystemOffset + 2 || optional + kSubsystemOffset + 2 > length)
        return image;
    image.subsystem = Get16(bytes + optional + kSubsystemOffset);
    const bool only64Bit = launcherMachine == kMachineI386 && image.machine == kMachineAmd64;
    const bool x86OnX64 = launcherMachine == kMachineAmd64 && image.machine == kMachineI386;
    if (image.machine != launcherMachine && !only64Bit && !x86OnX64)
        image.kind = ProgramKind::WrongMachine;
    else if ((characteristics & kFileDll) || !(characteristics & kFileExecutable))
        image.kind = ProgramKind::Library;
    else if (image.subsystem != kSubsystemWindowsGui && image.subsystem != kSubsystemWindowsConsole)
        image.kind = ProgramKind::NotWindows;
    else
        image.kind = only64Bit ? ProgramKind::Only64Bit : ProgramKind::Program;
    return image;
}

const char* MachineName(uint16_t machine, char* buffer, size_t size)
{
    switch (machine) {
    case kMachineI386:
        return "32-bit x86";
    case kMachineAmd64:
        return "64-bit x86";
    case 0xAA64:
        return "64-bit ARM";
    default:
        std::snprintf(buffer, size, "machine 0x%04X", unsigned(machine));
        return buffer;
    }
}
