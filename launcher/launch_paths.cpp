#include "launcher/launch_paths.h"

#include <cstring>

#include "common/path_join.h"

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool HasBlank(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (IsBlank(text[i]))
            return true;
    return false;
}

// Appends count bytes of text at dst[*used], keeping room for the terminator.
bool Append(char* dst, size_t cap, size_t* used, const char* text, size_t count)
{
    if (count >= cap - *used)
        return false;
    memcpy(dst + *used, text, count);
    *used += count;
    dst[*used] = '\0';
    return true;
}

} // namespace

ModuleDirStatus DirectoryFromModuleName(char* dir, size_t dirCap, const char* name, size_t nameSize,
                                        unsigned long length)
{
    if (dirCap > 0)
        dir[0] = '\0';
    if (length == 0)
        return ModuleDirStatus::Unavailable;
    if (length >= nameSize || memchr(name, '\0', nameSize) == nullptr)
        return ModuleDirStatus::TooLong;

    size_t end = strlen(name); // a terminator lies inside the buffer
    while (end > 0 && name[end - 1] != '\\')
        --end;
    if (end >= dirCap)
        return ModuleDirStatus::TooLong;
    memcpy(dir, name, end);
    dir[end] = '\0';
    return ModuleDirStatus::Found;
}

size_t ProgramFileLength(const char* gameFile, NamesFileFunction namesFile, const void* context)
{
    // A file name holds no quote: the program ends at the first one at the latest.
    const char* quote = strchr(gameFile, '"');
    size_t end = quote ? size_t(quote - gameFile) : strlen(gameFile);
    char part[kPathBufferSize];
    // A part that ends in a blank is none: Windows drops trailing blanks from a name, and
    // the quote behind them opens an argument.
    for (; end > 0; --end) {
        if (end < sizeof part && !IsBlank(gameFile[end - 1]) &&
            (gameFile[end] == '\0' || gameFile[end] == '"' || IsBlank(gameFile[end]))) {
            memcpy(part, gameFile, end);
            part[end] = '\0';
            if (namesFile(part, context))
                return end;
        }
    }
    return 0;
}

const char* GameProgram(const char* gameFile, size_t fileLength, size_t* length, const char** rest)
{
    const char* program = gameFile;
    size_t programLength = fileLength;
    if (fileLength > 0) {
        *rest = gameFile + fileLength + (gameFile[fileLength] == '"');
    } else if (gameFile[0] == '"') {
        program = gameFile + 1;
        const char* close = strchr(program, '"');
        programLength = close ? size_t(close - program) : strlen(program);
        *rest = close ? close + 1 : program + programLength;
    } else {
        while (program[programLength] && !IsBlank(program[programLength]))
            ++programLength;
        *rest = program + programLength;
    }
    *length = programLength;
    return program;
}

bool BuildGameCommandLine(char* dst, size_t dstCap, const char* sourceDir, const char* gameFile,
                          size_t fileLength)
{
    if (dstCap == 0)
        return false;
    size_t programLength = 0;
    const char* rest = nullptr;
    const char* program = GameProgram(gameFile, fileLength, &programLength, &rest);
    // Quotes only where a blank would end the program too early, or where the reader left the
    // program's closing quote behind. A quoted value is quoted whole, the root included:
    // "D:\"My Game\..." names no file.
    const bool closeAtEnd = fileLength > 0 && gameFile[fileLength] == '"';
    if (!closeAtEnd && !HasBlank(sourceDir, strlen(sourceDir)) && gameFile[0] != '"' &&
        !HasBlank(program, programLength))
        return JoinPath(dst, dstCap, sourceDir, gameFile);

    size_t used = 0;
    dst[0] = '\0';
    if (Append(dst, dstCap, &used, "\"", 1) &&
        Append(dst, dstCap, &used, sourceDir, strlen(sourceDir)) &&
        Append(dst, dstCap, &used, program, programLength) && Append(dst, dstCap, &used, "\"", 1) &&
        Append(dst, dstCap, &used, rest, strlen(rest)) &&
        Append(dst, dstCap, &used, "\"", closeAtEnd))
        return true;
    dst[0] = '\0';
    return false;
}

const char* CommandLineArguments(const char* commandLine)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        while (*++p && *p != '"') {
        }
        if (*p == '"')
            ++p;
    } else {
        while (*p > ' ')
            ++p;
    }
    while (*p && *p <= ' ')
        ++p;
    return reinterpret_cast<const char*>(p);
}
