// One installation with the default paths, for scripts/run-demo.sh. Not part of the
// suite (disabled); the demo runs it with --gtest_also_run_disabled_tests.
//
// At two moments, the dialog before Conferma and the success message, it writes
// <name>.ready into $DEMO_SYNC_DIR and waits for <name>.done, so that the script can
// take a screenshot of the screen as it is.
#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace e2e;

namespace {

std::string sync_folder() { return path_from_environment("DEMO_SYNC_DIR"); }

// Lets the screen settle, then hands over to the script until it has taken its picture.
bool pause_for_screenshot(const std::string& sync, const std::string& name) {
    if (sync.empty()) return true;
    Sleep(500);
    const std::string done = sync + "\\" + name + ".done";
    DeleteFileA(done.c_str());
    write_file(sync + "\\" + name + ".ready", name + "\n");
    return wait_until([&] { return file_exists(done); }, 30000);
}

}  // namespace

TEST(Demo, DISABLED_InstallWithDefaultPaths) {
    const std::string sync = sync_folder();
    SetupRun run(120000);
    START_SETUP(run);
    ASSERT_EQ(run.text(MAIN_FIELD), "F:\\VORAN");
    ASSERT_EQ(run.text(CLIENT_FIELD), "C:\\VORAN");
    EXPECT_TRUE(pause_for_screenshot(sync, "dialog")) << "no screenshot of the dialog";

    run.press(CONFIRM_BUTTON);
    HWND box = run.wait_message_box();
    ASSERT_NE(box, nullptr) << "no message after Conferma";
    if (message_box_text(box) == CLIENT_EXISTS_TEXT) {
        ASSERT_TRUE(run.answer(box, IDYES));
        box = run.wait_message_box();
        ASSERT_NE(box, nullptr) << "no message after the update question";
    }
    ASSERT_EQ(message_box_text(box), INSTALL_DONE_TEXT);
    EXPECT_EQ(run.text(STATUS_LINE), FINISHED_STATUS_TEXT);
    EXPECT_TRUE(pause_for_screenshot(sync, "success")) << "no screenshot of the success message";
    ASSERT_TRUE(run.answer(box, IDOK));
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.wait_exit(&code));
    EXPECT_EQ(code, 0u);
}
