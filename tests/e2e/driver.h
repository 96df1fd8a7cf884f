// The end-to-end driver: starts the real setup.exe, finds its dialog and message boxes from
// outside, works them like a person and reads what the screen shows.
#pragma once
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include "owndraw/gdi_guards.h"
#include "support/files.h"
#include "support/pixels.h"

namespace e2e {

constexpr int MAIN_FIELD = 101, CLIENT_FIELD = 102, STATUS_LINE = 103;
constexpr DWORD WAIT_MS = 10000;

// Polls `done` every 20 ms until it holds or `timeout_ms` has passed.
inline bool wait_until(const std::function<bool()>& done, DWORD timeout_ms = WAIT_MS)
{
    for (const ULONGLONG end = GetTickCount64() + timeout_ms; !done(); Sleep(20))
        if (GetTickCount64() >= end)
            return false;
    return true;
}

// Text of a window of another process; empty when it does not answer.
inline std::string window_text(HWND window)
{
    char text[1024] = "";
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
    return text;
}

// A Unix path is reached through Wine's Z: drive.
inline std::string windows_path(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

// One run of setup.exe; a process still alive at the end is killed.
struct Program {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;

    Program()
    {
        const std::string exe = windows_path(SETUP_EXE);
        std::string line = "\"" + exe + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process))
            wait_until([&] { return (dialog = find(true)) != nullptr || !running(); });
    }
    ~Program()
    {
        if (running())
            TerminateProcess(process.hProcess, 0xDEAD);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    bool running() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    // A visible dialog-class window of the process: the installation dialog (it has the main
    // path field) or a message box.
    HWND find(bool installation_dialog) const
    {
        struct Search { DWORD pid; bool dialog; HWND found; } search{process.dwProcessId, installation_dialog, nullptr};
        EnumWindows([](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            char name[16] = "";
            GetWindowThreadProcessId(window, &pid);
            GetClassNameA(window, name, sizeof name);
            if (pid != s->pid || !IsWindowVisible(window) || lstrcmpA(name, "#32770") != 0 ||
                (GetDlgItem(window, MAIN_FIELD) != nullptr) != s->dialog)
                return TRUE;
            s->found = window;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    HWND control(int id) const { return GetDlgItem(dialog, id); }
    std::string text(int id) const { return window_text(control(id)); }
    void set_text(int id, const std::string& text) const
    {
        SendMessageTimeoutA(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 2000, nullptr);
    }
    // Posted, not sent: the installation runs inside the click and shows modal boxes.
    void press(int id) const { PostMessageA(control(id), BM_CLICK, 0, 0); }
    void key(WPARAM vk) const
    {
        HWND target = focus() ? focus() : dialog;
        PostMessageA(target, WM_KEYDOWN, vk, 1);
        PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    }
    HWND focus() const
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ? info.hwndFocus : nullptr;
    }
    HWND wait_box(DWORD timeout_ms = WAIT_MS) const
    {
        HWND box = nullptr;
        wait_until([&] { return (box = find(false)) != nullptr || !running(); }, timeout_ms);
        return box;
    }
    bool answer(HWND box, int button) const
    {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
        return wait_until([box] { return !IsWindowVisible(box); });
    }
    DWORD exit_code() const
    {
        DWORD code = 0xFFFF;
        if (WaitForSingleObject(process.hProcess, WAIT_MS) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
};

// Pixels of `colour` in a button's label area (right of the glyph, inside the edges) as the
// screen shows them.
inline int label_ink(HWND button, pixels::Rgb colour)
{
    RECT r;
    GetWindowRect(button, &r);
    pixels::Canvas canvas(r.right - r.left, r.bottom - r.top);
    guard::WindowDC screen(nullptr);
    canvas.copy_from(screen.get(), r.left, r.top);
    return pixels::find_ink(canvas, colour, 24, canvas.width - 2, 1, canvas.height - 1).count;
}

// The shortcut's target, working folder and description, as one text; empty when unreadable.
inline std::string read_shortcut(const std::string& link)
{
    CoInitialize(nullptr);
    guard::Com<IShellLinkA> shell_link;
    guard::Com<IPersistFile> file;
    wchar_t wide[MAX_PATH] = L"";
    char target[MAX_PATH] = "", folder[MAX_PATH] = "", description[MAX_PATH] = "";
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shell_link.out())) ||
        FAILED(shell_link->QueryInterface(IID_IPersistFile, file.out())) || FAILED(file->Load(wide, STGM_READ)))
        return {};
    shell_link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
    shell_link->GetWorkingDirectory(folder, MAX_PATH);
    shell_link->GetDescription(description, MAX_PATH);
    return std::string(target) + " | " + folder + " | " + description;
}

} // namespace e2e
