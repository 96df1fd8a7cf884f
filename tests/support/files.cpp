#include "support/files.h"

#include <cstdint>

namespace test {

bool file_exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folder_exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool write_file(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() ||
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string read_file(const std::string& path, bool* ok) {
    if (ok) *ok = false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    bool good = true;
    for (;;) {
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            good = false;
            break;
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    if (ok) *ok = good;
    return bytes;
}

void remove_tree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") remove_tree(path + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

namespace {

void snapshot_into(const std::string& folder, const std::string& prefix, Snapshot& out) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[prefix + name + "\\"] = "";
            snapshot_into(folder + "\\" + name, prefix + name + "\\", out);
        } else {
            bool ok = false;
            std::string bytes = read_file(folder + "\\" + name, &ok);
            out[prefix + name] = ok ? bytes : std::string("<unreadable>");
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

Snapshot snapshot(const std::string& folder) {
    Snapshot result;
    snapshot_into(folder, "", result);
    return result;
}

std::string describe_difference(const Snapshot& before, const Snapshot& after) {
    std::string text;
    for (const auto& [name, bytes] : before) {
        auto it = after.find(name);
        if (it == after.end())
            text += "  gone: " + name + "\n";
        else if (it->second != bytes)
            text += "  changed: " + name + " (" + std::to_string(bytes.size()) + " -> " +
                    std::to_string(it->second.size()) + " bytes)\n";
    }
    for (const auto& [name, bytes] : after)
        if (!before.count(name)) text += "  new: " + name + " (" + std::to_string(bytes.size()) + " bytes)\n";
    return text.empty() ? "  (no difference)\n" : text;
}

::testing::AssertionResult holds_exactly(const std::string& folder, const Snapshot& before) {
    const Snapshot now = snapshot(folder);
    if (now == before) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << folder << " is not as before:\n" << describe_difference(before, now);
}

std::string pattern_bytes(const std::string& seed, size_t size) {
    uint32_t state = 2166136261u;
    for (unsigned char c : seed) state = (state ^ c) * 16777619u;
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        // The first 256 bytes hold every value once; the rest is a xorshift stream.
        if (i < 256) {
            bytes[i] = static_cast<char>((i + state) & 0xFF);
            continue;
        }
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = static_cast<char>(state >> 24);
    }
    return bytes;
}

} // namespace test
