// The startup window built from the real template and class: layout, painting, procedures'
// results and the modal run that WinMain makes.
#include <windows.h>

#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "bitmap/dib.h"
#include "common/globals.h"
#include "resources/resource_ids.h"
#include "startup/layout.h"
#include "startup/startup.h"
#include "demo/bmp_writer.h"
#include "tests/win32/dib_test_support.h"
#include "tests/win32/launcher_box_watcher.h"

namespace
{

HINSTANCE Self()
{
    return GetModuleHandleA(nullptr);
}

void RegisterOnce()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSA wc;
    FillStartupClass(&wc, Self());
    ASSERT_NE(RegisterClassA(&wc), 0);
    done = true;
}

// Sets the picture that WM_CREATE will load: a file in the temporary directory, or none.
void UsePicture(const std::vector<uint8_t>* bytes)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    lstrcpyA(SourceDir, temp);
    lstrcpyA(BitmapFile, "corvane_title.bmp");
    const std::string path = std::string(temp) + BitmapFile;
    DeleteFileA(path.c_str());
    if (!bytes)
        return;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes->data(), DWORD(bytes->size()), &written, nullptr);
    CloseHandle(file);
}

// Handles this thread's messages until none is left and the window and its buttons have
// nothing left to paint: what they show is then final.
void Pump(HWND window)
{
    MSG msg;
    for (;;) {
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            return;
        if (msg.message != WM_QUIT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// A modeless window from template 200, destroyed (and its WM_QUIT taken) at scope end.
struct OpenDialog {
    HWND window = nullptr;
    OpenDialog()
    {
        RegisterOnce();
        window =
            CreateDialogParamA(Self(), MAKEINTRESOURCEA(IDD_STARTUP), nullptr, StartupDlgProc, 0);
        Pump(window);
    }
    ~OpenDialog()
    {
        DestroyWindow(window);
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    RECT Client(int id) const
    {
        RECT r;
        HWND item = GetDlgItem(window, id);
        GetWindowRect(item, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

COLORREF Pixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

COLORREF Rgb(const bmpw::RgbQuad& q)
{
    return RGB(q.red, q.green, q.blue);
}

// "left,top widthxheight": a rectangle's place and size in one comparable value.
std::string Placed(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

TEST(StartupClass, RegistrationRecord)
{
    WNDCLASSA wc;
    memset(&wc, 0xCC, sizeof wc);
    FillStartupClass(&wc, Self());
    EXPECT_EQ(wc.style, UINT(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.lpfnWndProc, StartupWndProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, DLGWINDOWEXTRA);
    EXPECT_EQ(wc.hInstance, Self());
    EXPECT_EQ(wc.hIcon, nullptr);
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(wc.lpszMenuName, nullptr);
    EXPECT_STREQ(wc.lpszClassName, "CorvaneStartupDialogClass");
    EXPECT_STREQ(kStartupClassName, "CorvaneStartupDialogClass");
}

// The worked example on the real window: 640 x 480 desktop, 80 x 28 buttons (40 x 14 dialog
// units in the system font), a one-pixel border, a 420 x 280 picture.
TEST(StartupWindow, LaysOutAroundThePictureAndPaintsFrameAndPicture)
{
    const bmpw::Picture picture = bmpw::MakeTestPicture(420, 280);
    const std::vector<uint8_t> file = bmpw::WritePlainBmp(picture);
    UsePicture(&file);
    OpenDialog dialog;
    ASSERT_NE(dialog.window, nullptr);
    ASSERT_NE(StartupImage, nullptr);
    EXPECT_EQ(StartupDialog, dialog.window);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    ASSERT_EQ(desktop.right, 640);
    ASSERT_EQ(desktop.bottom, 480);

    RECT r;
    GetWindowRect(dialog.window, &r);
    EXPECT_EQ(Placed(r), "97,65 446x350");
    EXPECT_EQ(Placed(ImageRect), "12,12 420x280"); // right 432, bottom 292
    EXPECT_EQ(Placed(dialog.Client(IDC_PLAY)), "81,306 80x28");
    EXPECT_EQ(Placed(dialog.Client(IDC_QUIT)), "283,306 80x28");

    // The frame is the ring one pixel outside the picture; outside it, the background.
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME) & 0xFFFFFF;
    // The dialog manager erases with the dialog's own brush: take the inset's corner.
    const COLORREF background = Pixel(dialog.window, 2, 2);
    ASSERT_NE(frame, background);
    for (POINT p : {POINT{11, 11}, POINT{432, 292}, POINT{11, 150}, POINT{432, 150}, POINT{200, 11},
                    POINT{200, 292}})
        EXPECT_EQ(Pixel(dialog.window, p.x, p.y), frame) << p.x << "," << p.y;
    for (POINT p : {POINT{10, 150}, POINT{433, 150}, POINT{200, 10}, POINT{200, 293}})
        EXPECT_EQ(Pixel(dialog.window, p.x, p.y), background) << p.x << "," << p.y;
    // The whole picture, unscaled, top-left corner at (12, 12); the palette messages, answered
    // on this true-colour screen, change none of it.
    const struct {
        int x, y;
    } corners[] = {{0, 0}, {419, 0}, {0, 279}, {419, 279}, {210, 140}};
    for (UINT message : {0u, unsigned(WM_QUERYNEWPALETTE), unsigned(WM_PALETTECHANGED)}) {
        SendMessageA(dialog.window, message, WPARAM(GetDesktopWindow()), 0);
        Pump(dialog.window);
        for (const auto& c : corners) {
            const bmpw::RgbQuad q = picture.palette[picture.pixels[size_t(c.y) * 420 + c.x]];
            EXPECT_EQ(Pixel(dialog.window, 12 + c.x, 12 + c.y), Rgb(q))
                << c.x << "," << c.y << " after " << message;
        }
    }
    // WM_DESTROY frees the picture and forgets it: a palette message after it finds none.
    DestroyWindow(dialog.window);
    EXPECT_EQ(StartupImage, nullptr);
    EXPECT_EQ(StartupWndProc(dialog.window, WM_QUERYNEWPALETTE, 0, 0), FALSE);
}

// On a 256-colour screen (a palette device) the window realizes the picture's palette again
// when it is activated and when another window changed the system palette. The test
// "palette_screen" runs this under an 8-bit display; other screens skip it.
TEST(StartupWindow, PaletteMessagesOnA256ColourScreen)
{
    HDC screen = GetDC(nullptr);
    const bool paletteScreen = GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE;
    ReleaseDC(nullptr, screen);
    if (!paletteScreen)
        GTEST_SKIP() << "not a palette screen";
    const std::vector<uint8_t> file = bmpw::WritePlainBmp(bmpw::MakeTestPicture(420, 280));
    UsePicture(&file);
    OpenDialog dialog;
    HWND w = dialog.window;
    ASSERT_NE(StartupImage, nullptr);
    // A palette that was reset is mapped anew when it is realized next.
    ASSERT_TRUE(UnrealizeObject(StartupImage->Palette));
    // The answer to a message and what it left to repaint.
    auto answer = [w](UINT message, HWND changer) {
        ValidateRect(w, nullptr);
        const LRESULT result = SendMessageA(w, message, WPARAM(changer), 0);
        RECT r;
        return std::to_string(result) + " " + (GetUpdateRect(w, &r, FALSE) ? Placed(r) : "none");
    };
    const std::string picture = Placed(ImageRect);
    EXPECT_EQ(answer(WM_QUERYNEWPALETTE, nullptr), "1 " + picture);
    EXPECT_EQ(answer(WM_QUERYNEWPALETTE, nullptr), "1 none"); // nothing mapped anew
    EXPECT_EQ(answer(WM_PALETTECHANGED, w), "0 none");        // its own change
    EXPECT_EQ(answer(WM_PALETTECHANGED, GetDesktopWindow()), "0 " + picture);
}

// Without a picture the window still opens, both buttons stand whole inside it and no frame
// is drawn.
TEST(StartupWindow, WithoutPictureShowsBothButtonsAndNoFrame)
{
    UsePicture(nullptr);
    OpenDialog dialog;
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(StartupImage, nullptr);
    RECT client;
    GetClientRect(dialog.window, &client);
    const RECT play = dialog.Client(IDC_PLAY), quit = dialog.Client(IDC_QUIT);
    EXPECT_GE(play.left, 0);
    EXPECT_LE(play.right, quit.left);
    EXPECT_LE(quit.right, client.right);
    EXPECT_GE(play.top, 0);
    EXPECT_LE(play.bottom, client.bottom);
    EXPECT_EQ(play.top, quit.top);
    const COLORREF background = Pixel(dialog.window, 2, 2);
    ASSERT_NE(background, GetSysColor(COLOR_WINDOWFRAME) & 0xFFFFFF);
    EXPECT_EQ(Pixel(dialog.window, ImageRect.left - 1, ImageRect.top - 1), background);
    EXPECT_EQ(Pixel(dialog.window, ImageRect.left + 5, ImageRect.top - 1), background);
}

// A picture path longer than its buffer: the window opens without a picture, though one lies
// where the join cut to 259 characters would point. The file reader's OpenFile opens no path of
// 128 characters or more, so a cut join would find nothing either; the path join's own tests
// show that it is refused.
TEST(StartupWindow, PicturePathTooLongOpensWithoutPicture)
{
    const std::string temp = TempFilePath(""), dir = temp + std::string(250 - temp.size(), 'd');
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string cut = WriteTempFile(dir.substr(temp.size()) + "\\title_pi", // 259 long
                                          bmpw::WritePlainBmp(bmpw::MakeTestPicture(40, 30)));
    lstrcpyA(SourceDir, (dir + "\\").c_str());
    lstrcpyA(BitmapFile, "title_picture.bmp");
    {
        OpenDialog dialog;
        ASSERT_NE(dialog.window, nullptr);
        EXPECT_EQ(StartupImage, nullptr);
    }
    DeleteFileA(cut.c_str());
    RemoveDirectoryA(dir.c_str());
}

// Handled messages return 0; everything else returns exactly what DefDlgProcA returns.
TEST(StartupWindow, ProceduresReturnValues)
{
    UsePicture(nullptr);
    OpenDialog dialog;
    HWND w = dialog.window;
    const LRESULT defId = DefDlgProcA(w, DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defId), IDC_PLAY);
    EXPECT_EQ(StartupWndProc(w, DM_GETDEFID, 0, 0), defId);
    EXPECT_EQ(StartupWndProc(w, WM_GETDLGCODE, 0, 0), DefDlgProcA(w, WM_GETDLGCODE, 0, 0));
    InvalidateRect(w, nullptr, TRUE);
    EXPECT_EQ(StartupWndProc(w, WM_PAINT, 0, 0), 0);
    // Without a picture there is no palette to realize.
    EXPECT_EQ(StartupWndProc(w, WM_QUERYNEWPALETTE, 0, 0), FALSE);
    EXPECT_EQ(StartupWndProc(w, WM_PALETTECHANGED, WPARAM(GetDesktopWindow()), 0), 0);

    // Commands other than the four, and the four with a notification code, end nothing.
    const WPARAM ignored[] = {0,
                              3,
                              300,
                              303,
                              MAKEWPARAM(IDC_PLAY, 1),
                              MAKEWPARAM(IDOK, 1),
                              MAKEWPARAM(IDC_QUIT, BN_SETFOCUS),
                              MAKEWPARAM(IDCANCEL, 0x8000)};
    for (WPARAM command : ignored)
        EXPECT_EQ(StartupDlgProc(w, WM_COMMAND, command, 0), 0) << command;
    EXPECT_EQ(StartupDlgProc(w, WM_SIZE, 0, 0), 0);
    EXPECT_EQ(StartupDlgProc(w, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(StartupDlgProc(w, WM_INITDIALOG, 0, 0), TRUE);
    EXPECT_TRUE(IsWindow(w));
    EXPECT_TRUE(IsWindowEnabled(w));
    EXPECT_EQ(StartupDlgProc(w, WM_COMMAND, IDC_QUIT, 0), TRUE);
}

struct ModalCase {
    const char* rule;
    std::vector<std::pair<UINT, WPARAM>> posted; // to the dialog (WM_COMMAND) or to Play
    INT_PTR result;
};

// The modal run as WinMain makes it: the first of the four commands ends the dialog with
// its identifier; the dialog manager turns Escape into IDCANCEL and Enter into Play.
TEST(StartupWindow, ModalRunEndsWithTheCommandsIdentifier)
{
    RegisterOnce();
    UsePicture(nullptr);
    const ModalCase cases[] = {
        {"Play", {{WM_COMMAND, IDC_PLAY}}, IDC_PLAY},
        {"Quit", {{WM_COMMAND, IDC_QUIT}}, IDC_QUIT},
        {"IDOK", {{WM_COMMAND, IDOK}}, IDOK},
        {"IDCANCEL", {{WM_COMMAND, IDCANCEL}}, IDCANCEL},
        {"notification code ignored",
         {{WM_COMMAND, MAKEWPARAM(IDC_PLAY, 1)}, {WM_COMMAND, 303}, {WM_COMMAND, IDC_QUIT}},
         IDC_QUIT},
        {"Escape", {{WM_KEYDOWN, VK_ESCAPE}}, IDCANCEL},
        {"Enter", {{WM_KEYDOWN, VK_RETURN}}, IDC_PLAY},
    };
    for (const ModalCase& c : cases) {
        SCOPED_TRACE(c.rule);
        std::thread user([&c] {
            HWND dialog = nullptr;
            for (int i = 0; i < 500 && !dialog; ++i, Sleep(10))
                dialog = FindWindowA(kStartupClassName, nullptr);
            for (const auto& [message, wParam] : c.posted) {
                HWND target = message == WM_COMMAND ? dialog : GetDlgItem(dialog, IDC_PLAY);
                PostMessageA(target, message, wParam, 0);
                Sleep(30);
            }
        });
        StartupDialog = nullptr;
        BoxWatcher installerPrompts; // Play may ask about wing32.dll: answered Cancel
        const INT_PTR result =
            DialogBoxParamA(Self(), MAKEINTRESOURCEA(IDD_STARTUP), nullptr, StartupDlgProc, 0);
        user.join();
        installerPrompts.Stop();
        EXPECT_EQ(result, c.result);
        EXPECT_NE(StartupDialog, nullptr);
        EXPECT_FALSE(IsWindow(StartupDialog));
        // WM_DESTROY posted the quit message with code 0.
        MSG msg;
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(msg.wParam, 0u);
    }
}

} // namespace
