// Brings wing32.dll in the system directory up to the disc's version when Play is chosen.
#include "installer/wing_installer.h"

#include "bitmap/file_reader.h"
#include "launcher/globals.h"
#include "launcher/path_join.h"
#include "startup/startup.h"

int WinGInstalled = 0;

namespace
{

const char kDiscLibraryDir[] = "system\\win95\\";
const char kLibraryFile[] = "wing32.dll";
const char kCopyPromptFormat[] =
    "Unable to copy file to %s.\n\nThis may occur if the file is currently open.  Please close "
    "any programs that might have this file open and then retry.";
const char kErrorCaption[] = "Error";

// The fixed text takes 145 characters; the buffer holds it with a full 259-character path
// (405 bytes) and stays below wsprintfA's own 1024-byte output limit.
constexpr int kPromptBufferSize = 512;
static_assert(sizeof kCopyPromptFormat - 2 + (kPathBufferSize - 1) < kPromptBufferSize,
              "the prompt must hold its text with the longest path shown");

// Size asked of GetSystemDirectoryA: one byte of the path buffer stays free for the '\'.
constexpr UINT kSystemDirAsk = kPathBufferSize - 1;

// Takes the two version numbers out of a locked version-information block.
FileVersion VersionFromBlock(const char* path, DWORD handleValue, DWORD size, void* data)
{
    FileVersion version = {false, 0, 0};
    if (!GetFileVersionInfoA(path, handleValue, size, data))
        return version;
    void* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data, "\\", &found, &length) || found == nullptr)
        return version;
    // A root block shorter than the record would be read past its end.
    if (length < sizeof(VS_FIXEDFILEINFO))
        return version;
    const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(found);
    version.available = true;
    version.ms = info->dwFileVersionMS;
    version.ls = info->dwFileVersionLS;
    return version;
}

// Shows the Retry/Cancel prompt for a failed copy to targetPath, which is lower-cased in
// place first. Paths longer than a path buffer are shown cut to 259 characters.
int AskToRetryCopy(char* targetPath)
{
    char shownPath[kPathBufferSize];
    char prompt[kPromptBufferSize];
    CharLowerA(targetPath);
    lstrcpynA(shownPath, targetPath, sizeof shownPath);
    wsprintfA(prompt, kCopyPromptFormat, shownPath);
    return MessageBoxA(StartupDialog, prompt, kErrorCaption, MB_RETRYCANCEL | MB_ICONEXCLAMATION);
}

// Clears the read-only attribute of an existing file and keeps its other attributes. Files
// on a CD are read-only, and a copy takes its source's attributes along; a read-only file in
// the system directory could never be replaced by a later disc.
void ClearReadOnly(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
        return;
    const DWORD rest = attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(path, rest != 0 ? rest : FILE_ATTRIBUTE_NORMAL);
}

} // namespace

FileVersion ReadFileVersion(const char* path)
{
    FileVersion version = {false, 0, 0};
    DWORD handleValue = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handleValue);
    if (size == 0)
        return version;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (block == nullptr)
        return version;
    void* data = GlobalLock(block);
    if (data == nullptr) {
        GlobalFree(block);
        return version;
    }
    version = VersionFromBlock(path, handleValue, size, data);
    HGLOBAL handle = GlobalHandle(data);
    GlobalUnlock(handle);
    GlobalFree(handle);
    return version;
}

// Copies until a copy succeeds or the user stops choosing Retry; the critical-error box of
// the system stays off meanwhile. Returns the new file's size, or -1 when nothing was copied.
LONG CopyFileWithRetry(char* targetPath, const char* sourcePath)
{
    LONG result = -1;
    UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    int answer;
    do {
        answer = IDCANCEL;
        ClearReadOnly(targetPath);
        if (CopyFileA(sourcePath, targetPath, FALSE)) {
            ClearReadOnly(targetPath);
            result = FileGetSize(targetPath);
        } else {
            answer = AskToRetryCopy(targetPath);
        }
    } while (answer == IDRETRY);
    SetErrorMode(previousMode);
    return result;
}

// 1 when targetDir ends up with a copy of fileName at least as new as sourceDir's, 0 when a
// needed copy was abandoned or a path does not fit its buffer (then nothing is touched).
int UpdateSystemFile(const char* fileName, const char* sourceDir, const char* targetDir)
{
    char sourcePath[kPathBufferSize];
    char targetPath[kPathBufferSize];
    if (!JoinPath(sourcePath, sizeof sourcePath, sourceDir, fileName))
        return 0;
    if (!JoinPath(targetPath, sizeof targetPath, targetDir, fileName))
        return 0;
    FileVersion installed = ReadFileVersion(targetPath);
    FileVersion disc = ReadFileVersion(sourcePath);
    LONG result;
    if (NeedsCopy(installed, disc))
        result = CopyFileWithRetry(targetPath, sourcePath);
    else
        result = FileGetSize(sourcePath); // never -1
    return result != -1 ? 1 : 0;
}

// Runs the check once per run: after a check that left the file in place, later calls
// return at once. Nothing is shown when a directory cannot be formed.
void InstallWinG()
{
    if (WinGInstalled != 0)
        return;
    char discDir[kPathBufferSize];
    if (!JoinPath(discDir, sizeof discDir, SourceDir, kDiscLibraryDir))
        return;
    char systemDir[kPathBufferSize];
    UINT reported = GetSystemDirectoryA(systemDir, kSystemDirAsk);
    if (!TakeSystemDirectory(systemDir, sizeof systemDir, reported, kSystemDirAsk))
        return;
    WinGInstalled = UpdateSystemFile(kLibraryFile, discDir, systemDir);
}
