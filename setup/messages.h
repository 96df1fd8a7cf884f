// Message texts from the string table and the message boxes that show them.
#pragma once
#include <windows.h>

// Receives every text loaded by load_message; each load overwrites it.
extern char message_buffer[256];

// Loads string `id` (its low 16 bits) from the program's string table into
// message_buffer, cut at 255 characters, and returns message_buffer.
char* load_message(UINT id);
// Loads message `id`, formats it printf-style with the arguments that follow into a
// 512-byte buffer and shows it in a message box owned by `dialog`, caption app_name.
// Returns the button the user pressed.
int show_message(HWND dialog, UINT id, UINT style, ...);
