// Paths that cannot be used: each is reported, the field to correct gets the focus with
// its text selected, nothing is left on disk and the dialog waits for another try.
#include "e2e/driver.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The focus comes to `field` with its whole text selected.
void expect_field_ready_for_correction(SetupRun& run, int field) {
    EXPECT_TRUE(wait_until([&] { return run.focus() == run.control(field); }, 3000))
        << "focus is on control " << GetDlgCtrlID(run.focus()) << ", not on field " << field;
    const int length = static_cast<int>(run.text(field).size());
    EXPECT_EQ(run.selection(field), std::make_pair(0, length)) << "selection in field " << field;
}

// Annulla still works afterwards and the program ends with 0.
void cancel_and_expect_clean_exit(SetupRun& run) {
    ASSERT_TRUE(run.running()) << "setup.exe ended after a failed check";
    EXPECT_TRUE(IsWindowVisible(run.dialog())) << "the dialog closed after a failed check";
    run.press(CANCEL_BUTTON);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.wait_exit(&code)) << "setup.exe still running after Annulla";
    EXPECT_EQ(code, 0u);
}

}  // namespace

TEST(PathChecks, UnavailableClientDriveIsNamed) {
    if (GetLogicalDrives() & (1u << ('Q' - 'A'))) GTEST_SKIP() << "this machine has a drive Q:";
    const std::string folder = scenario_folder();
    make_folder_with(folder + "\\main", main_installation_files());

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", "Q:\\X");
    run.press(CONFIRM_BUTTON);
    HWND box = EXPECT_MESSAGE(run, drive_unavailable_text('Q'));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(has_button(box, IDOK));
    ASSERT_TRUE(run.answer(box, IDOK));
    expect_field_ready_for_correction(run, CLIENT_FIELD);
    EXPECT_EQ(run.text(CLIENT_FIELD), "Q:\\X");
    cancel_and_expect_clean_exit(run);
}

TEST(PathChecks, ExistingClientFolderAnsweredNoIsLeftAlone) {
    const std::string folder = scenario_folder();
    make_folder_with(folder + "\\main", main_installation_files());
    const std::string client = folder + "\\CLIENT";
    make_folder_with(client, old_client_files());
    write_file(client + "\\NOTE.TXT", "scritto dall'utente\r\n");
    const Snapshot before = snapshot(folder);

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", client);
    run.press(CONFIRM_BUTTON);
    HWND box = EXPECT_MESSAGE(run, CLIENT_EXISTS_TEXT);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(has_button(box, IDYES) && has_button(box, IDNO)) << "the question offers no Yes/No";
    ASSERT_TRUE(run.answer(box, IDNO));
    expect_field_ready_for_correction(run, CLIENT_FIELD);
    EXPECT_EQ(run.current_message_box(), nullptr) << "another box: " << message_box_text(run.current_message_box());
    cancel_and_expect_clean_exit(run);
    EXPECT_TRUE(holds_exactly(folder, before));
}

TEST(PathChecks, ClientFolderWithoutParentIsNotCreated) {
    const std::string folder = scenario_folder();
    make_folder_with(folder + "\\main", main_installation_files());
    const Snapshot before = snapshot(folder);

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", folder + "\\ASSENTE\\CLIENT");
    run.press(CONFIRM_BUTTON);
    HWND box = EXPECT_MESSAGE(run, CLIENT_CREATE_FAILED_TEXT);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(run.answer(box, IDOK));
    expect_field_ready_for_correction(run, CLIENT_FIELD);
    cancel_and_expect_clean_exit(run);
    EXPECT_TRUE(holds_exactly(folder, before));
}

TEST(PathChecks, MainPathWithoutMarkerIsNamedAndNewClientFolderRemoved) {
    const std::string folder = scenario_folder();
    auto files = main_installation_files();
    files.erase("VORAN6.KEY");
    make_folder_with(folder + "\\Server", files);
    const Snapshot before = snapshot(folder);
    // The message names the path exactly as typed.
    const std::string typed_main = folder + "\\server";

    SetupRun run;
    START_SETUP_WITH(run, typed_main, folder + "\\CLIENT");
    run.press(CONFIRM_BUTTON);
    HWND box = EXPECT_MESSAGE(run, no_main_installation_text(typed_main));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(run.answer(box, IDOK));
    expect_field_ready_for_correction(run, MAIN_FIELD);
    EXPECT_EQ(run.text(STATUS_LINE), "") << "a copy was started";
    cancel_and_expect_clean_exit(run);
    EXPECT_FALSE(folder_exists(folder + "\\CLIENT")) << "the client folder made by the run stayed";
    EXPECT_TRUE(holds_exactly(folder, before));
}

TEST(PathChecks, CorrectedPathAfterFailedCheckInstalls) {
    const std::string folder = scenario_folder();
    const auto files = main_installation_files();
    make_folder_with(folder + "\\main", files);
    CreateDirectoryA((folder + "\\empty").c_str(), nullptr);
    const std::string client = folder + "\\CLIENT";

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\empty", client);
    run.press(CONFIRM_BUTTON);
    HWND box = EXPECT_MESSAGE(run, no_main_installation_text(folder + "\\empty"));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(run.answer(box, IDOK));
    expect_field_ready_for_correction(run, MAIN_FIELD);

    run.set_text(MAIN_FIELD, folder + "\\main");
    run.press(CONFIRM_BUTTON);
    box = EXPECT_MESSAGE(run, INSTALL_DONE_TEXT);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(run.answer(box, IDOK));
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.wait_exit(&code));
    EXPECT_EQ(code, 0u);
    expect_client_installed(client, files, folder + "\\main");
}
