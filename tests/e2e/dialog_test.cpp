// The installation dialog as a person first meets it: centred, no title bar, the default paths,
// owner-drawn buttons, and the keyboard focus shown only as a red label that follows Tab.
#include <gtest/gtest.h>

#include "e2e/driver.h"
#include "support/pixels.h"

namespace {

using namespace e2e;

// Pixels of `colour` in a button's label area (right of the glyph, inside the edges) on the screen.
int label_ink(HWND button, pixels::Rgb colour)
{
    RECT r;
    GetWindowRect(button, &r);
    pixels::Canvas canvas(r.right - r.left, r.bottom - r.top);
    canvas.copy_from(guard::WindowDC(nullptr).get(), r.left, r.top);
    return pixels::find_ink(canvas, colour, 24, canvas.width - 2, 1, canvas.height - 1).count;
}

TEST(Dialog, OpensWithItsDefaultsAndTheRedLabelFollowsTheFocus)
{
    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    RECT r;
    GetWindowRect(run.dialog, &r);
    EXPECT_EQ((r.left - (GetSystemMetrics(SM_CXSCREEN) - r.right)) / 2, 0) << "x " << r.left << ".." << r.right;
    EXPECT_EQ((r.top - (GetSystemMetrics(SM_CYSCREEN) - r.bottom)) / 2, 0) << "y " << r.top << ".." << r.bottom;
    EXPECT_NE(GetWindowLongA(run.dialog, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "a title bar";
    const std::pair<int, const char*> texts[] = {{MAIN_FIELD, "F:\\VORAN"}, {CLIENT_FIELD, "C:\\VORAN"}, {STATUS_LINE, ""}};
    for (const auto& [id, text] : texts)
        EXPECT_EQ(run.text(id), text);
    for (int id : {MAIN_FIELD, CLIENT_FIELD})
        EXPECT_EQ(SendMessageA(run.control(id), EM_GETLIMITTEXT, 0, 0), 151) << "length limit of field " << id;

    // Main path, client path, Conferma, Annulla: the status line is no tab stop.
    HWND conferma = run.control(IDOK), annulla = run.control(IDCANCEL);
    for (int focus : {MAIN_FIELD, CLIENT_FIELD, IDOK, IDCANCEL}) {
        if (focus != MAIN_FIELD)
            run.key(VK_TAB);
        ASSERT_TRUE(wait_until([&] { return run.focus() == run.control(focus); })) << "no focus on " << focus;
        EXPECT_TRUE(wait_until([&] {
            for (HWND button : {conferma, annulla})
                if ((label_ink(button, 0xFF0000) > 20) != (button == run.control(focus)) ||
                    (label_ink(button, 0x000000) > 20) != (button != run.control(focus)))
                    return false;
            return true;
        }, 3000)) << "focus on " << focus << ": Conferma red " << label_ink(conferma, 0xFF0000) << ", black "
                  << label_ink(conferma, 0) << "; Annulla red " << label_ink(annulla, 0xFF0000) << ", black " << label_ink(annulla, 0);
    }
    run.press(IDCANCEL);
    EXPECT_EQ(run.exit_code(), 0u);
}

} // namespace
