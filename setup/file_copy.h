// Path joining and the copy of one client file.
#pragma once
#include <windows.h>
#include <cstddef>

#include "owndraw/primitives/text.h"

// Files are copied in chunks of at most this many bytes (0xFF00).
constexpr unsigned COPY_CHUNK_MAX = 65280;
// Path buffers of the copies: a joined path holds at most 251 characters.
constexpr size_t JOINED_PATH_SIZE = 252;

// out := folder (trailing spaces trimmed) + "\" + name (trailing spaces trimmed).
// Cut at out_size - 1 characters; returns false when the joined path did not fit.
bool join_path(const char* folder, const char* name, char* out, size_t out_size);
// Copies the bytes of `source` into `fresh`, a name of the caller's (created, or emptied when
// it exists), flushed to the disk first when `flush`. Returns 0 or an errno value; on failure
// `fresh` is deleted.
int copy_to_new_file(const char* source, const char* fresh, bool flush);
// Writes what the system holds of an existing file to the disk. Returns 0 or an errno value.
int flush_file(const char* path);
// 0 when `target` is absent or can be replaced; 13 when it is read-only, a folder, or held by
// a program that does not share its deletion.
int check_replaceable(const char* target);
// Moves `fresh` over `target` in one step that replaces it, written through to the disk.
// Returns 0, 13 when the target cannot be replaced (check_replaceable), 28 on a full disk.
int replace_file(const char* fresh, const char* target);
// Copies the bytes of `source` to `target`: into a temporary file beside it, flushed, then
// moved over it, so that `target` only ever holds the previous file or the whole new one.
// Returns 0 or an errno value (2 missing source or folder, 13 target read-only or in use,
// 28 disk full). On failure no temporary file is left behind and the target is unchanged.
int copy_one_file(const char* source, const char* target);
// Shows the copy failure message for `code` naming `source`.
void report_copy_failure(HWND dialog, int code, const char* source);
