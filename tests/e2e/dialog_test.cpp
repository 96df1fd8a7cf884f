// The installation dialog as a person first meets it: centred, no title bar, the default
// paths, owner-drawn buttons, and the keyboard focus shown only as a red label that follows Tab.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/driver.h"

namespace {

using namespace e2e;

TEST(Dialog, OpensWithItsDefaultsAndTheRedLabelFollowsTheFocus)
{
    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    EXPECT_NE(GetWindowLongA(run.dialog, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "a title bar";
    RECT r;
    GetWindowRect(run.dialog, &r);
    EXPECT_LE(std::abs(r.left - (GetSystemMetrics(SM_CXSCREEN) - r.right)), 1) << "x " << r.left << ".." << r.right;
    EXPECT_LE(std::abs(r.top - (GetSystemMetrics(SM_CYSCREEN) - r.bottom)), 1) << "y " << r.top << ".." << r.bottom;
    const struct {
        int id;
        const char* text;
    } controls[] = {{MAIN_FIELD, "F:\\VORAN"}, {CLIENT_FIELD, "C:\\VORAN"}, {STATUS_LINE, ""},
                    {IDOK, "&Conferma/ICOB011"}, {IDCANCEL, "&Annulla/ICOB002"}};
    for (const auto& c : controls)
        EXPECT_EQ(run.text(c.id), c.text);
    for (int id : {MAIN_FIELD, CLIENT_FIELD})
        EXPECT_EQ(SendMessageA(run.control(id), EM_GETLIMITTEXT, 0, 0), 151) << "length limit of field " << id;
    for (int id : {IDOK, IDCANCEL})
        EXPECT_EQ(GetWindowLongA(run.control(id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << "button " << id;

    // Main path, client path, Conferma, Annulla: the status line is no tab stop.
    HWND conferma = run.control(IDOK), annulla = run.control(IDCANCEL);
    const struct {
        int focus;
        HWND red; // the button whose label is red; the other's is black
    } steps[] = {{MAIN_FIELD, nullptr}, {CLIENT_FIELD, nullptr}, {IDOK, conferma}, {IDCANCEL, annulla}};
    for (const auto& step : steps) {
        if (step.focus != MAIN_FIELD)
            run.key(VK_TAB);
        ASSERT_TRUE(wait_until([&] { return run.focus() == run.control(step.focus); })) << "no focus on " << step.focus;
        EXPECT_TRUE(wait_until([&] {
            for (HWND button : {conferma, annulla})
                if ((label_ink(button, 0xFF0000) > 20) != (button == step.red) ||
                    (label_ink(button, 0x000000) > 20) != (button != step.red))
                    return false;
            return true;
        }, 3000)) << "focus on " << step.focus << ": Conferma red " << label_ink(conferma, 0xFF0000) << ", black "
                  << label_ink(conferma, 0) << "; Annulla red " << label_ink(annulla, 0xFF0000) << ", black "
                  << label_ink(annulla, 0);
    }
    run.press(IDCANCEL);
    EXPECT_EQ(run.exit_code(), 0u);
}

} // namespace
