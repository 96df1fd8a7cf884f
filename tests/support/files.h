// Files as the tests see them: whole-file reads and writes, folder snapshots compared
// byte for byte, and deterministic test bytes.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace test {

// Name -> bytes of one folder's files; subfolders appear as "name\" with empty content.
using Snapshot = std::map<std::string, std::string>;

bool file_exists(const std::string& path);
bool folder_exists(const std::string& path);
bool write_file(const std::string& path, const std::string& bytes);
// The whole file; `ok` tells whether it could be read.
std::string read_file(const std::string& path, bool* ok = nullptr);
// Removes a file or a folder with everything in it (read-only attributes cleared first).
void remove_tree(const std::string& path);
// Every file and folder below `folder`, with relative names; empty when it is missing.
Snapshot snapshot(const std::string& folder);
// Names that differ between two snapshots, for failure messages.
std::string describe_difference(const Snapshot& before, const Snapshot& after);
// `folder` holds exactly what `before` recorded: the same names, the same bytes.
::testing::AssertionResult holds_exactly(const std::string& folder, const Snapshot& before);

// Deterministic bytes of every value (NUL, CR, LF and Ctrl-Z included), so that any
// text translation or short copy shows up.
std::string pattern_bytes(const std::string& seed, size_t size);

} // namespace test
