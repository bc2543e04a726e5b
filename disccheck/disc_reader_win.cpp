// The checker's Windows side: profile reads, file reads and the launcher's own loader,
// dialog template and version read; see disc_reader.h.
#include "disccheck/disc_reader.h"

#include <cstring>
#include <vector>

#include "bitmap/dib.h"
#include "common/disc_names.h"
#include "common/files.h"
#include "installer/wing_installer.h"
#include "launcher/launch_paths.h"
#include "resources/resource_ids.h"
#include "startup/startup.h"

namespace
{

const char kAutorunSection[] = "autorun";
constexpr DWORD kListSize = 32768; // section and key lists of a profile file
constexpr DWORD kValueSize = 4096; // far beyond the launcher's 258 characters

// Whether path names a file, not a folder, as the launcher judges it.
bool IsFile(const std::string& path)
{
    return ::IsFile(path.c_str());
}

// Whether a double-zero-terminated list of names holds name, compared as the profile
// functions compare, without regard to case.
bool ListHas(const char* list, const char* name)
{
    for (const char* entry = list; *entry; entry += strlen(entry) + 1)
        if (lstrcmpiA(entry, name) == 0)
            return true;
    return false;
}

// Whether the profile file has the section, in any case.
bool HasSection(const std::string& profile, const char* section)
{
    std::vector<char> names(kListSize);
    GetPrivateProfileSectionNamesA(names.data(), kListSize, profile.c_str());
    return ListHas(names.data(), section);
}

// One key of a section, read whole: present, and its value.
ProfileKey ReadKey(const std::string& profile, const char* section, const char* key)
{
    std::vector<char> keys(kListSize);
    GetPrivateProfileStringA(section, nullptr, "", keys.data(), kListSize, profile.c_str());
    std::vector<char> value(kValueSize);
    const DWORD length =
        GetPrivateProfileStringA(section, key, "", value.data(), kValueSize, profile.c_str());
    return ProfileKey{ListHas(keys.data(), key), std::string(value.data(), length)};
}

// Up to limit bytes from the start of a file; false when it cannot be opened. size gets the
// whole file's size.
bool ReadHead(const std::string& path, size_t limit, std::vector<uint8_t>* bytes, int64_t* size,
              DWORD* error)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    LARGE_INTEGER fileSize = {};
    bool ok = GetFileSizeEx(file, &fileSize) != 0;
    *size = fileSize.QuadPart;
    const size_t wanted = ok && uint64_t(*size) < limit ? size_t(*size) : limit;
    bytes->assign(wanted, 0);
    DWORD got = 0;
    ok = ok && (wanted == 0 || ReadFile(file, bytes->data(), DWORD(wanted), &got, nullptr));
    bytes->resize(got);
    *error = ok ? 0 : GetLastError();
    CloseHandle(file);
    return ok;
}

// The program headers of a file, judged for a launcher built for launcherMachine; image is
// left as it is when the file cannot be read.
void ReadProgramImage(const std::string& path, uint16_t launcherMachine, ProgramImage* image)
{
    std::vector<uint8_t> head;
    int64_t size = 0;
    DWORD error = 0;
    if (ReadHead(path, kProgramHeadBytes, &head, &size, &error))
        *image = CheckProgramImage(head.data(), head.size(), launcherMachine);
}

// The picture as the loader's checks judge its bytes, and whether the launcher's own loader
// steps make a picture of them.
void GatherPicture(const std::string& path, DiscFacts* f)
{
    // A size the loader refuses outright is judged without reading the file.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        f->pictureSize = int64_t(uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
        if (f->pictureSize > kBmpMaxFileSize) {
            f->pictureFile = PictureFile::Found;
            return;
        }
    }
    std::vector<uint8_t> bytes;
    DWORD error = 0;
    if (!ReadHead(path, size_t(kBmpMaxFileSize), &bytes, &f->pictureSize, &error)) {
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        f->pictureFile = missing ? PictureFile::Missing : PictureFile::Unreadable;
        return;
    }
    f->pictureFile = PictureFile::Found;
    if (bytes.size() < kBmpFileHeaderSize)
        return;
    const uint8_t* contents = bytes.data() + kBmpFileHeaderSize;
    const uint32_t length = uint32_t(bytes.size() - kBmpFileHeaderSize);
    f->pictureBits = PictureBitCount(contents, length);
    f->pictureRefusal = ReadBmpLayoutWithReason(bytes.data(), contents, length, &f->picture);
    if (f->pictureRefusal != BmpRefusal::None)
        return;
    f->pictureBareRow = FirstBareEndOfLineRow(f->picture, contents);
    // The loader's own steps on the bytes read: how deep the disc folder lies on this
    // computer (OpenFile refuses 128 characters) says nothing about the disc.
    HPALETTE palette = CreateDibPalette(contents, &f->picture);
    BITMAPINFOHEADER* packed = palette ? UnpackDib(contents, &f->picture) : nullptr;
    f->pictureBuilt = packed != nullptr;
    if (packed)
        f->pictureColours =
            CountPictureColours(f->picture, contents, reinterpret_cast<const uint8_t*>(packed));
    ReleaseDibParts(palette, packed);
}

