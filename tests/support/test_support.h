// Helpers shared by the in-process tests: scratch folders, whole-file reads and
// writes, and a watcher that reads and answers this process's message boxes.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "setup/app.h"

namespace test {

inline void use_own_resources()
{
    app_instance = GetModuleHandleA(nullptr);
}

inline bool write_file(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

inline bool read_file(const std::string& path, std::string* bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes->append(chunk, got);
    CloseHandle(h);
    return true;
}

inline bool exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Bytes that differ from position to position, so that a shifted or repeated chunk shows.
inline std::string pattern_bytes(size_t size, unsigned seed = 1)
{
    std::string s(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        s[i] = static_cast<char>(x >> 16);
    }
    return s;
}

// Every file of a folder (not recursive) with its bytes.
inline std::map<std::string, std::string> snapshot(const std::string& folder)
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return files;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string bytes;
        read_file(folder + "\\" + fd.cFileName, &bytes);
        files[fd.cFileName] = bytes;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return files;
}

inline void remove_tree(const std::string& folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
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
