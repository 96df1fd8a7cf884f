// Installations that complete: the client folder, its configuration keys, the desktop
// shortcut, the status line and the exit code.
#include "e2e/driver.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// Presses Conferma, answers Yes to the update question when `expect_question`, and
// expects the success message with "Fine Installazione" on the status line, then exit 0.
void install_and_expect_success(SetupRun& run, bool expect_question) {
    run.press(CONFIRM_BUTTON);
    HWND box = nullptr;
    if (expect_question) {
        box = EXPECT_MESSAGE(run, CLIENT_EXISTS_TEXT);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(run.answer(box, IDYES));
    }
    box = EXPECT_MESSAGE(run, INSTALL_DONE_TEXT);
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
    START_SETUP(run);
    run.set_text(MAIN_FIELD, typed_main);
    run.set_text(CLIENT_FIELD, client);
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
    START_SETUP(run);
    run.set_text(MAIN_FIELD, folder + "\\main");
    run.set_text(CLIENT_FIELD, client);
    install_and_expect_success(run, true);
    expect_client_installed(client, files, folder + "\\main", others);
    expect_shortcut(shortcut_path(), client);
}

TEST(Installation, AbsentOptionalFilesAreSkippedSilently) {
    const std::string folder = scenario_folder();
    auto files = main_installation_files();
    files.erase("VORAN.HLP");
    files.erase("VORAN.CHM");
    files.erase("IDE21201.VXD");
    make_folder_with(folder + "\\main", files);
    const std::string client = folder + "\\CLIENT";

    SetupRun run;
    START_SETUP(run);
    run.set_text(MAIN_FIELD, folder + "\\main");
    run.set_text(CLIENT_FIELD, client);
    // The first message box must already be the success message.
    install_and_expect_success(run, false);
    expect_client_installed(client, files, folder + "\\main");
}

TEST(Installation, OnlySomeOptionalFilesPresent) {
    const std::string folder = scenario_folder();
    auto files = main_installation_files();
    files.erase("VORAN.CHM");
    make_folder_with(folder + "\\main", files);
    const std::string client = folder + "\\CLIENT";

    SetupRun run;
    START_SETUP(run);
    run.set_text(MAIN_FIELD, folder + "\\main");
    run.set_text(CLIENT_FIELD, client);
    install_and_expect_success(run, false);
    expect_client_installed(client, files, folder + "\\main");
}
