// Files as the tests see them: whole-file reads and writes, folder snapshots compared byte
// for byte, and deterministic test bytes.
#pragma once
#include <windows.h>

#include <map>
#include <string>

namespace test {

inline bool file_exists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool write_file(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
}

// The whole file; "<missing>" when it cannot be read.
inline std::string read_file(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return bytes.substr(0, got);
}

// Name -> bytes of every file below `folder`; subfolders appear as "name\" with no bytes.
using Snapshot = std::map<std::string, std::string>;
inline Snapshot snapshot(const std::string& folder, const std::string& prefix = "")
{
    Snapshot found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry)) {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            found[prefix + name + "\\"] = "";
            for (const auto& inner : snapshot(folder + "\\" + name, prefix + name + "\\"))
                found.insert(inner);
        } else {
            found[prefix + name] = read_file(folder + "\\" + name);
        }
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return found;
}

// Removes a file or a folder with everything in it, read-only marks included.
inline void remove_tree(const std::string& path)
{
    if (path.size() < 4)
        return; // never a drive's root or the current folder
    const Snapshot entries = snapshot(path);
    // A folder's name sorts before the names inside it: backwards, contents go first.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::string name = path + "\\" + entry->first;
        SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(name.c_str()) || RemoveDirectoryA(name.c_str());
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str()) || RemoveDirectoryA(path.c_str());
}

// Deterministic bytes of every value (NUL, CR, LF and Ctrl-Z included), so that any text
// translation or short copy shows up.
inline std::string pattern_bytes(const std::string& seed, size_t size)
{
    std::string bytes(size, '\0');
    unsigned state = 2166136261u;
    for (char c : seed)
        state = (state ^ static_cast<unsigned char>(c)) * 16777619u;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 16);
    }
    return bytes;
}

} // namespace test
