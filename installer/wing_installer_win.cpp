// Brings the runtime in the system directory up to the disc's version when Play is chosen.
#include "installer/wing_installer.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>

#include "bitmap/file_reader.h"
#include "common/disc_names.h"
#include "common/error_boxes.h"
#include "common/global_memory.h"
#include "common/globals.h"
#include "common/system_functions.h"

namespace
{

// The prompt for a failed copy: the target path, then why and what the user can do, and for a
// file that needs an administrator, what Cancel does.
const char kCopyPromptFormat[] = "Unable to copy file to %s.\n\n%s%s%s";
const char kInUseReason[] = "This may occur if the file is currently open.  ";
const char kInUseAdvice[] =
    "Please close any programs that might have this file open and then retry.";
// Windows refused the copy to this user (and to the administrator's instance, where there is
// one), or the user declined to give an administrator's permission.
const char kAdministratorReason[] = "Only an administrator may change this file.  ";
const char kAskAgainAdvice[] = "Retry asks for permission again; ";
// Windows NT 4 to XP cannot ask for permission, and this program, while its window is open,
// cannot be started a second time under an administrator's account.
const char kRunAsAdvice[] = "To copy it, start this program as an administrator (Run as); ";
const char kWithoutItAdvice[] = "Cancel starts the game without it.";

// The longest text takes 166 characters; the buffer holds it with a full 259-character path
// (426 bytes) and stays below wsprintfA's own 1024-byte output limit.
constexpr int kPromptBufferSize = 512;
static_assert(sizeof kCopyPromptFormat - 8 + sizeof kAdministratorReason - 1 + sizeof kRunAsAdvice -
                      1 + sizeof kWithoutItAdvice - 1 + (kPathBufferSize - 1) <
                  kPromptBufferSize,
              "the prompt must hold its text with the longest path shown");

// Room that GetTempFileNameA needs behind its folder within MAX_PATH: a prefix of up to three
// characters, four hex digits, ".tmp" and the terminator, and then some.
constexpr size_t kTempFolderLimit = MAX_PATH - 14;

// Size asked of GetSystemDirectoryA: one byte of the path buffer stays free for the '\'.
constexpr UINT kSystemDirAsk = kPathBufferSize - 1;

// The version library's three functions, loaded from the system directory.
typedef DWORD(WINAPI* InfoSizeFunction)(const char*, DWORD*);
typedef BOOL(WINAPI* InfoFunction)(const char*, DWORD, DWORD, void*);
typedef BOOL(WINAPI* QueryFunction)(const void*, const char*, void**, UINT*);
struct VersionLibrary {
    HMODULE module;
    InfoSizeFunction infoSize;
    InfoFunction info;
    QueryFunction query;
};

// Loads a library of the system directory by its full path, never a file of the same name
// beside the launcher. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* fileName)
{
    char path[kPathBufferSize];
    const UINT reported = GetSystemDirectoryA(path, kSystemDirAsk);
    if (!TakeSystemDirectory(path, sizeof path, reported, kSystemDirAsk) ||
        !JoinPath(path, sizeof path, path, fileName))
        return nullptr;
    return LoadLibraryA(path);
}

// False, with nothing loaded, when the library or one of its functions is missing.
bool LoadVersionLibrary(VersionLibrary* library)
{
    library->module = LoadSystemLibrary("VERSION.DLL");
    if (!library->module)
        return false;
    library->infoSize = InfoSizeFunction(FindFunction(library->module, "GetFileVersionInfoSizeA"));
    library->info = InfoFunction(FindFunction(library->module, "GetFileVersionInfoA"));
    library->query = QueryFunction(FindFunction(library->module, "VerQueryValueA"));
    if (library->infoSize && library->info && library->query)
        return true;
    FreeLibrary(library->module);
    return false;
}

// Takes the two version numbers out of a locked version-information block.
FileVersion VersionFromBlock(const VersionLibrary& library, const char* path, DWORD handleValue,
                             DWORD size, void* data)
{
    FileVersion version = {false, 0, 0};
    if (!library.info(path, handleValue, size, data))
        return version;
    void* found = nullptr;
    UINT length = 0;
    if (!library.query(data, "\\", &found, &length) || found == nullptr)
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

// The fixed file version of the file at path through a loaded library.
FileVersion ReadVersionWith(const VersionLibrary& library, const char* path)
{
    FileVersion version = {false, 0, 0};
    DWORD handleValue = 0;
    DWORD size = library.infoSize(path, &handleValue);
    if (size == 0)
        return version;
    void* data = AllocateLocked(GMEM_MOVEABLE, size);
    if (data == nullptr)
        return version;
    version = VersionFromBlock(library, path, handleValue, size, data);
    ReleaseLocked(data);
    return version;
}

// Shows the Retry/Cancel prompt for a failed copy to targetPath, which is lower-cased in
// place first, with the path cut to 259 characters when it is longer. A file that needs an
// administrator is one the game may start without: the prompt says so.
int AskToRetryCopy(char* targetPath, const char* reason, const char* advice)
{
    char shownPath[kPathBufferSize];
    char prompt[kPromptBufferSize];
    CharLowerA(targetPath);
    lstrcpynA(shownPath, targetPath, sizeof shownPath);
    wsprintfA(prompt, kCopyPromptFormat, shownPath, reason, advice,
              reason == kAdministratorReason ? kWithoutItAdvice : "");
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

// The thread's last error code, or fallback when a failed call left none.
DWORD LastErrorOr(DWORD fallback)
{
    const DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

// What the thread that starts the administrator's instance needs, and what it found.
struct ElevatedRun {
    HWND owner;
    char program[kPathBufferSize];
    DWORD result;
};

// Starts this program again as an administrator with kRuntimeCopyArgument and waits for it;
// its result is the instance's exit code (0 when the installed copy is now good), or the error
// that kept it from starting: ERROR_CANCELLED when the user declined. Runs on a thread of its
// own, since the consent prompt holds the call that asks for it, in a single-threaded
// apartment, as the shell asks of a thread that calls it. The shell and COM are loaded only
// here, on the one path that needs them.
DWORD WINAPI RunElevatedCopy(void* parameter)
{
    typedef BOOL(WINAPI * ShellExecuteExFunction)(SHELLEXECUTEINFOA*);
    typedef HRESULT(WINAPI * CoInitializeExFunction)(void*, DWORD);
    typedef void(WINAPI * CoUninitializeFunction)();
    ElevatedRun* run = static_cast<ElevatedRun*>(parameter);
    run->result = ERROR_MOD_NOT_FOUND;
    HMODULE com = LoadSystemLibrary("ole32.dll");
    const CoInitializeExFunction initialize =
        CoInitializeExFunction(FindFunction(com, "CoInitializeEx"));
    const CoUninitializeFunction uninitialize =
        CoUninitializeFunction(FindFunction(com, "CoUninitialize"));
    const bool apartment =
        initialize && uninitialize &&
        SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    HMODULE shell = LoadSystemLibrary("shell32.dll");
    const ShellExecuteExFunction execute =
        ShellExecuteExFunction(FindFunction(shell, "ShellExecuteExA"));
    if (execute) {
        SHELLEXECUTEINFOA info;
        ZeroMemory(&info, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        info.hwnd = run->owner;
        info.lpVerb = "runas";
        info.lpFile = run->program;
        info.lpParameters = kRuntimeCopyArgument;
        info.nShow = SW_HIDE;
        run->result = ERROR_ACCESS_DENIED;
        if (!execute(&info)) {
            run->result = LastErrorOr(ERROR_ACCESS_DENIED);
        } else if (info.hProcess) {
            WaitForSingleObject(info.hProcess, INFINITE);
            GetExitCodeProcess(info.hProcess, &run->result);
            CloseHandle(info.hProcess);
        }
    }
    if (shell)
        FreeLibrary(shell);
    if (apartment)
        uninitialize();
    if (com)
        FreeLibrary(com);
    return 0;
}

// Copies the runtime through an administrator's instance of exactly the file that runs: its
// name as OwnModuleName checks it, never a look-alike that best fit would spell. The startup
// window stays disabled meanwhile, and painted: its messages are dispatched until the
// instance ends; a quit message taken meanwhile is posted again afterwards. 0 when the
// installed copy is now good, else the error code.
DWORD CopyAsAdministrator()
{
    ElevatedRun run;
    run.owner = StartupDialog;
    const DWORD length = OwnModuleName(nullptr, run.program);
    if (length == kUnspellableName)
        return ERROR_INVALID_NAME;
    if (length == 0 || length >= kModuleNameSize)
        return ERROR_FILENAME_EXCED_RANGE; // a cut name, without its terminator
    DWORD threadId;
    HANDLE thread = CreateThread(nullptr, 0, RunElevatedCopy, &run, 0, &threadId);
    if (!thread)
        return LastErrorOr(ERROR_ACCESS_DENIED);
    EnableWindow(run.owner, FALSE);
    MSG message;
    WPARAM quitCode = 0;
    bool quit = false;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) ==
           WAIT_OBJECT_0 + 1) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) {
                DispatchMessageA(&message);
                continue;
            }
            quit = true;
            quitCode = message.wParam;
        }
    }
    WaitForSingleObject(thread, INFINITE); // the thread uses run until it ends
    CloseHandle(thread);
    EnableWindow(run.owner, TRUE);
    if (quit)
        PostQuitMessage(int(quitCode));
    return run.result;
}

