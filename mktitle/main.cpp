// mktitle IN OUT.bmp [/colors N] [/fit WxH] [/background RRGGBB]: makes the launcher's title
// picture from any picture Windows reads, and says how the launcher's window fits the
// screens the checker judges. Exit codes: title_core.h (kTitleExit...).
#include <objbase.h>
#include <windows.h>

#include <cstdio>

#include "mktitle/title_win.h"

namespace
{

int Fail(int code, const std::string& text)
{
    std::fprintf(stderr, "mktitle: %s\n", text.c_str());
    return code;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    TitleOptions options;
    std::string problem;
    if (!ParseTitleArguments(std::vector<std::wstring>(argv + 1, argv + argc), &options,
                             &problem)) {
        std::fprintf(stderr, "mktitle: %s\n%s", problem.c_str(), TitleUsage());
        return kTitleExitUsage;
    }
    if (options.help) {
        std::fputs(TitleUsage(), stdout);
        return kTitleExitMade;
    }
    const std::string in = ConsoleText(options.input), out = ConsoleText(options.output);
    if (SameFile(options.input, options.output))
        return Fail(kTitleExitUsage, out + " is the input picture " + in +
                                         "; mktitle never writes over it (name another file)");

    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    TitleSource source;
    const SourceResult read = ReadTitleSource(options.input, options, &source);
    if (SUCCEEDED(com))
        CoUninitialize();
    if (read == SourceResult::NoCodecs)
        return Fail(kTitleExitNoCodecs, source.problem);
    if (read != SourceResult::Read)
        return Fail(kTitleExitUnreadable, "cannot read " + in + ": " + source.problem);

    std::printf("%s: %d x %d pixels", in.c_str(), source.decodedWidth, source.decodedHeight);
    if (source.width != source.decodedWidth || source.height != source.decodedHeight)
        std::printf(", scaled to %d x %d to fit %d x %d", source.width, source.height,
                    options.fitWidth, options.fitHeight);
    std::printf("\n");
    const TitlePicture picture =
        ReduceColours(source.pixels, source.width, source.height, options.colours);
    const TitleFile file = WriteTitleBmp(picture);
    if (!WriteTitleFile(options.output, file.bytes, &problem))
        return Fail(kTitleExitUnwritable, "cannot write " + out + ": " + problem);
    std::printf("%s\n", TitleSummary(out, picture, file).c_str());
    for (const std::string& line :
         WindowFitLines(GetModuleHandleA(nullptr), picture.width, picture.height))
        std::printf("%s\n", line.c_str());
    return kTitleExitMade;
}
