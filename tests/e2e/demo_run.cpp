// One installation with the default paths for scripts/run-demo.sh, not part of the suite. At
// the dialog and at the success message it writes <name>.ready into $DEMO_SYNC_DIR and waits
// for <name>.done, so that the script can take a screenshot.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/driver.h"

TEST(Demo, DISABLED_InstallWithDefaultPaths)
{
    using namespace e2e;
    const auto pause_for_screenshot = [](const std::string& name) {
        const std::string base = windows_path(std::getenv("DEMO_SYNC_DIR") ? std::getenv("DEMO_SYNC_DIR") : "") + "\\" + name;
        Sleep(500); // let the screen settle
        test::write_file(base + ".ready", name + "\n");
        EXPECT_TRUE(base[0] == '\\' || wait_until([&] { return test::file_exists(base + ".done"); }, 30000)) << name;
    };
    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    pause_for_screenshot("dialog");
    run.press(IDOK);
    HWND box = run.wait_box();
    if (window_text(GetDlgItem(box, BOX_TEXT)).find("aggiornamento") != std::string::npos && run.answer(box, IDYES))
        box = run.wait_box();
    ASSERT_EQ(run.text(STATUS_LINE), "Fine Installazione") << window_text(GetDlgItem(box, BOX_TEXT));
    pause_for_screenshot("success");
    run.answer(box, IDOK);
    EXPECT_EQ(run.exit_code(), 0u);
}
