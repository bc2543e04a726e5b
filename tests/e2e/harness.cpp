#include "tests/e2e/harness.h"

#include "demo/title_picture.h"
#include "disccheck/program_image.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#ifndef CORVANE_BUILD_DIR
#error "CORVANE_BUILD_DIR must name the build tree"
#endif

namespace e2e
{
namespace
{

const char kDialogClass[] = "CorvaneStartupDialogClass";
const int kBoxTextId = 0xFFFF; // the static control that holds a message box's text
const int kBoxIconId = 0x0440; // the static control that holds its icon (stc1)

// A Windows path for a file-system call: "\\?\" in front of absolute paths, so that deep
// folders beyond MAX_PATH can be made and removed.
std::wstring LongPath(const std::string& path)
{
    std::wstring wide = Wide(path);
    if (path.size() > 2 && path[1] == ':' && path[2] == '\\')
        wide = L"\\\\?\\" + wide;
    return wide;
}

std::string Parent(const std::string& path)
{
    size_t end = path.size();
    if (end && path[end - 1] == '\\')
        --end;
    size_t slash = path.rfind('\\', end ? end - 1 : 0);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WindowClass(HWND window)
{
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Search {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindows(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && WindowClass(window) == search->className)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className)
{
    Search search{pid, className, {}};
    EnumWindows(CollectWindows, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int RecordCounter = 0;

} // namespace

// --- Files built by the project -------------------------------------------------------------

DWORD Scaled(DWORD ms)
{
    const char* scale = std::getenv("CORVANE_E2E_TIME_SCALE");
    const unsigned long factor = scale ? std::strtoul(scale, nullptr, 10) : 1;
    return factor > 1 ? DWORD(ms * factor) : ms;
}

namespace
{

std::string WindowsPath(std::string unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace

std::string SourceDir()
{
    return WindowsPath(CORVANE_SOURCE_DIR "/");
}

std::string BuildDir()
{
    std::string path = WindowsPath(CORVANE_BUILD_DIR);
    if (path.back() != '\\')
        path += '\\';
    return path;
}

std::string LauncherExe()
{
    const char* other = std::getenv("CORVANE_LAUNCHER");
    return other ? WindowsPath(other) : BuildDir() + "launcher.exe";
}

std::string LauncherSystemDir()
{
    std::string file;
    char dir[MAX_PATH];
    UINT n = 0;
    if (ReadText(LauncherExe(), &file)) {
        const ProgramImage image = CheckProgramImage(reinterpret_cast<const uint8_t*>(file.data()),
                                                     file.size(), kMachineAmd64);
        if (image.machine == kMachineI386)
            n = GetSystemWow64DirectoryA(dir, sizeof dir);
    }
    if (n == 0 || n >= sizeof dir)
        n = GetSystemDirectoryA(dir, sizeof dir);
    return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string();
}
std::string GameExe()
{
    return BuildDir() + "disc\\GAME\\START.EXE";
}
std::string RuntimeDll()
{
    return BuildDir() + "disc\\system\\win95\\wing32.dll";
}

// --- Folders and files ----------------------------------------------------------------------

std::string WorkRoot()
{
    static const std::string root = [] {
        std::string r = "C:\\e2e\\";
        MakeDirs(r);
        return r;
    }();
    return root;
}

std::string LauncherWorkDir()
{
    static const std::string dir = [] {
        std::string d = WorkRoot() + "cwd\\";
        MakeDirs(d);
        return d;
    }();
    return dir;
}

std::string DriveDRoot()
{
    return WorkRoot() + "drive-d\\";
}

bool MakeDirs(const std::string& path)
{
    if (path.size() <= 3)
        return true; // a drive root
    DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!MakeDirs(Parent(path)))
        return false;
    std::string trimmed = path;
    if (trimmed.back() == '\\')
        trimmed.pop_back();
    return CreateDirectoryW(LongPath(trimmed).c_str(), nullptr) ||
           GetLastError() == ERROR_ALREADY_EXISTS;
}

bool RemoveTree(const std::string& path)
{
    std::string dir = path;
    if (dir.back() == '\\')
        dir.pop_back();
    DWORD attributes = GetFileAttributesW(LongPath(dir).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(LongPath(dir).c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileW(LongPath(dir).c_str());
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(LongPath(dir + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            RemoveTree(dir + "\\" + Utf8(name));
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return RemoveDirectoryW(LongPath(dir).c_str());
}

bool WriteBytes(const std::string& path, const void* data, size_t size)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, data, DWORD(size), &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

bool WriteText(const std::string& path, const std::string& text)
{
    return WriteBytes(path, text.data(), text.size());
}

namespace
{

// Everything a file or pipe gives until its end, then closes it.
void ReadToEnd(HANDLE from, std::string* text)
{
    text->clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text->append(buffer, got);
    CloseHandle(from);
}

} // namespace

bool ReadText(const std::string& path, std::string* text)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ReadToEnd(file, text);
    return true;
}

std::string RunConsoleProgram(const std::string& commandLine, DWORD* exitCode, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return "no pipe";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = commandLine;
    PROCESS_INFORMATION pi = {};
    // Wine now and then fails to start a console program on the first try (seen once in a
    // full run, with a prefix booted moments before); the program itself has not run yet, so
    // a second try tests the same thing.
    BOOL started = FALSE;
    DWORD startError = 0;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(250);
        started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &si, &pi);
        if (!started)
            startError = GetLastError();
    }
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return "cannot start " + command + " (error " + std::to_string(startError) + ")";
    }
    ReadToEnd(readEnd, output);
    const bool ended = WaitForSingleObject(pi.hProcess, kExitTimeoutMs) == WAIT_OBJECT_0;
    GetExitCodeProcess(pi.hProcess, exitCode);
    if (!ended)
        TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ended ? "" : command + " did not end";
}

bool CopyOne(const std::string& from, const std::string& to)
{
    return MakeDirs(Parent(to)) && CopyFileW(LongPath(from).c_str(), LongPath(to).c_str(), FALSE);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Autorun(const std::string& game, const std::string& bitmap)
{
    return "[autorun]\r\nopen=launcher.exe\r\nicon=launcher.exe,0\r\n\r\n[CorvaneGame]\r\ngame=" +
           game + "\r\nbitmap=" + bitmap + "\r\n";
}

bool LayOutDisc(const DiscSpec& disc)
{
    RemoveTree(disc.root);
    if (!MakeDirs(disc.root))
        return false;
    if (!CopyOne(LauncherExe(), disc.root + disc.launcherName))
        return false;
    if (disc.writeAutorun && !WriteText(disc.root + "autorun.inf", disc.autorun))
        return false;
    if (disc.withGame && !CopyOne(GameExe(), disc.root + "GAME\\START.EXE"))
        return false;
    if (disc.withRuntime && !CopyOne(RuntimeDll(), disc.root + "system\\win95\\wing32.dll"))
        return false;
    if (disc.withPicture) {
        std::vector<uint8_t> picture = TitlePicture();
        if (!WriteBytes(disc.root + "title.bmp", picture.data(), picture.size()))
            return false;
    }
    return true;
}

namespace
{

HKEY OpenUserKey(const char* key)
{
    HKEY handle = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                    nullptr);
    return handle;
}

} // namespace

UserRegistryValue::UserRegistryValue(const char* key, const char* name, const char* text)
    : handle(OpenUserKey(key)), name(name)
{
    RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   DWORD(std::string(text).size() + 1));
}

UserRegistryValue::UserRegistryValue(const char* key, const char* name, DWORD number)
    : handle(OpenUserKey(key)), name(name)
{
    RegSetValueExA(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
}

UserRegistryValue::~UserRegistryValue()
{
    RegDeleteValueA(handle, name.c_str());
    RegCloseKey(handle);
}

// --- The launcher process -------------------------------------------------------------------

Launcher::~Launcher()
{
    if (pi.hProcess) {
        Kill(*this);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    if (job)
        CloseHandle(job);
}

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], int(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
}

std::string Utf8(const std::wstring& wide)
{
    std::string utf8(wide.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], int(utf8.size()),
                                      nullptr, nullptr);
    utf8.resize(n > 0 ? n - 1 : 0);
    return utf8;
}

bool StartLauncher(Launcher* launcher, const std::string& exePath, const std::string& recordFile,
                   const std::string& workDir, const std::string& arguments)
{
    launcher->recordFile = recordFile;
    if (launcher->recordFile.empty()) {
        launcher->recordFile = WorkRoot() + "record-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(++RecordCounter) + ".txt";
    }
    DeleteFileA(launcher->recordFile.c_str());
    SetEnvironmentVariableA("CORVANE_GAME_RECORD", launcher->recordFile.c_str());

    std::wstring commandLine =
        Wide("\"" + exePath + "\"" + (arguments.empty() ? "" : " " + arguments));
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    BOOL ok = CreateProcessW(
        Wide(exePath).c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
        Wide(workDir.empty() ? LauncherWorkDir() : workDir).c_str(), &si, &launcher->pi);
    SetEnvironmentVariableA("CORVANE_GAME_RECORD", nullptr);
    if (!ok)
        return false;
    launcher->job = CreateJobObjectA(nullptr, nullptr);
    ok = launcher->job && AssignProcessToJobObject(launcher->job, launcher->pi.hProcess);
    ResumeThread(launcher->pi.hThread);
    return ok != FALSE;
}

DWORD ProcessesStarted(const Launcher& launcher)
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!QueryInformationJobObject(launcher.job, JobObjectBasicAccountingInformation, &info,
                                   sizeof info, nullptr))
        return 0;
    return info.TotalProcesses;
}

bool WaitForExit(Launcher& launcher, DWORD timeoutMs, DWORD* exitCode)
{
    if (WaitForSingleObject(launcher.pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(launcher.pi.hProcess, exitCode) != FALSE;
}

bool IsRunning(const Launcher& launcher)
{
    return launcher.pi.hProcess && WaitForSingleObject(launcher.pi.hProcess, 0) == WAIT_TIMEOUT;
}

void Kill(Launcher& launcher)
{
    if (IsRunning(launcher)) {
        TerminateProcess(launcher.pi.hProcess, 0xDEAD);
        WaitForSingleObject(launcher.pi.hProcess, 5000);
    }
}

// --- Windows of the launcher ----------------------------------------------------------------

HWND FindStartupWindow(DWORD pid)
{
    std::vector<HWND> windows = TopLevelWindows(pid, kDialogClass);
    return windows.empty() ? nullptr : windows.front();
}

HWND WaitForStartupDialog(const Launcher& launcher, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        HWND dialog = FindStartupWindow(launcher.pi.dwProcessId);
        if (dialog && IsWindowVisible(dialog))
            return dialog;
        if (!ListBoxes(launcher.pi.dwProcessId).empty())
            return nullptr;
        if (WaitForSingleObject(launcher.pi.hProcess, 20) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

std::vector<Box> ListBoxes(DWORD pid)
{
    std::vector<Box> boxes;
    for (HWND window : TopLevelWindows(pid, "#32770")) {
        Box box;
        box.window = window;
        box.caption = WindowText(window);
        char text[1024] = "";
        GetDlgItemTextA(window, kBoxTextId, text, sizeof text);
        box.text = text;
        box.owner = GetWindow(window, GW_OWNER);
        box.hasOk = GetDlgItem(window, IDOK) != nullptr;
        box.hasCancel = GetDlgItem(window, IDCANCEL) != nullptr;
        box.hasRetry = GetDlgItem(window, IDRETRY) != nullptr;
        HWND icon = GetDlgItem(window, kBoxIconId);
        box.hasIcon = icon && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
        box.visible = IsWindowVisible(window) != FALSE;
        boxes.push_back(box);
    }
    return boxes;
}

bool WaitForBox(const Launcher& launcher, Box* box, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        for (const Box& b : ListBoxes(launcher.pi.dwProcessId)) {
            if (b.visible) {
                // Read again once it is up, so that the text is there for certain.
                Sleep(20);
                for (const Box& again : ListBoxes(launcher.pi.dwProcessId)) {
                    if (again.window == b.window) {
                        *box = again;
                        // The icon is known once the box has painted it.
                        for (DWORD ms = 0; ms <= Scaled(500) && box->icon.empty(); ms += 20) {
                            box->icon = BoxIconName(*box);
                            if (box->icon.empty())
                                Sleep(20);
                        }
                        return true;
                    }
                }
            }
        }
        if (WaitForSingleObject(launcher.pi.hProcess, 20) == WAIT_OBJECT_0)
            return false;
    }
    return false;
}

void PressButton(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool PressAndWaitGone(const Box& box, int id, DWORD timeoutMs)
{
    PressButton(box.window, id);
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (!IsWindow(box.window) || !IsWindowVisible(box.window))
            return true;
        Sleep(20);
    }
    return false;
}

bool CollectBoxesUntilExit(Launcher& launcher, std::vector<Box>* boxes, DWORD* exitCode)
{
    for (int i = 0; i < 8; ++i) {
        Box box;
        if (!WaitForBox(launcher, &box))
            break;
        // Boxes come one at a time: the next only after this one is dismissed.
        if (ListBoxes(launcher.pi.dwProcessId).size() != 1)
            return false;
        boxes->push_back(box);
        if (!PressAndWaitGone(box, IDOK))
            return false;
    }
    return WaitForExit(launcher, kExitTimeoutMs, exitCode);
}

// Draws a system icon at its own size onto a background of one colour, as a static control
// of that size shows it; pixels as CaptureScreen gives them.
bool RenderIcon(LPCSTR id, int width, int height, uint32_t background,
                std::vector<uint32_t>* pixels)
{
    HICON icon = LoadIconA(nullptr, id);
    if (!icon)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section)
        return false;
    HDC memory = CreateCompatibleDC(nullptr);
    bool ok = false;
    if (memory) {
        HGDIOBJ old = SelectObject(memory, section);
        uint32_t* p = static_cast<uint32_t*>(bits);
        std::fill(p, p + size_t(width) * size_t(height), background);
        ok = DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) != FALSE;
        GdiFlush();
        if (ok) {
            pixels->assign(p, p + size_t(width) * size_t(height));
            for (uint32_t& v : *pixels)
                v &= 0x00FFFFFF;
        }
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    DeleteObject(section);
    return ok;
}

bool CloseColours(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d > 2 || d < -2)
            return false;
    }
    return true;
}

std::string BoxIconName(const Box& box)
{
    HWND control = GetDlgItem(box.window, kBoxIconId);
    RECT rect;
    if (!control || !IsWindowVisible(control) || !GetWindowRect(control, &rect))
        return "";
    std::vector<uint32_t> shown;
    if (!CaptureScreen(rect, &shown))
        return "";
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    const struct {
        LPCSTR id;
        const char* name;
    } icons[] = {{IDI_HAND, "error"},
                 {IDI_EXCLAMATION, "warning"},
                 {IDI_ASTERISK, "information"},
                 {IDI_QUESTION, "question"}};
    for (const auto& icon : icons) {
        std::vector<uint32_t> drawn;
        if (!RenderIcon(icon.id, width, height, shown[0], &drawn))
            continue;
        bool same = true;
        for (size_t i = 0; same && i < drawn.size(); ++i)
            same = CloseColours(drawn[i], shown[i]);
        if (same)
            return icon.name;
    }
    return "";
}

std::string SystemText(DWORD code)
{
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    return text;
}

// --- Geometry and pixels --------------------------------------------------------------------

bool ReadGeometry(HWND dialog, DialogGeometry* g)
{
    HWND play = GetDlgItem(dialog, 301);
    HWND quit = GetDlgItem(dialog, 302);
    if (!play || !quit)
        return false;
    RECT client;
    if (!GetWindowRect(dialog, &g->window) || !GetClientRect(dialog, &client) ||
        !GetWindowRect(play, &g->play) || !GetWindowRect(quit, &g->quit) ||
        !GetWindowRect(GetDesktopWindow(), &g->desktop))
        return false;
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    g->client = client;
    OffsetRect(&g->client, origin.x, origin.y);
    return true;
}

// --- The game's record ----------------------------------------------------------------------

bool ReadGameRecord(const std::string& recordFile, GameRecord* record, DWORD timeoutMs)
{
    std::string text;
    for (DWORD waited = 0;; waited += 50) {
        if (ReadText(recordFile, &text) && text.find("module=") != std::string::npos &&
            !text.empty() && text.back() == '\n')
            break;
        if (waited >= timeoutMs)
            return false;
        Sleep(50);
    }
    auto field = [&text](const std::string& name) {
        size_t start = text.find(name + "=");
        if (start == std::string::npos)
            return std::string();
        start += name.size() + 1;
        size_t end = text.find('\n', start);
        return text.substr(start, end - start);
    };
    record->command = field("command");
    record->directory = field("directory");
    record->module = field("module");
    return true;
}

std::vector<uint8_t> TitlePicture()
{
    return demo::TitlePictureFile();
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace e2e