// Puts the file at from in place of the file at to, on the same volume. Windows NT renames it
// over the old file in one step. Windows 95 to Me have no such rename (their MoveFileExA only
// fails): the old file is deleted first, which fails while a program has it open, and leaves
// it as it was.
bool PutInPlace(const char* from, const char* to)
{
    if (IsWindowsNt())
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
    if (!DeleteFileA(to) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return false;
    return MoveFileA(from, to) != 0;
}

// Replaces targetPath by a copy of sourcePath without ever cutting the installed file short:
// the copy is written to a new temporary file in the target's folder (the rename then stays
// on one volume), loses the read-only attribute a CD gives it, and is renamed over the target.
// 0, or the error that stopped it, and then the temporary file is gone and the target holds
// what it held (a read-only attribute is cleared just before the rename). A refusal at the rename,
// after the right to write in the folder was proven, is a file in use: ERROR_SHARING_VIOLATION.
DWORD CopyRuntimeFile(const char* targetPath, const char* sourcePath)
{
    size_t folderLength = strlen(targetPath);
    while (folderLength > 0 && targetPath[folderLength - 1] != '\\')
        --folderLength;
    if (folderLength == 0 || folderLength > kTempFolderLimit)
        return ERROR_FILENAME_EXCED_RANGE;
    char folder[kPathBufferSize];
    char temporary[MAX_PATH];
    lstrcpynA(folder, targetPath, int(folderLength) + 1);
    if (!GetTempFileNameA(folder, "cvn", 0, temporary))
        return LastErrorOr(ERROR_ACCESS_DENIED);
    DWORD error = ERROR_ACCESS_DENIED;
    if (CopyFileA(sourcePath, temporary, FALSE)) {
        ClearReadOnly(temporary);
        ClearReadOnly(targetPath); // Windows replaces no read-only file
        if (PutInPlace(temporary, targetPath))
            return 0;
        error = ERROR_SHARING_VIOLATION;
    }
    const DWORD code = GetLastError();
    if (code != 0 && code != ERROR_ACCESS_DENIED)
        error = code;
    DeleteFileA(temporary);
    return error;
}

// Forms the disc's folder of the runtime and the system directory, each a path buffer ending
// in a backslash. False when the system directory cannot be had or a path does not fit.
bool FormRuntimeDirs(char* discDir, char* systemDir)
{
    if (!JoinPath(discDir, kPathBufferSize, SourceDir, DISC_RUNTIME_FOLDER))
        return false;
    UINT reported = GetSystemDirectoryA(systemDir, kSystemDirAsk);
    return TakeSystemDirectory(systemDir, kPathBufferSize, reported, kSystemDirAsk);
}

// Forms the paths of fileName in sourceDir and in targetDir and tells whether the target's
// copy must be replaced by the source's. False when a path does not fit its buffer.
bool PlanCopy(char* sourcePath, char* targetPath, const char* fileName, const char* sourceDir,
              const char* targetDir, bool* needed)
{
    // The new copy is first written to a temporary file in targetDir, whose name needs more
    // room behind the folder than fileName may.
    if (strlen(targetDir) > kTempFolderLimit ||
        !JoinPath(sourcePath, kPathBufferSize, sourceDir, fileName) ||
        !JoinPath(targetPath, kPathBufferSize, targetDir, fileName))
        return false;
    // Without the version library no version can be read, and an installed copy that may be
    // newer is kept: nothing is copied.
    VersionLibrary library;
    *needed = false;
    if (!LoadVersionLibrary(&library))
        return true;
    *needed = NeedsCopy(ReadVersionWith(library, targetPath), ReadVersionWith(library, sourcePath));
    FreeLibrary(library.module);
    return true;
}

} // namespace

