// Writes the demo disc's autorun.inf and title picture into a folder:
//   mkdisc FOLDER
// The folder already holds launcher.exe, GAME\START.EXE and system\win95\wing32.dll from the
// Windows build; this adds the two files that are made from data rather than compiled.
#include "demo/title_picture.h"

#include <cstdio>
#include <string>

namespace
{

const char kAutorun[] = "[autorun]\r\n"
                        "open=launcher.exe\r\n"
                        "icon=launcher.exe,0\r\n"
                        "label=Corvane Demo\r\n"
                        "\r\n"
                        "[CorvaneGame]\r\n"
                        "game=GAME\\START.EXE\r\n"
                        "bitmap=title.bmp\r\n";

bool WriteFile(const std::string& path, const void* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mkdisc FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    std::vector<uint8_t> picture = demo::TitlePictureFile();
    if (!WriteFile(folder + "/autorun.inf", kAutorun, sizeof kAutorun - 1) ||
        !WriteFile(folder + "/title.bmp", picture.data(), picture.size())) {
        std::fprintf(stderr, "mkdisc: cannot write into %s\n", folder.c_str());
        return 1;
    }
    std::printf("demo disc files written to %s (title.bmp: %zu bytes, RLE8)\n", folder.c_str(),
                picture.size());
    return 0;
}
