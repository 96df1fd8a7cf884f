// Path joining and the copy of one client file.
#pragma once
#include <windows.h>
#include <cstddef>

#include "owndraw/primitives/text.h"

// Files are copied in chunks of at most this many bytes (0xFF00).
constexpr unsigned COPY_CHUNK_MAX = 65280;
// Source and target path buffers of install_file: at most 251 characters.
constexpr size_t JOINED_PATH_SIZE = 252;

// out := folder (trailing spaces trimmed) + "\" + name (trailing spaces trimmed).
// Cut at out_size - 1 characters; returns false when the joined path did not fit.
bool join_path(const char* folder, const char* name, char* out, size_t out_size);
// Copies the bytes of `source` to `target`, replacing an existing target.
// Returns 0 or an errno value (2 missing source, 13 target not deletable, 28 disk full).
// On failure no partial target is left behind.
int copy_one_file(const char* source, const char* target);
// Copies main_path\name to client_path\name; on failure shows message 2000 (disk full)
// or 2001 naming the source, and returns the error number.
int install_file(HWND dialog, const char* name, const char* main_path, const char* client_path);
// Shows the copy failure message for `code` naming `source`.
void report_copy_failure(HWND dialog, int code, const char* source);
