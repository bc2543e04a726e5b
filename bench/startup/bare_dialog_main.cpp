// The baseline for the launcher's start-up time: a bare dialog program that registers the
// same window class name and shows the same dialog template, centred on the desktop, and
// nothing else: no settings read, no picture loaded, no layout around a picture. Play, Quit,
// Enter and Escape end it with the command's identifier as the exit code; nothing is started.
#include <windows.h>

#include "resources/resource_ids.h"

namespace
{

const char kClassName[] = "CorvaneStartupDialogClass";

// Centres the window, at the size its template gives, on the desktop.
INT_PTR OnInitDialog(HWND dialog)
{
    RECT desktop = {}, window = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(dialog, nullptr, (desktop.right - desktop.left - width) / 2,
                 (desktop.bottom - desktop.top - height) / 2, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    return TRUE;
}

// Ends the dialog on the four commands that end the launcher's; ignores every other.
INT_PTR OnCommand(HWND dialog, WPARAM command)
{
    switch (command) {
    case IDOK:
    case IDCANCEL:
    case IDC_PLAY:
    case IDC_QUIT:
        EndDialog(dialog, static_cast<INT_PTR>(command));
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK BareDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    default:
        return FALSE;
    }
}

// The class's window procedure hands every message to the dialog manager, as the launcher's
// does with all but those about its picture.
LRESULT CALLBACK BareWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefDlgProcA(window, message, wParam, lParam);
}

} // namespace

// The class is the launcher's in all but its window procedure: there is no picture to load,
// paint or free.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BareWndProc;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        return 0;
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_STARTUP), nullptr, BareDlgProc, 0));
}
