// Watches for message boxes of this process from a second thread, records what each shows
// and dismisses it with its first button, so that code under test that shows boxes returns.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenBox {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    std::vector<int> buttons; // identifiers among IDOK..IDCONTINUE that the box holds
    bool topmost = false;
};

class BoxWatcher
{
  public:
    BoxWatcher() : thread_([this] { Run(); }) {}
    ~BoxWatcher() { Stop(); }

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

    void Run()
    {
        HWND last = nullptr;
        while (!stop_) {
            HWND box = nullptr;
            EnumWindows(Find, reinterpret_cast<LPARAM>(&box));
            if (box && box != last) {
                SeenBox seen;
                char buf[512] = {};
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
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    boxes_.push_back(seen);
                }
                last = box;
                PostMessageA(box, WM_COMMAND, seen.buttons.empty() ? IDOK : seen.buttons[0], 0);
            }
            Sleep(20);
        }
    }

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
