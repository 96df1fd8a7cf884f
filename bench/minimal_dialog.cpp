// The baseline of bench_open: the least a program declared as setup.exe is does to show a
// dialog of the installer's size and font, an empty template opened modally.
#include <windows.h>

#include <cstring>

namespace {

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL)
        EndDialog(dialog, 0);
    return message == WM_INITDIALOG;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
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
    return static_cast<int>(DialogBoxIndirectParamW(instance, header, nullptr, dialog_proc, 0));
}
