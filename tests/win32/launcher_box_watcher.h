// Watches for message boxes of this process from a second thread, records what each shows
// and answers it, so that code under test that shows boxes returns. Shared by every
// in-process test that meets a message box.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What the helper thread saw of one message box of this process.
struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    std::vector<int> buttons; // identifiers among IDOK..IDCONTINUE that the box holds
    bool topmost = false;
    bool exclamation = false; // shows the system's exclamation icon
    UINT errorMode = 0;       // the process's error mode while the box was up
};

class BoxWatcher
{
  public:
    // answer(box, index) picks the button to press; without one, the box's first button.
    using Answer = std::function<int(const SeenBox&, size_t)>;

    BoxWatcher() : BoxWatcher(FirstButton) {}
    explicit BoxWatcher(Answer answer) : answer_(std::move(answer)), thread_([this] { Run(); }) {}
    ~BoxWatcher() { Stop(); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Ends the watch and returns the boxes seen, in order.
    std::vector<SeenBox> Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

  private:
    static int FirstButton(const SeenBox& seen, size_t)
    {
        return seen.buttons.empty() ? IDOK : seen.buttons[0];
    }

    static BOOL CALLBACK Find(HWND window, LPARAM param)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (pid == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0 &&
            IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        }
        return TRUE;
    }

    static BOOL CALLBACK FindExclamation(HWND child, LPARAM found)
    {
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            return TRUE;
        HICON shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        if (shown == LoadIconA(nullptr, IDI_EXCLAMATION))
            *reinterpret_cast<bool*>(found) = true;
        return TRUE;
    }

    static UINT CurrentErrorMode()
    {
        UINT mode = SetErrorMode(0);
        SetErrorMode(mode);
        return mode;
    }

    static SeenBox Read(HWND box)
    {
        SeenBox seen;
        char buf[2048] = {};
        GetWindowTextA(box, buf, sizeof buf);
        seen.caption = buf;
        buf[0] = '\0';
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
        seen.text = buf;
        seen.owner = GetWindow(box, GW_OWNER);
        for (int id = IDOK; id <= 11; ++id)
            if (GetDlgItem(box, id))
                seen.buttons.push_back(id);
        seen.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        EnumChildWindows(box, FindExclamation, reinterpret_cast<LPARAM>(&seen.exclamation));
        seen.errorMode = CurrentErrorMode();
        return seen;
    }

    // Answers one box at a time and waits for it to go, so that a box shown again for a
    // retry is seen as a new one.
    void Run()
    {
        HWND last = nullptr;
        while (!stop_) {
            HWND box = nullptr;
            EnumWindows(Find, reinterpret_cast<LPARAM>(&box));
            if (box == nullptr || box == last) {
                Sleep(10);
                continue;
            }
            // Read the box once it shows its text (within 5 s).
            char text[2] = "";
            for (int i = 0; i < 500 && !GetDlgItemTextA(box, 0xFFFF, text, sizeof text); ++i)
                Sleep(10);
            SeenBox seen = Read(box);
            size_t index;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(seen);
                index = boxes_.size() - 1;
            }
            PostMessageA(box, WM_COMMAND, answer_(seen, index), 0);
            for (int i = 0; i < 500 && IsWindow(box); ++i)
                Sleep(10);
            last = IsWindow(box) ? box : nullptr;
        }
    }

    Answer answer_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenBox> boxes_;
    std::thread thread_;
};

// The system's own text for an error code, as FormatMessageA gives it.
inline std::string SystemText(DWORD code)
{
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    return text;
}
