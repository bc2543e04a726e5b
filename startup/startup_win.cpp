// The startup window: a dialog of a private class whose window procedure owns the title
// picture, and the dialog procedure that lays the window out and ends it.
#include "startup/startup.h"

#include "bitmap/dib.h"
#include "common/globals.h"
#include "installer/wing_installer.h"
#include "resources/resource_ids.h"

const char kStartupClassName[] = "CorvaneStartupDialogClass";
DibImage* StartupImage;
RECT ImageRect;

namespace
{

// Screen pixels a picture pixel takes on each side, set with the layout: more than 1 on a
// high-DPI screen, where Windows leaves the sizing to the program (it declares itself
// DPI-aware). 0 before the layout paints unscaled.
int32_t ImageScale;

// The picture's header, or null when no picture is loaded.
const BITMAPINFOHEADER* PictureHeader()
{
    return StartupImage ? StartupImage->PackedDib : nullptr;
}

// Loads SourceDir + BitmapFile; a path that does not fit its buffer is a failed load.
LRESULT OnCreate()
{
    char path[kPathBufferSize];
    StartupImage = JoinPath(path, sizeof path, SourceDir, BitmapFile) ? LoadDib(path) : nullptr;
    return 0;
}

// Draws the frame one pixel outside ImageRect, then the whole picture at ImageScale.
void PaintPicture(HDC dc, const BITMAPINFOHEADER* header)
{
    const COLORREF colour = GetSysColor(COLOR_WINDOWFRAME);
    const int width = GetSystemMetrics(SM_CXBORDER);
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    HGDIOBJ oldPen = pen ? SelectObject(dc, pen) : nullptr;
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, ImageRect.left - 1, ImageRect.top - 1, ImageRect.right + 1, ImageRect.bottom + 1);
    if (oldPen)
        SelectObject(dc, oldPen);
    if (oldBrush)
        SelectObject(dc, oldBrush);
    if (pen)
        DeleteObject(pen);
    DrawDib(dc, ImageRect.left, ImageRect.top, StartupImage, 0, 0, header->biWidth,
            header->biHeight, ImageScale);
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return 0;
    if (const BITMAPINFOHEADER* header = PictureHeader())
        PaintPicture(dc, header);
    EndPaint(window, &paint);
    return 0;
}

// Realizes the picture's palette in a device context of the window, which then gets its own
// palette back: the system keeps the mapping. The number of entries the system mapped anew, or
// GDI_ERROR when there is no context or the palette could not be realized.
UINT RealizePicturePalette(HWND window)
{
    HDC dc = GetDC(window);
    if (!dc)
        return GDI_ERROR;
    HPALETTE previous = SelectPalette(dc, StartupImage->Palette, FALSE);
    const UINT mapped = RealizePalette(dc);
    if (previous)
        SelectPalette(dc, previous, FALSE);
    ReleaseDC(window, dc);
    return mapped;
}

// The window is being activated: the picture's palette becomes the foreground palette, and
// the picture is painted again when that changed the colours it gets. TRUE when realized.
LRESULT OnQueryNewPalette(HWND window)
{
    if (!PictureHeader())
        return FALSE;
    const UINT mapped = RealizePicturePalette(window);
    if (mapped == GDI_ERROR)
        return FALSE;
    if (mapped != 0)
        InvalidateRect(window, &ImageRect, FALSE);
    return TRUE;
}

// Another window changed the system palette: the picture's palette is realized again (in the
// background unless this window is active) and the picture repainted with the colours left to
// it. A change this window made itself needs nothing.
LRESULT OnPaletteChanged(HWND window, HWND changer)
{
    if (changer == window || !PictureHeader())
        return 0;
    RealizePicturePalette(window);
    InvalidateRect(window, &ImageRect, FALSE);
    return 0;
}

// Frees the picture and forgets it: a palette message that comes later finds no picture.
// The quit message is the window's end-of-run signal, kept for any loop that runs around the
// window; the dialog's own loop leaves it pending, so StartGame takes it out (DropPendingQuit)
// before a box can appear, since a box shown while it is pending returns at once, unseen.
LRESULT OnDestroy()
{
    FreeDib(StartupImage);
    StartupImage = nullptr;
    PostQuitMessage(0);
    return 0;
}

// The picture's scale that today's screen asks for, from its dots per inch.
int ScreenPictureScale(HWND window)
{
    HDC dc = GetDC(window);
    if (!dc)
        return 1;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return PictureScale(dpi);
}

// Sizes and centres the window around the picture, enlarged on a high-DPI screen as far as the
// window still lies within the work area (the desktop less its taskbars), and puts the buttons
// below it.
INT_PTR OnInitDialog(HWND dialog)
{
    StartupDialog = dialog;
    HWND play = GetDlgItem(dialog, IDC_PLAY);
    HWND quit = GetDlgItem(dialog, IDC_QUIT);
    RECT desktop = {}, work = {}, window = {}, client = {}, button = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = desktop;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    GetClientRect(play, &button);
    const LayoutRect d = ToLayout(desktop), w = ToLayout(window), c = ToLayout(client),
                     b = ToLayout(button);

    const BITMAPINFOHEADER* header = PictureHeader();
    const StartupLayout layout =
        header ? LayOutScaledPicture(d, ToLayout(work), w, c, b, header->biWidth, header->biHeight,
                                     ScreenPictureScale(dialog), &ImageScale)
               : LayOutStartupWindowWithoutPicture(d, w, c, b);
    RECT image;
    SetRect(&image, layout.image.left, layout.image.top, layout.image.right, layout.image.bottom);
    CopyRect(&ImageRect, &image);
    SetWindowPos(dialog, nullptr, layout.windowX, layout.windowY, layout.windowWidth,
                 layout.windowHeight, SWP_NOZORDER);
    SetWindowPos(play, nullptr, layout.playLeft, layout.buttonTop, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    SetWindowPos(quit, nullptr, layout.quitLeft, layout.buttonTop, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
    return TRUE;
}

// The whole WPARAM is compared: a notification code in the high half matches nothing.
// Play's check dispatches the window's messages while it waits (for the administrator's
// instance, or in its prompt): the four commands that arrive meanwhile do nothing, so that
// one Play makes one check and nothing ends the dialog under it.
INT_PTR OnCommand(HWND dialog, WPARAM command)
{
    static bool checking;
    switch (command) {
    case IDOK:
    case IDC_PLAY:
        if (checking)
            return TRUE;
        checking = true;
        InstallWinG();
        checking = false;
        EndDialog(dialog, static_cast<INT_PTR>(command));
        return TRUE;
    case IDCANCEL:
    case IDC_QUIT:
        if (!checking)
            EndDialog(dialog, static_cast<INT_PTR>(command));
        return TRUE;
    default:
        return 0;
    }
}

} // namespace

void FillStartupClass(WNDCLASSA* wc, HINSTANCE instance)
{
    ZeroMemory(wc, sizeof *wc);
    wc->style = CS_HREDRAW | CS_VREDRAW;
    wc->lpfnWndProc = StartupWndProc;
    wc->cbWndExtra = DLGWINDOWEXTRA;
    wc->hInstance = instance;
    wc->hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc->hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc->lpszClassName = kStartupClassName;
}

LRESULT CALLBACK StartupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_PAINT:
        return OnPaint(window);
    case WM_QUERYNEWPALETTE:
        return OnQueryNewPalette(window);
    case WM_PALETTECHANGED:
        return OnPaletteChanged(window, reinterpret_cast<HWND>(wParam));
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefDlgProcA(window, message, wParam, lParam);
    }
}

INT_PTR CALLBACK StartupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    default:
        return 0;
    }
}
