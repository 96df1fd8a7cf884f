// One installation with the default paths, for scripts/run-demo.sh; not part of the suite
// (disabled). At the dialog and at the success message it writes <name>.ready into
// $DEMO_SYNC_DIR and waits for <name>.done, so that the script can take a screenshot.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/driver.h"

namespace {

using namespace e2e;

void pause_for_screenshot(const char* name)
{
    const char* sync = std::getenv("DEMO_SYNC_DIR");
    if (!sync || !*sync)
        return;
    Sleep(500); // let the screen settle
    const std::string base = windows_path(sync) + "\\" + name;
    test::write_file(base + ".ready", std::string(name) + "\n");
    EXPECT_TRUE(wait_until([&] { return test::file_exists(base + ".done"); }, 30000)) << "no screenshot of " << name;
}

TEST(Demo, DISABLED_InstallWithDefaultPaths)
{
    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    pause_for_screenshot("dialog");
    run.press(IDOK);
    HWND box = run.wait_box();
    if (box && window_text(GetDlgItem(box, 0xFFFF)).find("aggiornamento") != std::string::npos) {
        run.answer(box, IDYES);
        box = run.wait_box();
    }
    ASSERT_NE(box, nullptr) << "no message after Conferma";
    ASSERT_EQ(run.text(STATUS_LINE), "Fine Installazione") << window_text(GetDlgItem(box, 0xFFFF));
    pause_for_screenshot("success");
    run.answer(box, IDOK);
    EXPECT_EQ(run.exit_code(), 0u);
}

} // namespace