FileVersion ReadFileVersion(const char* path)
{
    FileVersion version = {false, 0, 0};
    VersionLibrary library;
    if (!LoadVersionLibrary(&library))
        return version;
    version = ReadVersionWith(library, path);
    FreeLibrary(library.module);
    return version;
}

DWORD (*CopyThroughAdministrator)() = nullptr;
int WinGInstalled;

const char kRuntimeCopyArgument[] = "/CorvaneCopyRuntime";

bool IsRuntimeCopyRequest(const char* arguments)
{
    const char* expected = kRuntimeCopyArgument;
    while (*arguments != '\0' && *arguments == *expected) {
        ++arguments;
        ++expected;
    }
    return *arguments == *expected;
}

// Copies until a copy succeeds or the user stops choosing Retry; the critical-error box of
// the system stays off meanwhile. A copy that Windows refuses to this user is made by an
// administrator's instance where Windows can ask for one (Vista and later); Windows NT 4 to
// XP tell the user to start the program as an administrator. Returns the new file's size, or
// -1 when nothing was copied.
LONG CopyFileWithRetry(char* targetPath, const char* sourcePath)
{
    LONG result = -1;
    UINT previousMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    int answer;
    do {
        answer = IDCANCEL;
        DWORD error = CopyRuntimeFile(targetPath, sourcePath);
        const char* reason = kInUseReason;
        const char* advice = kInUseAdvice;
        if (error == ERROR_ACCESS_DENIED && IsWindowsNt()) {
            reason = kAdministratorReason;
            advice = kRunAsAdvice;
            if (LOBYTE(LOWORD(GetVersion())) >= 6) {
                // Only a file in use is the instance's to report as such; any other failure,
                // the instance's own start included, leaves the file an administrator's.
                error =
                    CopyThroughAdministrator ? CopyThroughAdministrator() : CopyAsAdministrator();
                advice = kAskAgainAdvice;
                if (error == ERROR_SHARING_VIOLATION) {
                    reason = kInUseReason;
                    advice = kInUseAdvice;
                }
            }
        }
        if (error == 0)
            result = FileGetSize(targetPath);
        else
            answer = AskToRetryCopy(targetPath, reason, advice);
    } while (answer == IDRETRY);
    SetErrorMode(previousMode);
    return result;
}

