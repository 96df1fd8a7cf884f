// Process-wide state of the installer, set once at entry.
#pragma once
#include <windows.h>

// The module whose resources (dialog, icon, bitmaps, strings) are loaded.
extern HINSTANCE app_instance;
// "setup": the main window class name and the caption of every message box.
extern char app_name[16];