// The hidden dialog's procedure: the template's defaults, nothing else.
INT_PTR CALLBACK MeasureProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A copy of the launcher's dialog template that makes a hidden window.
bool HiddenTemplate(HINSTANCE instance, std::vector<DWORD>* copy)
{
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(IDD_STARTUP), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(instance, resource) : 0;
    if (!data || size < 12)
        return false;
    copy->assign((size + 3) / 4, 0);
    memcpy(copy->data(), data, size);
    // DLGTEMPLATE has its style first; DLGTEMPLATEEX (version 1, signature 0xFFFF) at 12.
    const bool extended = (*copy)[0] == 0xFFFF0001u;
    (*copy)[extended ? 3 : 0] &= ~DWORD(WS_VISIBLE);
    return true;
}

// Creates the launcher's dialog hidden, with its own class, and measures its window, client
// area and Play button and the screen's dpi as the launcher does at WM_INITDIALOG.
bool MeasureDialog(HINSTANCE instance, DiscFacts* f)
{
    std::vector<DWORD> dialogTemplate;
    if (!HiddenTemplate(instance, &dialogTemplate))
        return false;
    WNDCLASSA windowClass;
    FillStartupClass(&windowClass, instance);
    windowClass.lpfnWndProc = DefDlgProcA; // no picture to load, no quit to post
    if (!RegisterClassA(&windowClass))
        return false;
    HWND dialog = CreateDialogIndirectParamA(
        instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr, MeasureProc,
        0);
    bool measured = false;
    if (dialog) {
        RECT window = {}, client = {}, button = {};
        HWND play = GetDlgItem(dialog, IDC_PLAY);
        measured = play && GetWindowRect(dialog, &window) && GetClientRect(dialog, &client) &&
                   GetClientRect(play, &button);
        f->window = ToLayout(window);
        f->client = ToLayout(client);
        f->button = ToLayout(button);
        if (HDC dc = GetDC(dialog)) {
            f->pictureScale = PictureScale(GetDeviceCaps(dc, LOGPIXELSY));
            ReleaseDC(dialog, dc);
        }
        DestroyWindow(dialog);
    }
    UnregisterClassA(kStartupClassName, instance);
    return measured;
}

// Whether path, relative to the disc folder given as context, names a file.
bool NamesFileOnDisc(const char* path, const void* folder)
{
    return IsFile(*static_cast<const std::string*>(folder) + path);
}

// The program part of game= as the launcher takes it: the longest leading part that names a
// file, else the part it starts as written, found as the system finds it: as written, or with
// ".exe" added when its name has no extension.
void GatherGame(const std::string& folder, DiscFacts* f)
{
    f->gameFileLength = ProgramFileLength(f->game.value.c_str(), NamesFileOnDisc, &folder);
    const std::string program = GameProgramPart(f->game.value, f->gameFileLength);
    if (program.empty())
        return;
    std::string path = folder + program;
    f->gameFound = IsFile(path);
    const size_t name = program.find_last_of("\\/");
    const bool hasExtension =
        program.find('.', name == std::string::npos ? 0 : name + 1) != std::string::npos;
    if (!f->gameFound && !hasExtension && IsFile(path + ".exe")) {
        path += ".exe";
        f->gameFound = f->gameAddedExe = true;
    }
    if (f->gameFound)
        ReadProgramImage(path, LauncherMachine(*f), &f->gameImage);
}

// The launcher's file in the disc root and its program headers.
void GatherLauncher(const std::string& folder, DiscFacts* f)
{
    f->launcherName = LauncherFileName(f->open);
    const std::string path = folder + f->launcherName;
    f->launcherFound = IsFile(path);
    if (f->launcherFound)
        ReadProgramImage(path, kMachineI386, &f->launcherImage);
}