// 1 when targetDir ends up with a copy of fileName at least as new as sourceDir's, 0 when a
// needed copy was abandoned or a path does not fit its buffer (then the user is told in an
// "Error" box and nothing is touched).
int UpdateSystemFile(const char* fileName, const char* sourceDir, const char* targetDir)
{
    char sourcePath[kPathBufferSize];
    char targetPath[kPathBufferSize];
    bool needed;
    if (!PlanCopy(sourcePath, targetPath, fileName, sourceDir, targetDir, &needed)) {
        ShowPathTooLong();
        return 0;
    }
    // Where nothing is copied, the disc's file is still opened and its size stands for
    // success. It is never -1 (0 when the file cannot be opened), so this step cannot fail: it
    // is kept so that the check measures the disc's file whether or not it copies.
    const LONG result =
        needed ? CopyFileWithRetry(targetPath, sourcePath) : FileGetSize(sourcePath);
    return result != -1 ? 1 : 0;
}

// Runs the check once per run: after a check that left the file in place, later calls
// return at once. A path of the file that does not fit its buffer is reported as a name that
// is too long, and the file is left as it is.
void InstallWinG()
{
    if (WinGInstalled != 0)
        return;
    char discDir[kPathBufferSize];
    char systemDir[kPathBufferSize];
    if (FormRuntimeDirs(discDir, systemDir))
        WinGInstalled = UpdateSystemFile(DISC_RUNTIME_FILE, discDir, systemDir);
    else
        ShowPathTooLong();
}

// The instance ends right after: the error mode it sets for the copy is not set back.
DWORD UpdateRuntimeAlone()
{
    char discDir[kPathBufferSize];
    char systemDir[kPathBufferSize];
    char sourcePath[kPathBufferSize];
    char targetPath[kPathBufferSize];
    bool needed;
    if (!FormRuntimeDirs(discDir, systemDir) ||
        !PlanCopy(sourcePath, targetPath, DISC_RUNTIME_FILE, discDir, systemDir, &needed))
        return ERROR_FILENAME_EXCED_RANGE;
    if (!needed)
        return 0;
    SetErrorMode(SEM_NOOPENFILEERRORBOX);
    return CopyRuntimeFile(targetPath, sourcePath);
}
