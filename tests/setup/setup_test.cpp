// The installer's pieces that the end-to-end runs cannot force: copies of every size and
// target state, path joining at its bounds, and the DLL search hardening on an old loader.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "setup/app.h"
#include "setup/file_copy.h"
#include "support/files.h"

namespace {

enum Target { NONE, ORDINARY, READ_ONLY, NO_FOLDER };

TEST(CopyOneFile, Cases)
{
    const struct {
        const char* why;
        long long size; // of the source; -1: no source
        Target target;
        int code;
        bool copied; // the target ends holding the source's bytes, else what it held
    } cases[] = {
        {"empty file", 0, NONE, 0, true},
        {"one byte", 1, NONE, 0, true},
        {"one page-aligned chunk", 61440, NONE, 0, true},
        {"one byte past it", 61441, NONE, 0, true},
        {"exactly the largest chunk", COPY_CHUNK_MAX, NONE, 0, true},
        {"many chunks and a short one", 1000003, NONE, 0, true},
        {"an ordinary target is replaced", 100, ORDINARY, 0, true},
        {"a read-only target is refused and kept", 100, READ_ONLY, EACCES, false},
        {"a missing source leaves the target alone", -1, ORDINARY, ENOENT, false},
        {"a missing target folder", 1, NO_FOLDER, ENOENT, false},
    };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "copy-cases";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        test::remove_tree(dir);
        CreateDirectoryA(dir.c_str(), nullptr);
        const std::string source = dir + "\\src", target = dir + (c.target == NO_FOLDER ? "\\no\\dst" : "\\dst");
        const std::string bytes = test::pattern_bytes(c.why, c.size < 0 ? 0 : size_t(c.size));
        const std::string old = test::pattern_bytes("old", 200000);
        if (c.size >= 0)
            test::write_file(source, bytes);
        if (c.target == ORDINARY || c.target == READ_ONLY)
            test::write_file(target, old);
        if (c.target == READ_ONLY)
            SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);

        EXPECT_EQ(copy_one_file(source.c_str(), target.c_str()), c.code);
        const std::string want = c.copied ? bytes : c.target == NONE || c.target == NO_FOLDER ? "<missing>" : old;
        EXPECT_TRUE(test::read_file(target) == want) << "the target holds " << test::read_file(target).size() << " bytes";
        if (c.copied) {
            EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "a copy is ordinary";
        }
    }
    test::remove_tree(dir);
}

TEST(JoinPath, Cases)
{
    const std::string long_folder(300, 'x');
    const struct {
        const char* folder;
        const char* name;
        size_t size;
        const char* want; // nullptr: cut at size - 1 characters
        bool fits;
    } cases[] = {
        {"C:\\VORAN  ", "VORAN.INI", JOINED_PATH_SIZE, "C:\\VORAN\\VORAN.INI", true},
        {"C:\\", "VORAN.INI", JOINED_PATH_SIZE, "C:\\\\VORAN.INI", true},
        {"", "VORAN.INI", JOINED_PATH_SIZE, "\\VORAN.INI", true},
        {" F:\\VORAN", "NAME  ", JOINED_PATH_SIZE, " F:\\VORAN\\NAME", true},
        {"F:\\VORAN", "VORAN6.KEY", 20, "F:\\VORAN\\VORAN6.KEY", true},
        {"F:\\VORAN", "VORAN6.KEY", 19, nullptr, false},
        {long_folder.c_str(), "VORAN.INI", JOINED_PATH_SIZE, nullptr, false},
    };
    for (const auto& c : cases) {
        char out[JOINED_PATH_SIZE + 8];
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(join_path(c.folder, c.name, out, c.size), c.fits) << c.folder << " + " << c.name;
        if (c.want)
            EXPECT_STREQ(out, c.want);
        else
            EXPECT_EQ(std::strlen(out), c.size - 1) << "cut at the buffer";
        EXPECT_EQ(out[c.size], '#') << "written past the buffer of " << c.size;
    }
}

DWORD flags_seen;
BOOL WINAPI accepting(DWORD flags) { return flags_seen = flags, TRUE; }
BOOL WINAPI refusing(DWORD flags) { return flags_seen = flags, FALSE; }

TEST(RestrictDllSearch, SystemFolderOnlyOrTheFallbackWithoutTheCurrentFolder)
{
    const struct {
        const char* why;
        SetDefaultDllDirectoriesFunction function;
        bool strict;
    } cases[] = {
        {"the loader has it", accepting, true},
        {"the loader refuses", refusing, false},
        {"an old loader lacks it", nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        flags_seen = 0;
        SetDllDirectoryA("C:\\planted"); // the fallback's empty DLL directory replaces it
        EXPECT_EQ(restrict_dll_search(c.function), c.strict);
        EXPECT_EQ(flags_seen, c.function ? DWORD(LOAD_LIBRARY_SEARCH_SYSTEM32) : 0u);
        char directory[MAX_PATH] = "?";
        GetDllDirectoryA(MAX_PATH, directory);
        EXPECT_STREQ(directory, c.strict ? "C:\\planted" : "");
    }
}

} // namespace
