// The installation dialog as a person first meets it, and the ways out that install nothing.
#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace e2e;

namespace {

// What a way out must leave alone: the scenario, the default client folder and the desktop.
struct UntouchedPlaces {
    std::string scenario, desktop;
    Snapshot scenario_files, default_client_files, desktop_files;
    bool default_client_existed = false;

    explicit UntouchedPlaces(const std::string& folder) : scenario(folder), desktop(desktop_folder()) {
        scenario_files = snapshot(scenario);
        default_client_existed = folder_exists("C:\\VORAN");
        default_client_files = snapshot("C:\\VORAN");
        desktop_files = snapshot(desktop);
    }
    void expect_unchanged() const {
        EXPECT_TRUE(holds_exactly(scenario, scenario_files));
        EXPECT_EQ(folder_exists("C:\\VORAN"), default_client_existed) << "C:\\VORAN";
        EXPECT_TRUE(holds_exactly("C:\\VORAN", default_client_files));
        EXPECT_TRUE(holds_exactly(desktop, desktop_files));
    }
};

}  // namespace

TEST(SetupDialog, OpensCentredWithoutTitleBarShowingTheDefaultPaths) {
    SetupRun run;
    START_SETUP(run);
    HWND dialog = run.dialog();

    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_NE(style & WS_CAPTION, WS_CAPTION) << "the dialog has a title bar (style 0x" << std::hex << style << ")";
    EXPECT_EQ(window_text(dialog), "");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr) << "the dialog has an owner window";

    RECT frame{};
    GetWindowRect(dialog, &frame);
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    const int left_margin = frame.left, right_margin = screen_width - frame.right;
    const int top_margin = frame.top, bottom_margin = screen_height - frame.bottom;
    EXPECT_LE(std::abs(left_margin - right_margin), 1)
        << "dialog at x " << frame.left << ".." << frame.right << " on a screen " << screen_width << " wide";
    EXPECT_LE(std::abs(top_margin - bottom_margin), 1)
        << "dialog at y " << frame.top << ".." << frame.bottom << " on a screen " << screen_height << " high";

    EXPECT_EQ(run.text(MAIN_FIELD), "F:\\VORAN");
    EXPECT_EQ(run.text(CLIENT_FIELD), "C:\\VORAN");
    EXPECT_EQ(run.text(STATUS_LINE), "");
    EXPECT_TRUE(wait_until([&] { return run.focus() == run.control(MAIN_FIELD); }, 2000))
        << "focus is on control " << GetDlgCtrlID(run.focus()) << ", not on the main path";

    const struct {
        int id;
        const char* caption;
    } buttons[] = {{CONFIRM_BUTTON, "&Conferma/ICOB011"}, {CANCEL_BUTTON, "&Annulla/ICOB002"}};
    for (const auto& button : buttons) {
        HWND window = run.control(button.id);
        ASSERT_NE(window, nullptr) << "button " << button.id;
        EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW) << "button " << button.id;
        EXPECT_EQ(window_text(window), button.caption);
    }

    for (int field : {MAIN_FIELD, CLIENT_FIELD}) {
        DWORD_PTR limit = 0;
        SendMessageTimeoutA(run.control(field), EM_GETLIMITTEXT, 0, 0, SMTO_ABORTIFHUNG, 2000, &limit);
        EXPECT_EQ(limit, 151u) << "length limit of field " << field;
    }

    // The client field turns what is typed into capitals; the main path keeps it as typed.
    run.set_text(CLIENT_FIELD, "");
    run.type_chars(CLIENT_FIELD, "d:\\voran");
    EXPECT_TRUE(wait_until([&] { return run.text(CLIENT_FIELD).size() == 8; }, 2000));
    EXPECT_EQ(run.text(CLIENT_FIELD), "D:\\VORAN");
    run.set_text(MAIN_FIELD, "");
    run.type_chars(MAIN_FIELD, "f:\\Voran");
    EXPECT_TRUE(wait_until([&] { return run.text(MAIN_FIELD).size() == 8; }, 2000));
    EXPECT_EQ(run.text(MAIN_FIELD), "f:\\Voran");

    run.press(CANCEL_BUTTON);
    DWORD code = 0;
    ASSERT_TRUE(run.wait_exit(&code));
    EXPECT_EQ(code, 0u);
}

namespace {

// Leaves the dialog one way, with both paths typed in, and expects exit 0 and no trace.
void leave_and_expect_nothing_touched(const char* way, void (*leave)(SetupRun&)) {
    const std::string folder = scenario_folder();
    make_folder_with(folder + "\\main", main_installation_files());
    const UntouchedPlaces places(folder);

    SetupRun run;
    START_SETUP_WITH(run, folder + "\\main", folder + "\\CLIENT");
    leave(run);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.wait_exit(&code)) << "setup.exe is still running after " << way;
    EXPECT_EQ(code, 0u);
    places.expect_unchanged();
}

}  // namespace

TEST(SetupDialog, AnnullaEndsWithZeroAndTouchesNothing) {
    leave_and_expect_nothing_touched("Annulla", [](SetupRun& run) { run.press(CANCEL_BUTTON); });
}

TEST(SetupDialog, EscapeEndsWithZeroAndTouchesNothing) {
    leave_and_expect_nothing_touched("Escape", [](SetupRun& run) { run.press_escape(); });
}

TEST(SetupDialog, BlankPathMakesConfermaDoNothing) {
    const std::string folder = scenario_folder();
    const std::string main = folder + "\\main";
    make_folder_with(main, main_installation_files());
    const UntouchedPlaces places(folder);

    // With the other field valid, any reaction to the blank one would show.
    const struct {
        const char* what;
        std::string main, client;
    } cases[] = {
        {"empty main path", "", folder + "\\CLIENT"},
        {"main path of spaces", "     ", folder + "\\CLIENT"},
        {"empty client path", main, ""},
        {"client path of spaces", main, "   "},
    };

    SetupRun run;
    START_SETUP(run);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        run.set_text(MAIN_FIELD, c.main);
        run.set_text(CLIENT_FIELD, c.client);
        run.press(CONFIRM_BUTTON);
        HWND box = run.wait_message_box(QUIET_MS);
        EXPECT_EQ(box, nullptr) << "message box: " << message_box_text(box);
        if (box) run.answer(box, has_button(box, IDNO) ? IDNO : IDOK);
        ASSERT_TRUE(run.running()) << "setup.exe ended";
        EXPECT_TRUE(IsWindowVisible(run.dialog()));
        EXPECT_EQ(run.text(STATUS_LINE), "");
    }
    run.press(CANCEL_BUTTON);
    DWORD code = 0xFFFF;
    ASSERT_TRUE(run.wait_exit(&code));
    EXPECT_EQ(code, 0u);
    places.expect_unchanged();
}
