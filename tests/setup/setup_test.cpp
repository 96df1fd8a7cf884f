// What end-to-end runs cannot force: copies of every size and target, paths at their bounds, DLL search, class icons.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "setup/app.h"
#include "setup/file_copy.h"
#include "setup/resource_ids.h"
#include "setup/setup_dialog.h"
#include "support/files.h"

namespace {

enum Target { NONE, ORDINARY, READ_ONLY, NO_FOLDER };

TEST(CopyOneFile, BytesForBytesOrRefusedWithTheTargetKeptAndNoTemporaryFileLeft) {
    const struct { long long size; Target target; int code; } cases[] = { // a source size of -1: no source
        {0, NONE, 0}, {1, NONE, 0}, {61440, NONE, 0}, {61441, NONE, 0}, {COPY_CHUNK_MAX, NONE, 0},
        {1000003, NONE, 0}, {100, ORDINARY, 0}, {100, READ_ONLY, EACCES}, {-1, ORDINARY, ENOENT}, {1, NO_FOLDER, ENOENT}};
    const std::string dir = std::getenv("TEMP") + std::string("\\copy-cases"), source = dir + "\\src", old = test::pattern_bytes("old", 200000);
    for (const auto& c : cases) {
        const std::string target = dir + (c.target == NO_FOLDER ? "\\no\\dst" : "\\dst"), bytes = test::pattern_bytes("new", c.size + 1);
        SetFileAttributesA((dir + "\\dst").c_str(), FILE_ATTRIBUTE_NORMAL);
        test::remove_tree(dir);
        CreateDirectoryA(dir.c_str(), nullptr);
        if (c.size >= 0)
            test::write_file(source, bytes.substr(1));
        if (c.target == ORDINARY || c.target == READ_ONLY)
            test::write_file(target, old);
        SetFileAttributesA(target.c_str(), c.target == READ_ONLY ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(copy_one_file(source.c_str(), target.c_str()), c.code) << c.size << " bytes, target " << c.target;
        const std::string want = c.code == 0 ? bytes.substr(1) : c.target == ORDINARY || c.target == READ_ONLY ? old : "<missing>";
        EXPECT_TRUE(test::read_file(target) == want) << c.size << " bytes, target " << c.target << ": the target differs";
        EXPECT_TRUE(c.code || !(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY)) << "a copy is ordinary";
        const size_t files = (c.size >= 0) + (test::file_exists(dir + "\\dst") ? 1 : 0); // the source and the target, no temporary file
        EXPECT_EQ(test::snapshot(dir).size(), files) << c.size << " bytes, target " << c.target << ": files left in the folder";
    }
    test::remove_tree(dir);
}

TEST(JoinPath, OneBackslashTrimmedPartsCutAtTheBuffer) {
    const std::string long_folder(300, 'x');
    const struct { const char *folder, *name; size_t size; const char* want; } cases[] = { // want nullptr: cut at size - 1
        {"C:\\VORAN  ", "VORAN.INI", 252, "C:\\VORAN\\VORAN.INI"}, {"C:\\", "VORAN.INI", 252, "C:\\\\VORAN.INI"},
        {"", "VORAN.INI", 252, "\\VORAN.INI"}, {" F:\\VORAN", "NAME  ", 252, " F:\\VORAN\\NAME"},
        {"F:\\VORAN", "VORAN6.KEY", 20, "F:\\VORAN\\VORAN6.KEY"}, {"F:\\VORAN", "VORAN6.KEY", 19, nullptr},
        {long_folder.c_str(), "VORAN.INI", JOINED_PATH_SIZE, nullptr}};
    for (const auto& c : cases) {
        char out[JOINED_PATH_SIZE + 8];
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(join_path(c.folder, c.name, out, c.size), c.want != nullptr) << c.folder << " + " << c.name;
        EXPECT_EQ(std::string(out), c.want ? c.want : std::string(out, c.size - 1)) << "cut at the buffer";
        EXPECT_EQ(out[c.size], '#') << "written past the buffer of " << c.size;
    }
}

// Both classes have the icon "setup", again as their small icon: the system makes no copy of it.
TEST(WindowClasses, TheIconSetupBigAndSmall) {
    const auto icon = reinterpret_cast<ULONG_PTR>(LoadIconA(app_instance = GetModuleHandleA(nullptr), "setup"));
    WNDCLASSEXA main_class{};
    main_class.cbSize = sizeof main_class;
    ASSERT_TRUE(icon && register_main_class(app_instance) && GetClassInfoExA(app_instance, app_name, &main_class));
    HWND dialog = CreateDialogParamW(app_instance, MAKEINTRESOURCEW(IDD_SETUP), nullptr, setup_dialog_proc, 0);
    EXPECT_EQ(std::vector<ULONG_PTR>({ULONG_PTR(main_class.hIcon), ULONG_PTR(main_class.hIconSm), GetClassLongPtrA(dialog, GCLP_HICON), GetClassLongPtrA(dialog, GCLP_HICONSM)}), std::vector<ULONG_PTR>(4, icon)) << "main class big, small; dialog class big, small";
    DestroyWindow(dialog);
}

DWORD flags_seen;
BOOL WINAPI accepting(DWORD flags) { return flags_seen = flags, TRUE; }
BOOL WINAPI refusing(DWORD flags) { return flags_seen = flags, FALSE; }

TEST(RestrictDllSearch, SystemFolderOnlyElseTheFallbackTakesTheCurrentFolderOut) {
    const std::pair<SetDefaultDllDirectoriesFunction, bool> cases[] = {{accepting, true}, {refusing, false}, {nullptr, false}};
    for (const auto& [function, strict] : cases) {
        flags_seen = 0;
        SetDllDirectoryA("C:\\planted"); // the fallback's empty DLL directory replaces it
        EXPECT_EQ(restrict_dll_search(function), strict);
        EXPECT_EQ(flags_seen, function ? DWORD(LOAD_LIBRARY_SEARCH_SYSTEM32) : 0u);
        char directory[MAX_PATH] = "?";
        GetDllDirectoryA(MAX_PATH, directory);
        EXPECT_STREQ(directory, strict ? "C:\\planted" : "") << "the DLL directory after " << (function ? "a refusal" : "no function");
    }
}

} // namespace
