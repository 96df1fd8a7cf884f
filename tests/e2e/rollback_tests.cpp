// A required file that cannot be copied: the failure is reported naming the source, and
// the client folder ends exactly as it was before Conferma.
#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace e2e;

namespace {

// Presses Conferma (answering Yes to the update question when `update`), expects
// `message` with the failed step still on the status line, answers it, and leaves with
// Annulla; the program must still be open for that and end with 0.
void expect_failed_copy(SetupRun& run, bool update, const std::string& message, const std::string& failed_file) {
    press_conferma(run, update);
    if (::testing::Test::HasFatalFailure()) return;
    HWND box = EXPECT_MESSAGE(run, message);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(has_button(box, IDOK));
    ASSERT_TRUE(run.answer(box, IDOK));
    // The roll-back runs before the dialog takes input again; Annulla is handled after it.
    ASSERT_TRUE(run.running()) << "setup.exe ended after a failed copy";
    HWND another = run.wait_message_box(QUIET_MS);
    EXPECT_EQ(another, nullptr) << "unexpected message box: " << message_box_text(another);
    if (another) run.answer(another, IDOK);
    EXPECT_EQ(run.text(STATUS_LINE), copying_status_text(failed_file));
    run.press(CANCEL_BUTTON);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.wait_exit(&code)) << "setup.exe still running after Annulla";
    EXPECT_EQ(code, 0u);
}

void remove_shortcut() {
    const std::string desktop = desktop_folder();
    if (!desktop.empty()) remove_tree(desktop + "\\VORAN4.LNK");
}

void expect_no_shortcut() {
    const std::string desktop = desktop_folder();
    EXPECT_FALSE(file_exists(desktop + "\\VORAN4.LNK")) << "a shortcut was made by a failed run";
}

}  // namespace

TEST(RollBack, MissingRequiredFileRemovesNewClientFolder) {
    const std::string folder = scenario_folder();
    auto files = main_installation_files();
    files.erase("IMGMAN31.DLL");
    make_folder_with(folder + "\\main", files);
    const Snapshot before = snapshot(folder);
    remove_shortcut();

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", folder + "\\CLIENT");
    expect_failed_copy(run, false, copy_failed_text(folder + "\\main\\IMGMAN31.DLL"), "IMGMAN31.DLL");
    EXPECT_FALSE(folder_exists(folder + "\\CLIENT")) << "files left: "
                                                     << describe_difference({}, snapshot(folder + "\\CLIENT"));
    EXPECT_TRUE(holds_exactly(folder, before));
    expect_no_shortcut();
}

TEST(RollBack, MissingLastRequiredFileRestoresUpdatedFolder) {
    const std::string folder = scenario_folder();
    auto files = main_installation_files();
    files.erase("VORAN.EXE");
    make_folder_with(folder + "\\main", files);
    const std::string client = folder + "\\CLIENT";
    make_folder_with(client, old_client_files());
    write_file(client + "\\UTENTE.DAT", "dati dell'utente\r\n");
    const Snapshot before = snapshot(folder);
    remove_shortcut();

    SetupRun run;
    START_SETUP(run);
    // A main path typed in lower case is named in lower case.
    const std::string typed_main = to_lower(folder + "\\main");
    run.set_text(MAIN_FIELD, typed_main);
    run.set_text(CLIENT_FIELD, client);
    expect_failed_copy(run, true, copy_failed_text(typed_main + "\\VORAN.EXE"), "VORAN.EXE");
    EXPECT_TRUE(holds_exactly(folder, before)) << "the client folder was not restored";
    expect_no_shortcut();
}

