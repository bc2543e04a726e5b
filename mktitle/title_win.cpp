// mktitle's Windows side; see title_win.h.
#include "mktitle/title_win.h"

#include <objbase.h>
#include <wincodec.h>

#include "bitmap/bmp_core.h"
#include "disccheck/disc_reader.h"
#include "disccheck/disc_report.h"

namespace
{

// Decoded pixels mktitle holds at most: 256 MiB in blue, green, red and alpha, well within a
// 32-bit process.
constexpr uint64_t kMostPixels = 64u << 20;

// A COM interface released when it goes out of scope.
template <typename T> struct Held {
    T* p = nullptr;
    ~Held()
    {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
};

std::string ErrorText(DWORD code)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = length ? std::string(text, length) : std::string();
    LocalFree(text);
    while (!out.empty() &&
           (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    char codeText[32];
    wsprintfA(codeText, "error 0x%08lX", code);
    return out.empty() ? codeText : out;
}

// Why a decoder could not be made for a file: the system's words for a file that cannot be
// opened, plain words for a file that is no picture the imaging component reads.
std::string DecodeProblem(HRESULT result)
{
    if (result == WINCODEC_ERR_COMPONENTNOTFOUND || result == WINCODEC_ERR_UNKNOWNIMAGEFORMAT)
        return "it is no picture that Windows' imaging component reads (PNG, JPEG, GIF, BMP, "
               "TIFF, ICO)";
    if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        return ErrorText(DWORD(HRESULT_CODE(result)));
    return "the picture cannot be decoded (" + ErrorText(DWORD(result)) + ")";
}

std::wstring FullPath(const std::wstring& path)
{
    std::vector<wchar_t> full(32768), longer(32768);
    const DWORD length = GetFullPathNameW(path.c_str(), 32768, full.data(), nullptr);
    if (length == 0 || length >= 32768)
        return path;
    const DWORD longLength = GetLongPathNameW(full.data(), longer.data(), 32768);
    return longLength && longLength < 32768 ? longer.data() : full.data();
}

// The volume and file index of an existing file; false when it cannot be opened.
bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info)
{
    HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return ok;
}

} // namespace

std::string ConsoleText(const std::wstring& text)
{
    UINT page = GetConsoleOutputCP();
    if (page == 0)
        page = CP_ACP;
    const int length =
        WideCharToMultiByte(page, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(page, 0, text.c_str(), int(text.size()), &out[0], length, nullptr,
                            nullptr);
    return out;
}

SourceResult ReadTitleSource(const std::wstring& path, const TitleOptions& options,
                             TitleSource* source)
{
    Held<IWICImagingFactory> factory;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p));
    if (FAILED(result)) {
        source->problem = "needs Windows XP SP3 with WIC, or Vista or later";
        return SourceResult::NoCodecs;
    }
    Held<IWICBitmapDecoder> decoder;
    Held<IWICBitmapFrameDecode> frame;
    Held<IWICFormatConverter> converter;
    result = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, &decoder.p);
    if (SUCCEEDED(result))
        result = decoder->GetFrame(0, &frame.p);
    if (SUCCEEDED(result))
        result = factory->CreateFormatConverter(&converter.p);
    if (SUCCEEDED(result))
        result =
            converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                  nullptr, 0.0, WICBitmapPaletteTypeCustom);
    UINT width = 0, height = 0;
    if (SUCCEEDED(result))
        result = converter->GetSize(&width, &height);
    if (FAILED(result)) {
        source->problem = DecodeProblem(result);
        return SourceResult::Unreadable;
    }
    source->decodedWidth = int32_t(width);
    source->decodedHeight = int32_t(height);
    if (width == 0 || height == 0 || uint64_t(width) * height > kMostPixels) {
        source->problem = "it has more pixels than mktitle reads (64 million)";
        return SourceResult::TooLarge;
    }
    std::vector<uint8_t> bgra(size_t(width) * height * 4);
    result = converter->CopyPixels(nullptr, width * 4, UINT(bgra.size()), bgra.data());
    if (FAILED(result)) {
        source->problem = DecodeProblem(result);
        return SourceResult::Unreadable;
    }
    PutOverBackground(bgra.data(), size_t(width) * height, options.background);

    int32_t fitWidth = int32_t(width), fitHeight = int32_t(height);
    if (options.fitWidth > 0 && FitTitleSize(int32_t(width), int32_t(height), options.fitWidth,
                                             options.fitHeight, &fitWidth, &fitHeight)) {
        // Scaled only once it is opaque: transparent pixels' hidden colours stay out of it.
        Held<IWICBitmap> bitmap;
        Held<IWICBitmapScaler> scaler;
        result =
            factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppBGRA, width * 4,
                                            UINT(bgra.size()), bgra.data(), &bitmap.p);
        if (SUCCEEDED(result))
            result = factory->CreateBitmapScaler(&scaler.p);
        if (SUCCEEDED(result))
            result = scaler->Initialize(bitmap.p, UINT(fitWidth), UINT(fitHeight),
                                        WICBitmapInterpolationModeFant);
        std::vector<uint8_t> scaled(size_t(fitWidth) * size_t(fitHeight) * 4);
        if (SUCCEEDED(result))
            result =
                scaler->CopyPixels(nullptr, UINT(fitWidth) * 4, UINT(scaled.size()), scaled.data());
        if (FAILED(result)) {
            source->problem = "the picture cannot be scaled (" + ErrorText(DWORD(result)) + ")";
            return SourceResult::Unreadable;
        }
        bgra.swap(scaled);
    }
    if (fitWidth > kBmpMaxSide || fitHeight > kBmpMaxSide) {
        source->problem = "it is larger than the launcher shows (16384 pixels a side); /fit "
                          "scales it down";
        return SourceResult::TooLarge;
    }
    source->width = fitWidth;
    source->height = fitHeight;
    source->pixels = RgbPixels(bgra.data(), size_t(fitWidth) * size_t(fitHeight));
    return SourceResult::Read;
}

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    if (lstrcmpiW(FullPath(a).c_str(), FullPath(b).c_str()) == 0)
        return true;
    BY_HANDLE_FILE_INFORMATION first, second;
    return FileIdentity(a, &first) && FileIdentity(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

bool WriteTitleFile(const std::wstring& path, const std::vector<uint8_t>& bytes,
                    std::string* problem)
{
    const std::wstring full = FullPath(path);
    const size_t slash = full.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : full.substr(0, slash + 1);
    wchar_t temporary[MAX_PATH + 16];
    if (folder.size() >= MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"mkt", 0, temporary)) {
        *problem = ErrorText(GetLastError());
        return false;
    }
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    DWORD error = ok ? 0 : GetLastError();
    if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && ok) {
        ok = false;
        error = GetLastError();
    }
    if (ok && !MoveFileExW(temporary, full.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        ok = false;
        error = GetLastError();
    }
    if (!ok) {
        DeleteFileW(temporary);
        *problem = ErrorText(error);
    }
    return ok;
}

std::vector<std::string> WindowFitLines(HINSTANCE instance, int32_t width, int32_t height)
{
    DiscFacts facts = EmptyFacts();
    facts.picture.width = width;
    facts.picture.height = height;
    MeasureLauncherDialog(instance, &facts);
    std::vector<std::string> lines;
    for (const Finding& finding : CheckPictureWindow(facts))
        lines.push_back(FormatFinding(finding));
    return lines;
}
