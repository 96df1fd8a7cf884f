// The installation procedure run by the Conferma button.
#pragma once
#include <windows.h>

// Checks the two paths, prepares the client folder, copies the client files,
// writes the configuration keys and the desktop shortcut. Returns TRUE after a
// completed installation (the dialog has then been ended), FALSE when it stopped.
BOOL run_installation(HWND dialog);

// Current drive as a number (1 = A); 0 when the current directory has no drive letter.
int get_current_drive();
// Makes drive `drive` (1 = A) current; 0 on success, -1 on failure.
int set_current_drive(int drive);