TEST(RollBack, ReadOnlyClientFileRestoresUpdatedFolder) {
    const std::string folder = scenario_folder();
    // Only a fault the file system really enforces is worth forcing. (Wine run by root
    // lets a read-only file be opened for writing, but refuses to delete it.)
    const std::string probe = folder + "\\probe";
    write_file(probe, "x");
    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    const bool enforced = !DeleteFileA(probe.c_str());
    remove_tree(probe);
    if (!enforced) GTEST_SKIP() << "this file system lets a read-only file be deleted";

    const auto files = main_installation_files();
    make_folder_with(folder + "\\main", files);
    const std::string client = folder + "\\CLIENT";
    make_folder_with(client, old_client_files());
    const std::string locked = client + "\\IM31JPG.DIL";
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    const Snapshot before = snapshot(folder);

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", client);
    expect_failed_copy(run, true, copy_failed_text(folder + "\\main\\IM31JPG.DIL"), "IM31JPG.DIL");
    EXPECT_TRUE(holds_exactly(folder, before)) << "the client folder was not restored";
    EXPECT_TRUE(GetFileAttributesA(locked.c_str()) & FILE_ATTRIBUTE_READONLY) << locked << " lost its read-only mark";
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(RollBack, LockedClientFileRestoresUpdatedFolder) {
    const std::string folder = scenario_folder();
    const auto files = main_installation_files();
    make_folder_with(folder + "\\main", files);
    const std::string client = folder + "\\CLIENT";
    make_folder_with(client, old_client_files());
    const Snapshot before = snapshot(folder);
    // Another program has the client program open and lets nobody write or delete it;
    // by then the five files before it have been replaced.
    const std::string locked = client + "\\VORAN.EXE";
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE) << "cannot open " << locked;

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", client);
    expect_failed_copy(run, true, copy_failed_text(folder + "\\main\\VORAN.EXE"), "VORAN.EXE");
    CloseHandle(lock);
    EXPECT_TRUE(holds_exactly(folder, before)) << "the client folder was not restored";
}

TEST(RollBack, FullDiskIsReportedAndNewClientFolderRemoved) {
    const char* drive = std::getenv("E2E_SMALL_DRIVE");
    if (!drive || !*drive)
        GTEST_SKIP() << "no small volume: set E2E_SMALL_DRIVE (scripts/wine-env.sh maps one as S: when it "
                        "may mount a tmpfs)";
    const std::string root = std::string(drive).substr(0, 2) + "\\";
    ULARGE_INTEGER free_bytes{}, total_bytes{};
    if (!GetDiskFreeSpaceExA(root.c_str(), &free_bytes, &total_bytes, nullptr))
        GTEST_SKIP() << "the small volume " << root << " is not reachable";
    if (total_bytes.QuadPart > 4u * 1024 * 1024)
        GTEST_SKIP() << root << " holds " << total_bytes.QuadPart << " bytes, too many to fill quickly";

    // Start from an empty volume.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") remove_tree(root + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    ASSERT_TRUE(GetDiskFreeSpaceExA(root.c_str(), &free_bytes, &total_bytes, nullptr));

    // Small files first, then a program larger than the whole volume.
    const std::string folder = scenario_folder();
    auto files = main_installation_files();
    files["IMGMAN31.DLL"] = pattern_bytes("IMGMAN31.DLL", 2000);
    files["IMAGE2PDF.DLL"] = pattern_bytes("IMAGE2PDF.DLL", 2000);
    files["VORAN.EXE"] = pattern_bytes("VORAN.EXE", static_cast<size_t>(total_bytes.QuadPart) + 65536);
    make_folder_with(folder + "\\main", files);
    const Snapshot volume_before = snapshot(root.substr(0, 2));
    remove_shortcut();

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", root + "CLIENT");
    expect_failed_copy(run, false, no_space_text(folder + "\\main\\VORAN.EXE"), "VORAN.EXE");
    EXPECT_FALSE(folder_exists(root + "CLIENT")) << "files left: " << describe_difference({}, snapshot(root + "CLIENT"));
    EXPECT_TRUE(holds_exactly(root.substr(0, 2), volume_before));
    expect_no_shortcut();
}
