// Entry point of the VORAN client installer.
#include <windows.h>

#include "setup/app.h"
#include "setup/setup_dialog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int)
{
    // A downloaded setup.exe must never load DLLs planted beside it: from here on,
    // libraries come from the system folder only.
    restrict_dll_search(find_set_default_dll_directories());

    app_instance = instance;

    if (previous == nullptr && !register_main_class(instance))
        return 0;

    // The installation dialog runs inside this call; the window itself is never shown.
    HWND window = CreateWindowExA(0, app_name, "Setup 4.2", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    main_window = window;
    if (window == nullptr)
        return 0;

    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
