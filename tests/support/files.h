// Files as the tests see them: whole-file reads and writes, folder snapshots, deterministic bytes.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

namespace test {

inline bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline void write_file(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
// The whole file; "<missing>" when it cannot be read.
inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// Name -> bytes of every file below `folder`; subfolders appear as "name\".
using Snapshot = std::map<std::string, std::string>;
inline Snapshot snapshot(const std::string& folder, const std::string& prefix = "") {
    Snapshot found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        const std::string name = entry.cFileName, path = folder + "\\" + name;
        const bool folder_entry = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (name != "." && name != "..")
            found[prefix + name + (folder_entry ? "\\" : "")] = folder_entry ? "" : read_file(path);
        if (folder_entry && name != "." && name != "..")
            found.merge(snapshot(path, prefix + name + "\\"));
    }
    FindClose(search);
    return found;
}

// What differs between two snapshots, by name: +added, ~changed, -missing.
inline std::string differences(const Snapshot& found, const Snapshot& want) {
    std::string names;
    for (const auto& [name, bytes] : found)
        names += !want.count(name) ? " +" + name : want.at(name) != bytes ? " ~" + name : "";
    for (const auto& entry : want)
        names += found.count(entry.first) ? "" : " -" + entry.first;
    return names;
}

// A Unix path is reached through Wine's Z: drive.
inline std::string windows_path(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path[0] == '\\' ? "Z:" + path : path;
}

// Removes a file or a folder with everything in it; never a drive's root.
inline void remove_tree(const std::string& path) {
    const std::string from = path + '\0'; // a list of names, ended by an empty one
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE, operation.pFrom = from.c_str(), operation.fFlags = FOF_NO_UI;
    if (path.size() > 3)
        SHFileOperationA(&operation);
}

// Deterministic bytes of every value (NUL, CR, LF, Ctrl-Z): a text translation or short copy shows.
inline std::string pattern_bytes(const std::string& seed, size_t size) {
    std::string bytes(size, '\0');
    unsigned state = unsigned(std::hash<std::string>{}(seed));
    for (char& byte : bytes)
        byte = char((state = state * 1103515245u + 12345u) >> 16);
    return bytes;
}

} // namespace test
