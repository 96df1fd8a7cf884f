// Helpers of the in-process tests: the program's resources, scratch folders, and a
// watcher that reads and answers this process's message boxes.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "setup/app.h"
#include "support/files.h"

namespace test {

inline void use_own_resources()
{
    app_instance = GetModuleHandleA(nullptr);
}

// A fresh folder under the temporary folder, removed with everything in it at scope exit.
struct ScratchFolder {
    std::string path;
    explicit ScratchFolder(const char* tag)
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "cs-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(GetTickCount());
        remove_tree(path);
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~ScratchFolder()
    {
        // Leave the folder first: the current directory cannot be removed.
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        SetCurrentDirectoryA(temp);
        remove_tree(path);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
};

struct SeenBox {
    std::string caption;
    std::string text;
    bool has_yes_no = false;
};

inline std::string window_text(HWND wnd)
{
    char text[1024] = "";
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

// Runs `action` on this thread while a watcher thread answers every message box that this
// process shows, pressing the buttons of `answers` in turn (IDOK once they run out).
// Returns what the boxes said, in order.
inline std::vector<SeenBox> with_message_boxes(const std::function<void()>& action, std::vector<int> answers = {})
{
    std::vector<SeenBox> seen;
    std::atomic<bool> done{false};
    std::thread watcher([&] {
        std::vector<HWND> answered;
        size_t next = 0;
        while (!done) {
            struct Find { DWORD pid; HWND box; const std::vector<HWND>* skip; } find{GetCurrentProcessId(), nullptr, &answered};
            EnumWindows([](HWND wnd, LPARAM lp) -> BOOL {
                auto* f = reinterpret_cast<Find*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(wnd, &pid);
                char cls[16] = "";
                GetClassNameA(wnd, cls, sizeof cls);
                if (pid != f->pid || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(wnd) ||
                    GetDlgItem(wnd, 0xFFFF) == nullptr)
                    return TRUE;
                for (HWND h : *f->skip)
                    if (h == wnd)
                        return TRUE;
                f->box = wnd;
                return FALSE;
            }, reinterpret_cast<LPARAM>(&find));
            if (find.box != nullptr) {
                SeenBox box;
                box.caption = window_text(find.box);
                box.text = window_text(GetDlgItem(find.box, 0xFFFF));
                box.has_yes_no = GetDlgItem(find.box, IDYES) != nullptr && GetDlgItem(find.box, IDNO) != nullptr;
                seen.push_back(box);
                const int button = next < answers.size() ? answers[next++] : IDOK;
                answered.push_back(find.box);
                PostMessageA(find.box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(find.box, button)));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    action();
    done = true;
    watcher.join();
    return seen;
}

} // namespace test
