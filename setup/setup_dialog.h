// The invisible main window and the installation dialog.
#pragma once
#include <windows.h>

// Private message that opens the installation dialog; wParam must be SETUP_OPEN_CODE.
constexpr UINT WM_SETUP_OPEN = WM_USER + 1;
constexpr WPARAM SETUP_OPEN_CODE = 1400;

// The main window, stored once its creation call returns. The dialog is opened while
// the window is still being created, so it is null then and the dialog has no owner.
extern HWND main_window;

// The background picture, loaded when the dialog initialises and kept until the end.
extern HBITMAP background_bitmap;

// Registers the main window's class, app_name; false when the system refuses it.
bool register_main_class(HINSTANCE instance);
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
void init_setup_dialog(HWND dialog);
void centre_window(HWND window);
void set_control_style(HWND dialog, int control_id, LONG style);
