// libFuzzer target over the rule that picks the game's program out of game=: any value and any
// set of files on the disc. The bytes are the value, a NUL, then the disc's files separated by
// NULs; the first byte picks the root (a drive, or a folder with a blank).
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "launcher/launch_paths.h"

namespace
{

bool OnDisc(const char* path, const void* files)
{
    return static_cast<const std::set<std::string>*>(files)->count(path) != 0;
}

bool Boundary(const std::string& value, size_t end)
{
    return end > 0 && value[end - 1] != ' ' && value[end - 1] != '\t' &&
           (end == value.size() || value[end] == ' ' || value[end] == '\t' || value[end] == '"');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string root = data[0] & 1 ? "C:\\A B\\" : "D:\\";
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string value = bytes.substr(0, bytes.find('\0')).substr(0, 258);
    std::set<std::string> files;
    for (size_t at = bytes.find('\0'), next; at != std::string::npos; at = next)
        files.insert(bytes.substr(at + 1, (next = bytes.find('\0', at + 1)) - at - 1));

    const size_t length = ProgramFileLength(value.c_str(), OnDisc, &files);
    char line[261];
    line[260] = '\x7F';
    const bool fits = BuildGameCommandLine(line, 260, root.c_str(), value.c_str(), length);
    if (line[260] != '\x7F' || strlen(line) > 259 || (!fits && line[0] != '\0'))
        __builtin_trap(); // written past the buffer, or a refusal that left text behind
    if (length > 0) {
        // A file of the set that the value begins with, ending where a name can end, quoted.
        const std::string program = value.substr(0, length);
        if (!files.count(program) || !Boundary(value, length) ||
            program.find('"') != std::string::npos)
            __builtin_trap();
        // Unquoted only where nothing could end it early: no blank, no quote of the reader's.
        const bool plain =
            (root + program).find_first_of(" \t") == std::string::npos && value[length] != '"';
        if (fits && std::string(line).rfind("\"" + root + program + "\"", 0) != 0 &&
            !(plain && line == root + value))
            __builtin_trap();
        for (size_t end = length + 1; end <= value.size() && value[end - 1] != '"'; ++end)
            if (Boundary(value, end) && files.count(value.substr(0, end)))
                __builtin_trap(); // a longer part names a file too
    } else if (fits && root == "D:\\" && value[0] != '"' && line != root + value) {
        __builtin_trap(); // no file named: the value as it stands
    }
    return 0;
}
