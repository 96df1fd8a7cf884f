// Starts the real setup.exe, finds its dialog and message boxes from outside, works them like a person.
#pragma once
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "support/files.h"
#include "support/pixels.h"

namespace e2e {

constexpr int MAIN_FIELD = 101, CLIENT_FIELD = 102, STATUS_LINE = 103, BOX_TEXT = 0xFFFF;

const char COPY_FAILED[] = "Errore nella copia del file %s.\nVerificare l'esistenza del file.";
const char DONE[] = "Installazione terminata con successo.\n\nUtilizzare il collegamento creato sul Desktop per l'attivazione di VORAN.";
const char EXISTS[] = "Attenzione! Il percorso CLIENT indicato gia' esiste.\n Vuoi effettuare l'aggiornamento?";
const char KEPT[] = "Attenzione! Non e' stato possibile ripristinare il file %s.\nLa versione precedente e' conservata come %s.";
// The client files, in the order of the copies.
const char* const CLIENT_FILES[] = {"VORAN.INI", "IM31BMP.DIL", "IM31JPG.DIL", "IMGMAN31.DLL", "IMAGE2PDF.DLL",
                                    "VORAN.EXE", "VORAN.HLP", "VORAN.CHM", "IDE21201.VXD"};

// Polls `done` every 20 ms until it holds or `timeout_ms` has passed.
inline bool wait_until(const std::function<bool()>& done, DWORD timeout_ms = 10000) {
    for (const ULONGLONG end = GetTickCount64() + timeout_ms; !done(); Sleep(20))
        if (GetTickCount64() >= end)
            return false;
    return true;
}

// Text of a window of another process; empty when it does not answer.
inline std::string window_text(HWND window) {
    char text[1024] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// What a message box says, "caption: text"; and what the program's box says with `format`.
inline std::string box_says(HWND box) { return box ? window_text(box) + ": " + window_text(GetDlgItem(box, BOX_TEXT)) : "no message box"; }
inline std::string says(const char* format, const std::string& a = "", const std::string& b = "") {
    char text[1024];
    std::snprintf(text, sizeof text, format, a.c_str(), b.c_str());
    return std::string("setup: ") + text;
}

// Pixels of `colour` in a button's label area (right of the glyph, inside the edges) on the screen.
inline int label_ink(HWND button, pixels::Rgb colour) {
    RECT r;
    GetWindowRect(button, &r);
    pixels::Canvas canvas(r.right - r.left, r.bottom - r.top);
    return canvas.copy_from(owndraw::guard::WindowDC(nullptr).get(), r.left, r.top), pixels::find_ink(canvas, colour, 24, canvas.width - 2, 1, canvas.height - 1).count;
}

// Where `control` lies in the client area of `dialog`.
inline RECT client_rect(HWND dialog, HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
// The client area of `window` as the screen shows it.
inline void capture(HWND window, pixels::Canvas* canvas) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    canvas->copy_from(owndraw::guard::WindowDC(nullptr).get(), origin.x, origin.y);
}
// The desktop's VORAN4.LNK.
inline std::string desktop_link() {
    char desktop[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    return desktop + std::string("\\VORAN4.LNK");
}

using test::windows_path;

// One run of setup.exe (or of `program` with `arguments`); a process still alive at the end is killed.
struct Program {
    PROCESS_INFORMATION process{};
    HWND dialog = nullptr; // its main window

    explicit Program(const std::string& program = SETUP_EXE, const std::string& arguments = "") {
        std::string exe = windows_path(program), line = "\"" + exe + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process))
            wait_until([&] { return (dialog = find(true)) != nullptr || !running(); });
    }
    ~Program() {
        TerminateProcess(process.hProcess, 0xDEAD), WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hThread), CloseHandle(process.hProcess);
    }
    bool running() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }
    // A visible window of the program: its main window (setup.exe's has the main path field) or a message box.
    HWND find(bool main_window) const {
        std::pair<bool, HWND> search{main_window, nullptr};
        EnumThreadWindows(process.dwThreadId, [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<std::pair<bool, HWND>*>(param);
            char name[16] = "";
            GetClassNameA(window, name, sizeof name);
            const bool box = lstrcmpA(name, "#32770") == 0 && GetDlgItem(window, MAIN_FIELD) == nullptr;
            const bool wanted = IsWindowVisible(window) && box != s->first;
            s->second = wanted ? window : nullptr;
            return !wanted;
        }, reinterpret_cast<LPARAM>(&search));
        return search.second;
    }
    HWND control(int id) const { return GetDlgItem(dialog, id); }
    std::string text(int id) const { return window_text(control(id)); }
    // UTF-8 text, set as wide text: it may hold characters the ANSI code page lacks.
    void set_text(int id, const std::string& text) const {
        std::wstring wide(text.size() + 1, L'\0');
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], int(wide.size())));
        SendMessageW(control(id), WM_SETTEXT, 0, LPARAM(wide.c_str()));
    }
    void type(int id, const std::string& text) const {
        set_text(id, "");
        for (char c : text)
            SendMessageA(control(id), WM_CHAR, WPARAM(c), 1);
    }
    // Posted, not sent: the installation runs inside the click and shows modal boxes.
    void press(int id) const { PostMessageA(control(id), BM_CLICK, 0, 0); }
    void key(WPARAM vk) const { PostMessageA(focus(), WM_KEYDOWN, vk, 1), PostMessageA(focus(), WM_KEYUP, vk, 0xC0000001); }
    HWND focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(process.dwThreadId, &info) ? info.hwndFocus : nullptr;
    }
    HWND wait_box(DWORD timeout_ms = 10000) const {
        HWND box = nullptr;
        wait_until([&] { return (box = find(false)) != nullptr || !running(); }, timeout_ms);
        return box;
    }
    // What a message box offers as a person sees it: its visible buttons' ids, then its system icon (or "no icon").
    static std::string box_look(HWND box) {
        std::string look, icon = "no icon";
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[16] = "";
            GetClassNameA(child, name, sizeof name);
            if (IsWindowVisible(child) && lstrcmpiA(name, "Button") == 0)
                look += std::to_string(GetDlgCtrlID(child)) + " ";
            RECT r;
            POINT at{0, 0};
            if (!IsWindowVisible(child) || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON || !GetClientRect(child, &r) || !ClientToScreen(child, &at) || r.right < 2)
                continue;
            pixels::Canvas shown(r.right, r.bottom), drawn(r.right, r.bottom);
            shown.copy_from(owndraw::guard::WindowDC(nullptr).get(), at.x, at.y);
            const std::pair<LPCSTR, const char*> icons[] = {{IDI_EXCLAMATION, "exclamation"}, {IDI_INFORMATION, "information"}, {IDI_QUESTION, "question"}, {IDI_ERROR, "error"}};
            for (const auto& [id, icon_name] : icons) {
                drawn.fill(shown.at(0, 0));  // the corner shows the background through the icon
                DrawIconEx(drawn.dc.get(), 0, 0, LoadIconA(nullptr, id), r.right, r.bottom, 0, nullptr, DI_NORMAL);
                bool same = true;
                for (int i = 0; same && i < r.right * r.bottom; ++i)
                    same = shown.at(i % r.right, i / r.right) == drawn.at(i % r.right, i / r.right);
                icon = same ? icon_name : icon;
            }
        }
        return look + icon;
    }
    bool answer(HWND box, int button) const {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), LPARAM(GetDlgItem(box, button)));
        return wait_until([box] { return !IsWindowVisible(box); });
    }
    // The program's exit code; STILL_ACTIVE when it has not ended within 10 s.
    DWORD exit_code() const { DWORD code = WaitForSingleObject(process.hProcess, 10000); return GetExitCodeProcess(process.hProcess, &code), code; }
};

} // namespace e2e
