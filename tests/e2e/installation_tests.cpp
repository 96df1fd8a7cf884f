// Installations that complete: the client folder, its configuration keys, the desktop
// shortcut, the status line and the exit code.
#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <vector>

using namespace e2e;

namespace {

// Presses Conferma, answers Yes to the update question when `expect_question`, and
// expects the success message with "Fine Installazione" on the status line, then exit 0.
void install_and_expect_success(SetupRun& run, bool expect_question) {
    press_conferma(run, expect_question);
    if (::testing::Test::HasFatalFailure()) return;
    HWND box = EXPECT_MESSAGE(run, INSTALL_DONE_TEXT);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(has_button(box, IDOK));
    EXPECT_FALSE(has_button(box, IDYES) || has_button(box, IDNO) || has_button(box, IDCANCEL));
    EXPECT_EQ(run.text(STATUS_LINE), FINISHED_STATUS_TEXT);
    ASSERT_TRUE(run.answer(box, IDOK));
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.wait_exit(&code)) << "setup.exe still running after the success message";
    EXPECT_EQ(code, 0u);
}

std::string shortcut_path() {
    const std::string desktop = desktop_folder();
    return desktop.empty() ? std::string() : desktop + "\\VORAN4.LNK";
}

}  // namespace

TEST(Installation, NewClientFolderGetsFilesKeysAndShortcut) {
    const std::string folder = scenario_folder();
    const auto files = main_installation_files();
    make_folder_with(folder + "\\Main", files);
    const std::string client = folder + "\\CLIENT";
    const std::string link = shortcut_path();
    ASSERT_FALSE(link.empty()) << "the registry names no desktop folder";
    // A shortcut left by an earlier installation is replaced.
    write_file(link, "not a shortcut");
    // DB_PATH keeps the main path exactly as typed, in whatever case.
    const std::string typed_main = to_lower(folder) + "\\Main";

    SetupRun run;
    START_SETUP_WITH(run, typed_main, client);
    install_and_expect_success(run, false);
    expect_client_installed(client, files, typed_main);
    expect_shortcut(link, client);
    EXPECT_TRUE(holds_exactly(folder + "\\Main", files)) << "the main installation changed";
}

TEST(Installation, ExistingFolderAnsweredYesIsUpdated) {
    const std::string folder = scenario_folder();
    const auto files = main_installation_files();
    make_folder_with(folder + "\\main", files);
    const std::string client = folder + "\\CLIENT";
    make_folder_with(client, old_client_files());
    // What the user keeps in the client folder stays.
    const Snapshot others = {{"UTENTE.DAT", "dati dell'utente\r\n"}, {"STAMPE\\", ""}, {"STAMPE\\F1.TXT", "x"}};
    CreateDirectoryA((client + "\\STAMPE").c_str(), nullptr);
    write_file(client + "\\UTENTE.DAT", others.at("UTENTE.DAT"));
    write_file(client + "\\STAMPE\\F1.TXT", "x");

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", client);
    install_and_expect_success(run, true);
    expect_client_installed(client, files, folder + "\\main", others);
    expect_shortcut(shortcut_path(), client);
}

namespace {

// Installs from a main installation without `absent` optional files: no message but the
// success message, and only the files present are copied.
void install_without(const std::vector<std::string>& absent) {
    const std::string folder = scenario_folder();
    auto files = main_installation_files();
    for (const std::string& name : absent) files.erase(name);
    make_folder_with(folder + "\\main", files);
    const std::string client = folder + "\\CLIENT";

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", client);
    // The first message box must already be the success message.
    install_and_expect_success(run, false);
    expect_client_installed(client, files, folder + "\\main");
}

}  // namespace

TEST(Installation, AbsentOptionalFilesAreSkippedSilently) {
    install_without({"VORAN.HLP", "VORAN.CHM", "IDE21201.VXD"});
}

TEST(Installation, OnlySomeOptionalFilesPresent) {
    install_without({"VORAN.CHM"});
}
