#include "common/error_boxes.h"

#include "resources/resource_ids.h"

namespace
{

// Without an owner a box leaves the startup window enabled; task-modal, it disables the
// thread's windows while it is up, so that Play or Quit cannot be pressed behind it.
constexpr UINT kBoxStyle = MB_OK | MB_ICONERROR | MB_TASKMODAL;

} // namespace

const char kErrorCaption[] = "Error";

void ShowSystemError()
{
    const DWORD code = GetLastError();
    char text[kBoxTextSize];
    // Inserts stay as they stand: no argument list is ever read.
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, kBoxTextSize, nullptr);
    // No system text (unknown code, or one longer than the area): name the code instead.
    if (length == 0)
        wsprintfA(text, "System error %lu.", static_cast<unsigned long>(code));
    ShowErrorBox(text);
}

void ShowErrorBox(const char* text)
{
    MessageBoxA(nullptr, text, kErrorCaption, kBoxStyle);
}

void ShowPathTooLong()
{
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    ShowSystemError();
}

void ShowStringMessage(HINSTANCE instance, UINT message)
{
    char caption[kBoxTextSize];
    char text[kBoxTextSize];
    const int captionLength = LoadStringA(instance, IDS_CAPTION, caption, kBoxTextSize);
    const int textLength = LoadStringA(instance, message, text, kBoxTextSize);
    if (captionLength > 0 && textLength > 0)
        MessageBoxA(nullptr, text, caption, kBoxStyle);
}
