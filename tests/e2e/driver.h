// The end-to-end driver: starts the real setup.exe, finds its dialog and message boxes
// from outside, works them like a person and looks at what ends up on disk.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include "support/files.h"

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace e2e {

// Controls of the installation dialog, as a person sees them.
constexpr int MAIN_FIELD = 101;
constexpr int CLIENT_FIELD = 102;
constexpr int STATUS_LINE = 103;
constexpr int CONFIRM_BUTTON = IDOK;
constexpr int CANCEL_BUTTON = IDCANCEL;
// The text control of a message box.
constexpr int MESSAGE_BOX_TEXT = 0xFFFF;

// How long the driver waits for something that should happen, and how long it
// watches for something that should not.
constexpr DWORD WAIT_MS = 10000;
constexpr DWORD QUIET_MS = 1000;
// A setup process still alive after this long is killed, so that a hang fails the test.
constexpr DWORD WATCHDOG_MS = 20000;

// Polls `done` every 20 ms until it holds or `timeout_ms` has passed.
bool wait_until(const std::function<bool()>& done, DWORD timeout_ms = WAIT_MS);

// ---- Files -------------------------------------------------------------------------

// The client's files in the order they are copied; the first six are required.
extern const char* const CLIENT_FILES[9];
constexpr int REQUIRED_FILE_COUNT = 6;

// The shared file helpers, under the names the tests use.
using test::describe_difference;
using test::file_exists;
using test::folder_exists;
using test::holds_exactly;
using test::pattern_bytes;
using test::read_file;
using test::remove_tree;
using test::Snapshot;
using test::snapshot;
using test::write_file;

// A configuration file as (section, key) -> value, and its rendering.
using IniKeys = std::map<std::pair<std::string, std::string>, std::string>;
const std::vector<std::string>& main_ini_sections();
IniKeys main_ini_keys();
std::string render_main_ini();

// The contents of a complete main installation (marker file included), by name.
std::map<std::string, std::string> main_installation_files();
// Older versions of the client files, as an earlier installation left them.
std::map<std::string, std::string> old_client_files();
// Writes `files` into a new folder `folder`.
void make_folder_with(const std::string& folder, const std::map<std::string, std::string>& files);

// C:\e2e\<suite>.<test>, emptied and created anew for the running test.
std::string scenario_folder();
// The current user's desktop folder as the registry names it.
std::string desktop_folder();

// ---- The program -------------------------------------------------------------------

// The path named by an environment variable, a Unix path turned into its Z: form;
// empty when the variable is not set.
std::string path_from_environment(const char* variable);
// Windows path of setup.exe: $SETUP_EXE when set (a Unix path is reached through Z:),
// else the first SETUP_EXE_NAME found beside the test program or in a folder above it.
std::string setup_exe_path();

// One run of setup.exe. The destructor kills a process still alive.
class SetupRun {
public:
    explicit SetupRun(DWORD watchdog_ms = WATCHDOG_MS);
    ~SetupRun();
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    // Starts the program and waits for its dialog; false with `error` filled otherwise.
    bool start(std::string* error);

    HWND dialog() const { return dialog_; }
    HWND control(int id) const { return GetDlgItem(dialog_, id); }
    DWORD process_id() const { return process_.dwProcessId; }

    std::string text(int id) const;
    void set_text(int id, const std::string& text);
    // Types characters into a field through the dialog's own message loop.
    void type_chars(int id, const std::string& chars);
    void press(int button_id);
    void press_escape();

    // The window that has the keyboard focus in the dialog's thread.
    HWND focus() const;
    // The selection of an edit field as (start, end).
    std::pair<int, int> selection(int id) const;

    // A visible message box of this process; nullptr when none came within the time.
    HWND wait_message_box(DWORD timeout_ms = WAIT_MS) const;
    HWND current_message_box() const;
    // Answers a message box with one of its buttons and waits for it to go away.
    bool answer(HWND box, int button_id);

    bool running() const;
    // Waits for the process to end; false on timeout.
    bool wait_exit(DWORD* exit_code, DWORD timeout_ms = WAIT_MS);
    bool killed_by_watchdog() const { return watchdog_fired_; }

private:
    void stop_watchdog();

    DWORD watchdog_ms_;
    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
    HANDLE stop_event_ = nullptr;
    std::thread watchdog_;
    std::atomic<bool> watchdog_fired_{false};
};

// Expects a message box of `run` showing `text` (see message_shown) and yields it;
// nullptr when none came. A box with another text is yielded too, so it can be answered.
#define EXPECT_MESSAGE(run, text)                                     \
    [&] {                                                             \
        HWND box_ = nullptr;                                          \
        EXPECT_TRUE(::e2e::message_shown((run), (text), &box_));      \
        return box_;                                                  \
    }()

// Starts `run` and fails the test when its dialog does not come up.
#define START_SETUP(run)                                          \
    do {                                                          \
        std::string start_error_;                                 \
        ASSERT_TRUE((run).start(&start_error_)) << start_error_;  \
    } while (0)

// Starts `run` with both paths typed into their fields.
#define START_SETUP_WITH(run, main_path, client_path)             \
    do {                                                          \
        START_SETUP(run);                                         \
        (run).set_text(::e2e::MAIN_FIELD, (main_path));           \
        (run).set_text(::e2e::CLIENT_FIELD, (client_path));       \
    } while (0)

// Presses Conferma; for an existing client folder (`update`) expects the update question
// and answers Yes.
void press_conferma(SetupRun& run, bool update);

// Text of a window of another process; empty when it does not answer.
std::string window_text(HWND window);
// The text shown in a message box.
std::string message_box_text(HWND box);


// ---- What a person reads -----------------------------------------------------------

std::string copy_failed_text(const std::string& source);
std::string no_space_text(const std::string& source);
std::string no_main_installation_text(const std::string& main_path);
std::string drive_unavailable_text(char letter);
extern const char CLIENT_CREATE_FAILED_TEXT[];
extern const char INSTALL_DONE_TEXT[];
extern const char CLIENT_EXISTS_TEXT[];
std::string copying_status_text(const std::string& name);
extern const char FINISHED_STATUS_TEXT[];

// A message box of `run` appeared, captioned "setup", showing `text`; `box` receives it.
::testing::AssertionResult message_shown(const SetupRun& run, const std::string& text, HWND* box,
                                         DWORD timeout_ms = WAIT_MS);
// The box offers this button (present and visible).
bool has_button(HWND box, int id);

// ---- What ends up on disk ----------------------------------------------------------

// The client folder holds exactly the main installation's client files (the optional
// ones only where the main installation has them) plus `others`, byte for byte, except
// VORAN.INI: the main installation's keys with DB_PATH = `typed_main` and Timer = 10.
void expect_client_installed(const std::string& client, const std::map<std::string, std::string>& main_files,
                             const std::string& typed_main, const Snapshot& others = {});
// `link` reads back as a shortcut to client\VORAN.EXE, working in client, "Voran4".
void expect_shortcut(const std::string& link, const std::string& client);

std::string to_lower(std::string text);

}  // namespace e2e
