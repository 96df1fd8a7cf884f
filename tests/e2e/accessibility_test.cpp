// The real setup.exe read from another process the way a screen reader reads it, and its
// buttons' press and focus looks as the screen shows them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e/driver.h"
#include "support/accessible.h"

using namespace owndraw;

namespace {

using namespace e2e;

TEST(Accessibility, EveryControlSaysItsNameAndFocusAndPressAlwaysShow) {
    Program run;
    ASSERT_NE(run.dialog, nullptr) << "no dialog from " << SETUP_EXE;
    // 0: the dialog. A role of 0: the one the platform's proxy gives is not checked.
    const long button_role = accessible::on_wine() ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_PUSHBUTTON;
    const struct { int id; const char* name; const char* shortcut; long role; } controls[] = {
        {0, "Installazione postazione client VORAN", "", 0}, {IDOK, "Conferma", "Alt+C", button_role}, {IDCANCEL, "Annulla", "Alt+A", button_role},
        {MAIN_FIELD, "Percorso installazione principale (SERVER):", "", ROLE_SYSTEM_TEXT}, {CLIENT_FIELD, "Percorso installazione remota (CLIENT):", "", ROLE_SYSTEM_TEXT}};
    for (const auto& c : controls) {
        const auto spoken = accessible::speak(c.id ? run.control(c.id) : run.dialog);
        EXPECT_EQ(spoken.name + "|" + spoken.shortcut, std::string(c.name) + "|" + c.shortcut) << "control " << c.id;
        EXPECT_TRUE(c.role == 0 || spoken.role == c.role) << "control " << c.id << ": role " << spoken.role << ", want " << c.role;
    }
    EXPECT_NE(GetWindowLongA(run.dialog, GWL_STYLE) & WS_CAPTION, WS_CAPTION) << "a title bar";
    // No name reads out a glyph.
    std::vector<HWND> children;
    EnumChildWindows(run.dialog, [](HWND child, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(child), TRUE; }, LPARAM(&children));
    EXPECT_EQ(children.size(), 7u) << "five controls and two labels";
    for (HWND child : children) {
        const std::string name = accessible::speak(child).name, text = window_text(child);
        EXPECT_TRUE(name.find('/') == std::string::npos && name.find("ICOB") == std::string::npos && text.find('/') == std::string::npos) << name;
    }
    // The keyboard focus and the press show on Conferma, a whole repaint included.
    run.set_text(MAIN_FIELD, ""); // a blank field: Conferma does nothing
    HWND ok = run.control(IDOK);
    RECT r;
    GetWindowRect(ok, &r);
    // The look as the screen shows it: face row 0 (raised 0xBFC0BF, sunken white) and the label.
    pixels::Canvas top(1, 1);
    const auto look = [&] {
        top.copy_from(guard::WindowDC(nullptr).get(), r.left + 30, r.top);
        const pixels::Rgb face = top.at(0, 0);
        return (face == 0xFFFFFF ? "sunken" : face == 0xBFC0BF ? "raised" : pixels::hex(face)) + std::string(label_ink(ok, 0xFF0000) > 20 ? " red" : " black");
    };
    SendMessageA(run.dialog, WM_NEXTDLGCTL, WPARAM(ok), TRUE);
    std::string seen;
    const struct { const char* step; std::function<void()> act; const char* want; } steps[] = {
        {"focus", [] {}, "raised red"},
        {"whole repaint", [&] {
             // Over what the screen showed, so that only a new paint can pass.
             FillRect(guard::WindowDC(nullptr).get(), &r, guard::Brush(CreateSolidBrush(RGB(255, 0, 255))).get());
             RedrawWindow(run.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
         }, "raised red"},
        {"mouse press", [&] { PostMessageA(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 8)); }, "sunken red"},
        {"release", [&] { PostMessageA(ok, WM_LBUTTONUP, 0, MAKELPARAM(40, 8)); }, "raised red"},
    };
    for (const auto& s : steps) {
        s.act();
        EXPECT_TRUE(wait_until([&] { return (seen = look()) == s.want; }, 3000)) << s.step << ": " << seen;
    }
    EXPECT_TRUE(run.running() && run.find(false) == nullptr) << "Conferma with a blank field does nothing";
    run.key(VK_ESCAPE);
    EXPECT_EQ(run.exit_code(), 0u);
}

} // namespace