// Reads the two sections of autorun.inf as the profile functions see them, and whether the
// program that open= names and the icon file are in the disc folder.
void GatherAutorun(const std::string& folder, DiscFacts* f)
{
    const std::string profile = folder + DISC_PROFILE_FILE;
    f->autorunFound = IsFile(profile);
    if (!f->autorunFound)
        return;
    f->gameSection = HasSection(profile, DISC_PROFILE_SECTION);
    f->game = ReadKey(profile, DISC_PROFILE_SECTION, DISC_GAME_KEY);
    f->bitmap = ReadKey(profile, DISC_PROFILE_SECTION, DISC_BITMAP_KEY);
    f->autorunSection = HasSection(profile, kAutorunSection);
    f->open = ReadKey(profile, kAutorunSection, "open");
    const std::string openProgram = GameProgramPart(f->open.value);
    f->openTargetFound = !openProgram.empty() && IsFile(folder + openProgram);
    f->icon = ReadKey(profile, kAutorunSection, "icon");
    const std::string iconFile = IconFilePart(f->icon.value);
    f->iconFound = !iconFile.empty() && IsFile(folder + iconFile);
    f->useAutoPlay = ReadKey(profile, kAutorunSection, "UseAutoPlay");
}

// A file in the folder of relative (a path under the disc folder) whose name is one edit away
// from relative's, as relative would name it; "" when there is none.
std::string NearName(const std::string& folder, const std::string& relative)
{
    const size_t slash = relative.find_last_of("\\/");
    const std::string dir = slash == std::string::npos ? "" : relative.substr(0, slash + 1);
    const std::string name = relative.substr(dir.size());
    if (name.empty())
        return "";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + dir + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return "";
    std::string match;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            OneEditApart(found.cFileName, name))
            match = dir + found.cFileName;
    } while (match.empty() && FindNextFileA(search, &found));
    FindClose(search);
    return match;
}

// What the findings that name a fix need: how autorun.inf is stored, or the names Notepad and
// Explorer give it by mistake; the first bytes of a picture that is no BMP; a file one edit
// away from a missing one; and what a value rooted at a drive or a backslash names on the disc.
void GatherFixes(const std::string& folder, DiscFacts* f)
{
    std::vector<uint8_t> head;
    int64_t size = 0;
    DWORD error = 0;
    if (f->autorunFound && ReadHead(folder + DISC_PROFILE_FILE, 4, &head, &size, &error))
        f->autorunEncoding = ProfileEncoding(head.data(), head.size());
    for (const char* lookalike : {DISC_PROFILE_FILE ".txt", "autorun.ini"})
        if (!f->autorunFound && f->autorunLookalike.empty() && IsFile(folder + lookalike))
            f->autorunLookalike = lookalike;

    if (f->pictureFile == PictureFile::Found &&
        ReadHead(folder + f->bitmap.value, 4, &head, &size, &error)) {
        const char* format = OtherPictureFormat(head.data(), head.size());
        f->pictureFormat = format ? format : "";
    }
    const std::string bitmap = RootRelative(f->bitmap.value);
    f->bitmapRelativeFound = !bitmap.empty() && IsFile(folder + bitmap);
    if (f->pictureFile == PictureFile::Missing && bitmap.empty())
        f->bitmapNear = NearName(folder, f->bitmap.value);

    const std::string game = RootRelative(f->game.value);
    f->gameRelativeFound =
        !game.empty() &&
        IsFile(folder +
               GameProgramPart(game, ProgramFileLength(game.c_str(), NamesFileOnDisc, &folder)));
    const std::string program = GameProgramPart(f->game.value, f->gameFileLength);
    if (!f->gameFound && game.empty() && !program.empty())
        f->gameNear = NearName(folder, program);
}

} // namespace

void GatherDiscFacts(HINSTANCE instance, const std::string& folder, DiscFacts* f)
{
    *f = EmptyFacts();
    GatherAutorun(folder, f);
    GatherLauncher(folder, f);
    if (!f->bitmap.value.empty())
        GatherPicture(folder + f->bitmap.value, f);
    f->dialogMeasured = MeasureDialog(instance, f);
    GatherGame(folder, f);
    const std::string runtime = folder + DISC_RUNTIME_FOLDER DISC_RUNTIME_FILE;
    f->runtimeFound = IsFile(runtime);
    if (f->runtimeFound)
        f->runtimeVersion = ReadFileVersion(runtime.c_str());
    GatherFixes(folder, f);
}

bool MeasureLauncherDialog(HINSTANCE instance, DiscFacts* f)
{
    f->dialogMeasured = MeasureDialog(instance, f);
    return f->dialogMeasured;
}
