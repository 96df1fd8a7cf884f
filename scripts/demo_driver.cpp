// Drives one installation with the default paths for scripts/run-demo.sh, through the
// end-to-end driver of the tests. At the dialog and at the success message it writes
// <name>.ready into the folder named by DEMO_SYNC_DIR and waits for <name>.done, so that the
// script can take a screenshot of the screen as it is. Ends with 0 after a completed
// installation.
#include <cstdio>
#include <cstdlib>

#include "e2e/driver.h"

using namespace e2e;

namespace {

void pause_for_screenshot(const std::string& name)
{
    const char* sync = std::getenv("DEMO_SYNC_DIR");
    if (!sync || !*sync)
        return;
    const std::string base = windows_path(sync) + "\\" + name;
    Sleep(500); // let the screen settle
    test::write_file(base + ".ready", name + "\n");
    if (!wait_until([&] { return test::file_exists(base + ".done"); }, 30000))
        std::printf("no screenshot of the %s\n", name.c_str());
}

} // namespace

int main()
{
    Program run;
    if (!run.dialog) {
        std::printf("no dialog from %s\n", SETUP_EXE);
        return 1;
    }
    pause_for_screenshot("dialog");
    run.press(IDOK);
    HWND box = run.wait_box();
    // An earlier demo left the client folder: update it.
    if (window_text(GetDlgItem(box, BOX_TEXT)).find("aggiornamento") != std::string::npos && run.answer(box, IDYES))
        box = run.wait_box();
    const std::string message = window_text(GetDlgItem(box, BOX_TEXT));
    if (run.text(STATUS_LINE) != "Fine Installazione") {
        std::printf("the installation did not complete: %s\n", message.c_str());
        return 1;
    }
    pause_for_screenshot("success");
    run.answer(box, IDOK);
    return run.exit_code() == 0 ? 0 : 1;
}
