// Process-wide state of the installer, set once at entry, and the hardening that runs first.
#pragma once
#include <windows.h>

// The module whose resources (dialog, icon, bitmaps, strings) are loaded.
extern HINSTANCE app_instance;
// "setup": the main window class name and the caption of every message box.
extern char app_name[16];

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
// SetDefaultDllDirectories from kernel32, or nullptr where the system lacks it.
SetDefaultDllDirectoriesFunction find_set_default_dll_directories();
// Keeps DLLs planted beside the program or in the current folder from being loaded:
// system folder only through `set_default_dll_directories`; without it (or when it
// refuses), the current folder leaves the search and the safe search order is set.
// Returns true when the search was limited to the system folder.
bool restrict_dll_search(SetDefaultDllDirectoriesFunction set_default_dll_directories);
