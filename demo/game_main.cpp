// The demo game on the demo disc: a small window that says it was started and shows the
// command line it was given.
// Its start record: when CORVANE_GAME_RECORD names a file, it writes its command line, working
// directory and own file name there instead and ends at once, so that whoever started the
// launcher (the end-to-end tests do) sees exactly how the launcher started the game and which
// copy of the program ran.
#include <windows.h>

#include <stdio.h>

namespace
{

const char kClassName[] = "CorvaneDemoGameWindow";
char CommandLine[1024];

// Writes one "name=value" line per fact into the record file; true when all was written.
bool WriteRecord(const char* recordPath)
{
    char directory[MAX_PATH + 1] = "";
    char module[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    GetModuleFileNameA(nullptr, module, sizeof module - 1);
    FILE* file = fopen(recordPath, "wb");
    if (!file)
        return false;
    fprintf(file, "command=%s\ndirectory=%s\nmodule=%s\n", GetCommandLineA(), directory, module);
    return fclose(file) == 0;
}

void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window, &client);
    InflateRect(&client, -16, -16);
    char text[1200];
    wsprintfA(text, "The Corvane demo game has started.\n\nCommand line:\n%s", CommandLine);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &client, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
    EndPaint(window, &ps);
}

LRESULT CALLBACK GameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    char recordPath[MAX_PATH + 1];
    DWORD n = GetEnvironmentVariableA("CORVANE_GAME_RECORD", recordPath, sizeof recordPath);
    if (n > 0 && n < sizeof recordPath)
        return WriteRecord(recordPath) ? 0 : 1;

    lstrcpynA(CommandLine, GetCommandLineA(), sizeof CommandLine);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = GameWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;
    HWND window = CreateWindowA(kClassName, "Corvane demo game", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 480, 240, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
