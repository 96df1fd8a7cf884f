// The baselines of bench_open: the least a program declared as setup.exe is does to show the
// installer's own dialog template (its controls as plain ones), opened modally; with
// "--empty", a dialog of the same size and font without controls, which leaves out even the
// platform's work for the controls.
#include <windows.h>

#include <cstring>

#include "setup/resource_ids.h"

namespace {

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL)
        EndDialog(dialog, 0);
    return message == WM_INITDIALOG;
}

INT_PTR empty_dialog(HINSTANCE instance)
{
    // DLGTEMPLATE, then no menu, the default class, an empty title, and the font: 8 points,
    // "MS Sans Serif", as the installer's template has; no controls.
    alignas(DWORD) WORD words[64] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words);
    header->style = WS_POPUP | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT;
    header->cx = 397;
    header->cy = 291;
    WORD* at = reinterpret_cast<WORD*>(header + 1);
    at += 3; // menu, class, title: none
    *at++ = 8;
    const wchar_t face[] = L"MS Sans Serif";
    std::memcpy(at, face, sizeof face);
    return DialogBoxIndirectParamW(instance, header, nullptr, dialog_proc, 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int)
{
    if (std::strstr(command_line, "--empty"))
        return static_cast<int>(empty_dialog(instance));
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETUP), nullptr, dialog_proc, 0));
}
