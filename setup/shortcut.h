// The desktop shortcut to the client program.
#pragma once
#include <windows.h>

// Size of the desktop folder buffer (the registry value's limit, terminator included).
constexpr DWORD DESKTOP_FOLDER_SIZE = 260;

// Reads the current user's desktop folder from the registry into `buffer`
// (DESKTOP_FOLDER_SIZE bytes). Returns 0 when the key was opened, -1 otherwise
// (the buffer is then untouched).
int read_desktop_folder(char* buffer);
// Saves a shell link at `link_path` to `target` with `description` and `working_folder`.
// Returns the save's HRESULT, or the failing creation or query code.
HRESULT create_shortcut(const char* target, const char* link_path, const char* description,
                        const char* working_folder);
